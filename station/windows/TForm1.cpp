#include "windows/TForm1.h"

#include "config/Schema.h"
#include "main/TextList.h"
#include "objects/ObjectRows.h"
#include "startup/StationSettings.h"
#include "text/Cp1251.h"
#include "widgets/LedIndicator.h"
#include "widgets/LineIndicators.h"
#include "widgets/Placement.h"
#include "windows/TForm2.h"
#include "windows/TForm5.h"
#include "windows/TForm8.h"
#include "windows/TForm9.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QMenu>
#include <QStandardItemModel>

namespace tirvon::station {

namespace {

// Columns of the log grid: field, title, width (0: fills the rest).
struct LogColumn {
    const char* title;
    int width;
};
const LogColumn logColumns[] = {
    {"Дата", 80},   {"Банкомат", 250}, {"Время прихода", 113}, {"Время отправки", 115},
    {"Событие", 0},
};
constexpr int LogBankColumn = 1;

} // namespace

TForm1::TForm1(QString programDirectory, ui::Prompt& prompt,
               std::unique_ptr<serial::ModemLink> link, std::unique_ptr<modem::EventPump> pump,
               QWidget* parent)
    : QMainWindow(parent), programDirectory_(std::move(programDirectory)),
      iniFile_(programDirectory_ + QString::fromLatin1(config::FileName)), prompt_(prompt),
      link_(std::move(link)), pump_(std::move(pump)) {
    ui_.setupUi(this);
    exchange_ = std::make_unique<modem::ModemExchange>(
        *link_, static_cast<modem::ExchangeView&>(*this), *pump_, this);
    panels_ = std::make_unique<StatusPanels>(*ui_.StatusBar1);
    connect(link_.get(), &serial::ModemLink::lineError, this, &TForm1::ComPortError);

    lineIndicators_ = new LineIndicators(
        *link_,
        {ui_.ComLed7, ui_.ComLed1, ui_.ComLed2, ui_.ComLed3, ui_.ComLed4, ui_.ComLed5, ui_.ComLed6},
        this);

    auto* callPolicy = new QActionGroup(this);
    for (QAction* a : {ui_.N24, ui_.N23, ui_.N22})
        callPolicy->addAction(a);
    auto* sound = new QActionGroup(this);
    for (QAction* a : {ui_.N17, ui_.N18})
        sound->addAction(a);

    ui_.Splitter1->setSizes({1057 - 434 - 2, 434});
    ui_.Splitter2->setSizes({763 - 247 - 3, 247});
    ui_.ListView1->setColumnWidth(0, 163);
    ui_.ListView2->setColumnWidth(0, 146);
    ui_.ListView2->header()->setStretchLastSection(false);
    ui_.ListView2->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ui_.ListView2->setColumnWidth(2, 106);

    // The log grid shows its columns before the log table is bound to it.
    auto* logModel = new QStandardItemModel(0, int(std::size(logColumns)), ui_.DBGrid1);
    for (int i = 0; i < int(std::size(logColumns)); ++i)
        logModel->setHeaderData(i, Qt::Horizontal, QString::fromUtf8(logColumns[i].title));
    ui_.DBGrid1->setModel(logModel);
    for (int i = 0; i < int(std::size(logColumns)); ++i) {
        if (logColumns[i].width > 0)
            ui_.DBGrid1->setColumnWidth(i, logColumns[i].width);
    }

    buildPopupMenu();

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(PollingCycle::TickIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);

    // Shift, Ctrl and Alt held while the mouse leaves the Ring light open the
    // reports window.
    connect(ui_.ComLed4, &LedIndicator::released, this, [this](Qt::KeyboardModifiers held) {
        const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if ((held & all) == all && windows_.form5)
            windows_.form5->show();
    });
    connect(ui_.N11, &QAction::triggered, this, &TForm1::N11Click);
    connect(ui_.N15, &QAction::triggered, this, &TForm1::N15Click);
    connect(ui_.N32, &QAction::triggered, this, &TForm1::N32Click);
}

TForm1::~TForm1() = default;

void TForm1::attachWindows(const StationWindows& windows) {
    windows_ = windows;
    windows_.form1 = this;
}

void TForm1::buildPopupMenu() {
    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    popupMenu1_->addAction(ui_.N41);
    popupMenu1_->addSeparator();
    popupMenu1_->addAction(ui_.N5);
    popupMenu1_->addAction(ui_.N34);
    popupMenu1_->addSeparator();
    popupMenu1_->addAction(ui_.N36);
    popupMenu1_->addAction(ui_.N37);
    popupMenu1_->addAction(ui_.N38);
    popupMenu1_->addSeparator();
    popupMenu1_->addAction(ui_.N40);
    connect(ui_.ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMenu1_->popup(ui_.ListView1->viewport()->mapToGlobal(at));
    });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Start-up runs once the event loop runs, so that it may end the program.
    QMetaObject::invokeMethod(this, &TForm1::FormShow, Qt::QueuedConnection);
}

