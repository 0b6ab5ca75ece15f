#include "windows/TForm1.h"

#include "config/Schema.h"
#include "log/AliasStore.h"
#include "login/Login.h"
#include "main/TextList.h"
#include "objects/ObjectRegistry.h"
#include "objects/ObjectRows.h"
#include "startup/SignalQuality.h"
#include "startup/StationSettings.h"
#include "text/Cp1251.h"
#include "widgets/LedIndicator.h"
#include "widgets/LineIndicators.h"
#include "widgets/Placement.h"
#include "windows/TForm2.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"
#include "windows/TForm5.h"
#include "windows/TForm7.h"
#include "windows/TForm8.h"
#include "windows/TForm9.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QCloseEvent>
#include <QMenu>

namespace tirvon::station {

namespace {

// Widths of the log grid's columns DATE, BANK, TIME, TIMEO; MAIL fills the rest.
constexpr int logColumnWidths[] = {80, 250, 113, 115};

const QString conversionError = QStringLiteral("'%1' is not a valid integer value");

} // namespace

TForm1::TForm1(QString programDirectory, ui::Prompt& prompt,
               std::unique_ptr<serial::ModemLink> link, std::unique_ptr<modem::EventPump> pump,
               QWidget* parent)
    : QMainWindow(parent), programDirectory_(std::move(programDirectory)),
      iniFile_(programDirectory_ + QString::fromLatin1(config::FileName)), prompt_(prompt),
      link_(std::move(link)), pump_(std::move(pump)),
      aliasStorePath_(log::AliasStore::defaultPath()) {
    ui_.setupUi(this);
    exchange_ = std::make_unique<modem::ModemExchange>(
        *link_, static_cast<modem::ExchangeView&>(*this), *pump_, this);
    panels_ = std::make_unique<StatusPanels>(*ui_.StatusBar1);
    intake_ = std::make_unique<SmsIntake>(*exchange_, iniFile_, sounds_,
                                          static_cast<IntakeActions&>(*this));
    queue_ = std::make_unique<OutgoingQueue>(*exchange_, sounds_, [this](int count) {
        panels_->setText(StatusPanels::OutgoingCount, QString::number(count));
    });
    const auto log = [this](const QByteArray& object, const QByteArray& date,
                            const QByteArray& arrival, const QByteArray& sending,
                            const QByteArray& logText) {
        logPlainEvent(object, date, arrival, sending, logText);
    };
    const auto clock = [this] {
        return clock_();
    };
    rules_ = std::make_unique<RuleRunner>(iniFile_, *queue_, log, clock);
    panelCommands_ = std::make_unique<PanelCommands>(iniFile_, *queue_, log, prompt_, clock);
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
    connect(ui_.N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(ui_.N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(ui_.N16, &QAction::triggered, this, &TForm1::N16Click);
    connect(ui_.N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(ui_.BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(ui_.ListView1, &QTreeWidget::itemDoubleClicked, this, &TForm1::ListView1DblClick);
    connect(ui_.N15, &QAction::triggered, this, &TForm1::N15Click);
    connect(ui_.N32, &QAction::triggered, this, &TForm1::N32Click);
}

TForm1::~TForm1() = default;

void TForm1::attachWindows(const StationWindows& windows) {
    windows_ = windows;
    windows_.form1 = this;
    objectView_ = std::make_unique<ObjectView>(*ui_.ListView1, *windows_.form2, sounds_, iniFile_);
    eventLog_ = std::make_unique<EventLog>(*objectView_, [this] { return operatorBytes(); });
    ui_.DBGrid1->setModel(&eventLog_->model());
    for (int i = 0; i < int(std::size(logColumnWidths)); ++i)
        ui_.DBGrid1->setColumnWidth(i, logColumnWidths[i]);
    // The newest record stays in view.
    connect(&eventLog_->model(), &QAbstractItemModel::rowsInserted, ui_.DBGrid1,
            &QAbstractItemView::scrollToBottom);
    connect(windows_.form3, &TForm3::loginRequested, this, &TForm1::onLoginRequested);
    connect(windows_.form3, &TForm3::cancelRequested, this, &TForm1::close);
    connect(windows_.form2, &TForm2::commandPressed, this, &TForm1::DISARMClick);
    connect(windows_.form2, &TForm2::sensorInfoRequested, this, &TForm1::Label4Click);
}

QByteArray TForm1::operatorBytes() const {
    return text::fromUnicode(currentOperator_);
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
    connect(popupMenu1_, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);
    connect(popupMenu1_, &QMenu::triggered, this, &TForm1::N5Click);
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
    objectView_->fill();
    exchange_->reset();
    polling_.reset();
    queue_->clear();

    showLogin();
    if (ending_)
        return;
    windows_.form7->setWork([this] { runModemStartup(); });
    modalRunner_(*windows_.form7);
    if (ending_)
        return;
    panels_->setText(StatusPanels::PortName, text::toUnicode(settings.portName()));
    if (currentOperator_.isEmpty())
        currentOperator_ = QStringLiteral("Пользователь");
    sounds_.clear();
    openLog();
    rules_->startClock();
    timer1_.start();
}

void TForm1::openLog() {
    try {
        eventLog_->open();
    } catch (const log::LogError& e) {
        prompt_.inform(e.message());
    }
}

QString TForm1::aliasFolder() const {
    return log::AliasStore(aliasStorePath_).folder(log::LogAlias);
}

void TForm1::showLogin() {
    const QByteArray base = iniFile_.readString(config::BaseStation, config::key::BASE, "None");
    const bool ready = log::AliasStore(aliasStorePath_).exists(log::LogAlias) && base != "None";
    if (ready) {
        const QString path = log::tablePath(aliasFolder(), text::toUnicode(base));
        // The open log keeps its table until the next start.
        if (!eventLog_->isOpen())
            eventLog_->bind(path);
        else if (path != eventLog_->boundPath())
            prompt_.inform(QStringLiteral("Cannot perform this operation on an open dataset"));
    } else {
        prompt_.inform(
            QStringLiteral("Алиас лог базы не найден, создайте в конфигураторе новую базу"));
    }
    windows_.form3->prepare(accountNames(iniFile_), ready);
    modalRunner_(*windows_.form3);
}

void TForm1::onLoginRequested(const QByteArray& name, const QByteArray& password) {
    const LoginCheck check = checkLogin(iniFile_, name, password);
    for (int i = 0; i < check.refusals; ++i)
        prompt_.inform(QStringLiteral("Пользователь не зарегистрирован!"));
    if (!check.loggedIn)
        return;
    currentOperator_ = text::toUnicode(check.operatorName);
    panels_->setText(StatusPanels::Operator,
                     QStringLiteral("Текущий администратор: ") + currentOperator_);
    windows_.form3->accept();
}

void TForm1::runModemStartup() {
    const StationSettings settings(iniFile_);
    ModemStartup startup(*exchange_, *link_, settings, *this);
    ModemStartup::Result result = ModemStartup::Result::Ready;
    try {
        result = startup.run();
    } catch (const std::exception& e) {
        // A failure after the port was opened ends the initialisation; the
        // station monitors with what it has.
        prompt_.inform(QString::fromLocal8Bit(e.what()));
    }
    if (result == ModemStartup::Result::NoPort || result == ModemStartup::Result::NoModem)
        endProgram(1);
}

void TForm1::setGauge(int percent) {
    windows_.form7->setGauge(percent);
}
void TForm1::setResultLine(const QString& text) {
    windows_.form7->setResultLine(text);
}
void TForm1::setModemName(const QString& text) {
    panels_->setText(StatusPanels::ModemName, text);
}
QString TForm1::modemName() const {
    return panels_->text(StatusPanels::ModemName);
}

void TForm1::csq(const QByteArray& reply) {
    const SignalQualityReading reading = readSignalQuality(reply);
    if (reading.kind == SignalQualityReading::Kind::Position) {
        ui_.ProgressBar1->setValue(reading.barPosition);
    } else if (reading.kind == SignalQualityReading::Kind::Unreadable && !conversionErrorShown_) {
        // One box at a time, however often the modem answers this way.
        conversionErrorShown_ = true;
        prompt_.inform(conversionError.arg(text::toUnicode(reading.text)));
        conversionErrorShown_ = false;
    }
}

void TForm1::applyObjectWord(const QByteArray& word) {
    objectWord_ = text::toUnicode(word);
    const QString of = objectWord_ + QLatin1Char('a'); // a Latin letter, as it always was
    ui_.N2->setTitle(objectWord_);
    ui_.ListView1->headerItem()->setText(0, objectWord_);
    ui_.ListView2->headerItem()->setText(0, objectWord_);
    eventLog_->model().setBankTitle(objectWord_);
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

void TForm1::endProgram(int exitCode) {
    if (ending_)
        return;
    ending_ = true;
    timer1_.stop();
    // Every wait for the modem returns now, so the program ends even while an
    // exchange or a delay is waiting.
    exchange_->shutDown();
    link_->close();
    eventLog_->close();
    closeModalWindows();
    emit programEnded(exitCode);
}

void TForm1::closeModalWindows() {
    for (QDialog* dialog :
         {static_cast<QDialog*>(windows_.form3), static_cast<QDialog*>(windows_.form7)}) {
        if (dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

template <typename Work> void TForm1::guarded(Work work) {
    try {
        work();
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
    }
}

void TForm1::Timer1Timer() {
    // Time rules are due whether or not the modem is busy at this second.
    guarded([this] { rules_->checkTimeRules(); });
    guarded([this] { polling_.tick(); });
}

void TForm1::logPlainEvent(const QByteArray& object, const QByteArray& date,
                           const QByteArray& arrival, const QByteArray& sending,
                           const QByteArray& logText) {
    addtables({}, EventLog::PlainEvent, object, date, arrival, sending, logText);
}

void TForm1::DISARMClick(int tag) {
    guarded([this, tag] { panelCommands_->DISARMClick(tag, *windows_.form2); });
}

void TForm1::Label4Click() {
    windows_.form4->showList(QStringLiteral("Информация по датчикам"),
                             programDirectory_ + QStringLiteral("info.txt"));
}

bool TForm1::modemWorkInProgress() const {
    return exchange_->smsWork() || exchange_->busy();
}

bool TForm1::hasQueuedMessage() const {
    return !queue_->isEmpty();
}
void TForm1::sendQueuedMessage() {
    queue_->sendsms();
}

void TForm1::cmgl(const QByteArray& reply) {
    intake_->cmgl(reply);
}

void TForm1::addAlarmRow(const QByteArray& object, const QByteArray& logText,
                         const QByteArray& arrival) {
    QByteArray shown = logText;
    shown.replace('\r', QByteArray()); // the last line's CR has no place in a cell
    new QTreeWidgetItem(
        ui_.ListView2, {text::toUnicode(object), text::toUnicode(shown), text::toUnicode(arrival)});
}

void TForm1::unreadableEntry(const report::ListingEntry& entry) {
    panels_->showModemNote(QStringLiteral("Не удалось прочитать сообщение %1 в памяти модема, "
                                          "оно оставлено в модеме")
                               .arg(text::toUnicode(entry.index)));
}

void TForm1::Action(const QByteArray& section, const QByteArray& ruleEventText) {
    rules_->Action(section, ruleEventText);
}

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
    event->accept();
    endProgram(0);
}

void TForm1::addtables(const QByteArray& stateKey, const QByteArray& value,
                       const QByteArray& object, const QByteArray& date, const QByteArray& arrival,
                       const QByteArray& sending, const QByteArray& logText) {
    eventLog_->addtables(stateKey, value, object, date, arrival, sending, logText);
}

QByteArray TForm1::search_sect(const QByteArray& name) const {
    return ObjectRegistry(iniFile_).search_sect(name);
}

QByteArray TForm1::search_sect_phone(const QByteArray& phone) const {
    return ObjectRegistry(iniFile_).search_sect_phone(phone);
}

QString TForm1::archiveName(const QDate& day) {
    return QStringLiteral("AB_") + day.toString(QStringLiteral("dd_MM_yyyy"));
}

void TForm1::TbCopy(const QString& tableName) {
    timer1_.stop();
    Delay(5000);
    if (ending_)
        return; // closed during the wait: the log is closed, nothing to copy
    // The port in use goes back into use, whatever the configuration says by now.
    const QString port = link_->portName();
    link_->close();
    eventLog_->model().setTable(nullptr);
    try {
        if (!eventLog_->isOpen())
            eventLog_->open();
        log::copyTable(*eventLog_->table(), log::tablePath(aliasFolder(), tableName));
    } catch (const log::LogError& e) {
        prompt_.inform(e.message());
    }
    // Whatever became of the copy, the station goes back to work.
    eventLog_->model().setTable(eventLog_->table());
    if (!link_->open(port)) {
        const QString message =
            QStringLiteral("Невозможно открыть порт ") + port + QLatin1Char('!');
        panels_->setText(StatusPanels::SystemInfo, message);
        prompt_.inform(message + QLatin1Char(' ') + link_->errorString());
        return;
    }
    timer1_.start();
}

void TForm1::N16Click() {
    TbCopy(archiveName(clock_().date()));
}

void TForm1::N8Click() {
    TbCopy(QStringLiteral("statistica"));
    if (windows_.form5)
        windows_.form5->show();
}

void TForm1::N12Click() {
    QTreeWidgetItem* row = ui_.ListView1->currentItem();
    if (!row || !row->isSelected())
        return;
    objectView_->f2update(ObjectView::objectName(*row));
    windows_.form2->show();
}

void TForm1::PopupMenu1Popup() {
    QTreeWidgetItem* row = ui_.ListView1->currentItem();
    if (!row || !row->isSelected())
        return; // the commands act on the object last loaded
    ui_.N41->setText(row->text(0));
    objectView_->f2update(ObjectView::objectName(*row));
}

void TForm1::N5Click(QAction* item) {
    // Each command presses its button of the control panel, shown or not.
    static const QHash<int, int> buttonOfItem = {{202, 201}, {203, 202}, {204, 503},
                                                 {205, 501}, {206, 502}, {207, 500}};
    const int tag = item->property("tag").toInt();
    if (tag == 201) {
        windows_.form2->show();
        return;
    }
    if (QAbstractButton* button = windows_.form2->buttonByTag(buttonOfItem.value(tag, -1)))
        button->click();
}

void TForm1::BitBtn1Click() {
    if (ui_.ListView2->topLevelItemCount() > 0)
        delete ui_.ListView2->takeTopLevelItem(0);
}

} // namespace tirvon::station