void TForm1::FormShow() {
    currentOperator_.clear();
    const StationSettings settings(iniFile_);
    applyObjectWord(settings.objectWord());
    ui_.GroupBox1->hide();
    fillObjectList();
    exchange_->reset();
    polling_.reset();

    // The modem is opened here until the modem initialisation window takes over.
    if (!openPort())
        return;
    panels_->setText(StatusPanels::PortName, text::toUnicode(settings.portName()));
    if (currentOperator_.isEmpty())
        currentOperator_ = QStringLiteral("Пользователь");
    timer1_.start();
}

void TForm1::applyObjectWord(const QByteArray& word) {
    objectWord_ = text::toUnicode(word);
    const QString of = objectWord_ + QLatin1Char('a'); // a Latin letter, as it always was
    ui_.N2->setTitle(objectWord_);
    ui_.ListView1->headerItem()->setText(0, objectWord_);
    ui_.ListView2->headerItem()->setText(0, objectWord_);
    ui_.DBGrid1->model()->setHeaderData(LogBankColumn, Qt::Horizontal, objectWord_);
    ui_.Label9->setText(objectWord_);
    ui_.Label10->setText(QStringLiteral("Наименование ") + of);
    ui_.N41->setText(objectWord_);
    if (windows_.form2)
        windows_.form2->setObjectWord(objectWord_);
    if (windows_.form5)
        windows_.form5->setObjectWord(objectWord_);
    if (windows_.form8)
        windows_.form8->setObjectWord(objectWord_);
}

void TForm1::fillObjectList() {
    ui_.ListView1->clear();
    for (const ObjectRow& row : loadObjectRows(iniFile_)) {
        auto* item = new QTreeWidgetItem(ui_.ListView1, {text::toUnicode(row.name), QString()});
        item->setIcon(0, stateIcon(row.icon));
        item->setData(0, StateIconRole, int(row.icon));
    }
}

bool TForm1::openPort() {
    const QString port = text::toUnicode(StationSettings(iniFile_).portName());
    if (link_->open(port))
        return true;
    prompt_.inform(QStringLiteral("Невозможно открыть порт ") + port + QLatin1Char('!'));
    endProgram(1);
    return false;
}

void TForm1::endProgram(int exitCode) {
    ending_ = true;
    timer1_.stop();
    exchange_->watchdogTimer().stop();
    link_->close();
    emit programEnded(exitCode);
}

void TForm1::Timer1Timer() {
    // A failure of a file or the log ends the work of this tick with its message;
    // the station goes on polling.
    try {
        polling_.tick();
    } catch (const ini::IniWriteError& e) {
        prompt_.inform(e.message());
    } catch (const TextListError& e) {
        prompt_.inform(e.message());
    }
}

bool TForm1::modemWorkInProgress() const {
    return exchange_->smsWork() || exchange_->busy();
}

// The outgoing queue and the SMS intake are work areas of their own; until they
// are attached, the queue is empty and listings and signal readings go nowhere.
bool TForm1::hasQueuedMessage() const {
    return false;
}
void TForm1::sendQueuedMessage() {}
void TForm1::cmgl(const QByteArray&) {}
void TForm1::csq(const QByteArray&) {}

void TForm1::exchangeEnded(modem::ExchangeOutcome outcome) {
    panels_->showExchangeOutcome(outcome);
}

void TForm1::monitorEntry(const QByteArray& buffer) {
    if (windows_.form9)
        windows_.form9->appendEntry(buffer);
}

void TForm1::ComPortError() {
    // One box at a time: errors that come while it is open add nothing to it.
    if (lineErrorShown_)
        return;
    lineErrorShown_ = true;
    prompt_.inform(QStringLiteral("Error"));
    lineErrorShown_ = false;
}

void TForm1::NotList(const QString& fileName, const QByteArray& line) {
    appendLine(programDirectory_, fileName, line);
}

void TForm1::N15Click() {
    if (!windows_.form9)
        return;
    centreOnScreen(*windows_.form9);
    windows_.form9->show();
}

void TForm1::N32Click() {
    prompt_.inform(QStringLiteral("Колличество объектов на текущий момент: ") +
                   QString::number(ui_.ListView1->topLevelItemCount()) +
                   QStringLiteral("\r\nТекущий пользователь: ") + currentOperator_ +
                   QStringLiteral("\r\n"));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // FormClose
    if (!prompt_.confirm(QStringLiteral("Вы уверены что хотите закрыть программу мониторинга?"))) {
        event->ignore();
        return;
    }
    timer1_.stop();
    exchange_->watchdogTimer().stop();
    link_->close();
    ending_ = true;
    event->accept();
    emit programEnded(0);
}

} // namespace tirvon::station
