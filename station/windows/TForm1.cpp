#include "windows/TForm1.h"

#include "widgets/LedIndicator.h"
#include "widgets/LineIndicators.h"
#include "widgets/Placement.h"
#include "windows/TForm2.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"
#include "windows/TForm5.h"
#include "windows/TForm6.h"
#include "windows/TForm7.h"
#include "windows/TForm8.h"
#include "windows/TForm9.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace tirvon::station {

TForm1::TForm1(QString programDirectory, ui::Prompt& prompt,
               std::unique_ptr<serial::ModemLink> link, std::unique_ptr<modem::EventPump> pump,
               std::unique_ptr<SoundPlayer> player, QWidget* parent)
    : QMainWindow(parent) {
    ui_.setupUi(this);
    panels_ = std::make_unique<StatusPanels>(*ui_.StatusBar1);
    objectRows_ = std::make_unique<TreeObjectRows>(*ui_.ListView1);
    serial::ModemLink& line = *link;
    station_ = std::make_unique<Station>(
        std::move(programDirectory), prompt, std::move(link), std::move(pump), std::move(player),
        static_cast<StationView&>(*this), *objectRows_, static_cast<ControlPanelView&>(*this));
    connect(station_.get(), &Station::programEnded, this, &TForm1::programEnded);

    lineIndicators_ = new LineIndicators(
        line,
        {ui_.ComLed7, ui_.ComLed1, ui_.ComLed2, ui_.ComLed3, ui_.ComLed4, ui_.ComLed5, ui_.ComLed6},
        this);

    auto* callPolicy = new QActionGroup(this);
    for (QAction* a : {ui_.N24, ui_.N23, ui_.N22})
        callPolicy->addAction(a);
    const QList<QPair<QAction*, CallPolicy>> policies = {{ui_.N24, CallPolicy::AcceptAll},
                                                         {ui_.N23, CallPolicy::AcceptListed},
                                                         {ui_.N22, CallPolicy::RejectAll}};
    for (const auto& [item, policy] : policies) {
        connect(item, &QAction::toggled, this, [this, policy](bool checked) {
            if (checked)
                calls().setPolicy(policy);
        });
        if (item->isChecked())
            calls().setPolicy(policy);
    }
    calls().setView(static_cast<CallPanelView&>(*this));
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

    // Shift, Ctrl and Alt held while the mouse leaves the Ring light open the
    // reports window on the statistics copy there is.
    connect(ui_.ComLed4, &LedIndicator::released, this, [this](Qt::KeyboardModifiers held) {
        const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if ((held & all) == all)
            station_->openReports();
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
    connect(ui_.N29, &QAction::triggered, this, &TForm1::N29Click);
    connect(ui_.N30, &QAction::triggered, this, &TForm1::N30Click);
    connect(ui_.N27, &QAction::triggered, this, &TForm1::N27Click);
    connect(ui_.SpeedButton1, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(ui_.SpeedButton2, &QPushButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(ui_.SpeedButton3, &QPushButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(ui_.Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui_.N17, &QAction::triggered, this, &TForm1::N17Click);
    connect(ui_.N18, &QAction::triggered, this, &TForm1::N18Click);
    connect(ui_.N20, &QAction::triggered, this, &TForm1::N20Click);
    connect(ui_.N26, &QAction::triggered, this, &TForm1::N26Click);
    connect(ui_.N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(ui_.N6, &QAction::triggered, this, &TForm1::N6Click);
}

TForm1::~TForm1() = default;

void TForm1::attachWindows(const StationWindows& windows) {
    windows_ = windows;
    windows_.form1 = this;
    connect(windows_.form3, &TForm3::loginRequested, this, &TForm1::onLoginRequested);
    connect(windows_.form3, &TForm3::cancelRequested, this, &TForm1::close);
    connect(windows_.form2, &TForm2::commandPressed, this, &TForm1::DISARMClick);
    connect(windows_.form2, &TForm2::sensorInfoRequested, this, &TForm1::Label4Click);
    windows_.form5->attach(station_->reports(), *windows_.form8, station_->prompt());
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
    ui_.GroupBox1->hide();
    station_->FormShow();
}

void TForm1::showLogModel(log::LogTableModel& model) {
    ui_.DBGrid1->setModel(&model);
    for (int i = 0; i < model.columnCount(); ++i) {
        if (model.columnWidth(i) > 0)
            ui_.DBGrid1->setColumnWidth(i, model.columnWidth(i));
    }
    // The newest record stays in view.
    connect(&model, &QAbstractItemModel::rowsInserted, ui_.DBGrid1,
            &QAbstractItemView::scrollToBottom);
}

void TForm1::showLogin(const QList<QByteArray>& accounts, bool logReady) {
    windows_.form3->prepare(accounts, logReady);
    modalRunner_(*windows_.form3);
}

void TForm1::onLoginRequested(const QByteArray& name, const QByteArray& password) {
    if (station_->login(name, password))
        windows_.form3->accept();
}

void TForm1::showModemInitialisation() {
    windows_.form7->setWork([this] { station_->runModemStartup(); });
    modalRunner_(*windows_.form7);
}

void TForm1::setGauge(int percent) {
    windows_.form7->setGauge(percent);
}

void TForm1::setResultLine(const QString& text) {
    windows_.form7->setResultLine(text);
}

void TForm1::setPanelText(StatusPanels::Panel panel, const QString& text) {
    panels_->setText(panel, text);
}

QString TForm1::panelText(StatusPanels::Panel panel) const {
    return panels_->text(panel);
}

void TForm1::showExchangeOutcome(modem::ExchangeOutcome outcome) {
    panels_->showExchangeOutcome(outcome);
}

void TForm1::showModemNote(const QString& text) {
    panels_->showModemNote(text);
}

void TForm1::setSignalBar(int position) {
    ui_.ProgressBar1->setValue(position);
}

void TForm1::setObjectWord(const QString& word) {
    const QString of = word + QLatin1Char('a'); // a Latin letter, as it always was
    ui_.N2->setTitle(word);
    ui_.ListView1->headerItem()->setText(0, word);
    ui_.ListView2->headerItem()->setText(0, word);
    ui_.Label9->setText(word);
    ui_.Label10->setText(QStringLiteral("Наименование ") + of);
    ui_.N41->setText(word);
    if (windows_.form2)
        windows_.form2->setObjectWord(word);
    if (windows_.form5)
        windows_.form5->setObjectWord(word);
    if (windows_.form8)
        windows_.form8->setObjectWord(word);
}

void TForm1::closeModalWindows() {
    for (QDialog* dialog :
         {static_cast<QDialog*>(windows_.form3), static_cast<QDialog*>(windows_.form7)}) {
        if (dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

void TForm1::showReports() {
    if (windows_.form5) {
        windows_.form5->show();
        windows_.form5->raise();
    }
}

QString TForm1::armingText() const {
    return windows_.form2->armingText();
}

void TForm1::fill(const ControlPanelData& data) {
    windows_.form2->fill(data);
}

void TForm1::setCallerName(const QString& name) {
    ui_.Label10->setText(name);
}

void TForm1::setCallerNumber(const QString& number) {
    ui_.Label8->setText(number);
}

void TForm1::setCallStatus(const QString& status, CallStatusColour colour) {
    ui_.Label12->setText(status);
    QPalette palette = ui_.Label12->palette();
    palette.setColor(QPalette::WindowText,
                     colour == CallStatusColour::Blue ? QColor(Qt::blue) : QColor(Qt::red));
    ui_.Label12->setPalette(palette);
}

void TForm1::setCallPanelVisible(bool visible) {
    ui_.GroupBox1->setVisible(visible);
}

void TForm1::setMissedListButtonVisible(bool visible) {
    ui_.Button3->setVisible(visible);
}

void TForm1::showCallList(const QString& title, const QString& path) {
    if (windows_.form4)
        windows_.form4->showList(title, path);
}

void TForm1::DISARMClick(int tag) {
    station_->DISARMClick(tag, *windows_.form2);
}

void TForm1::Label4Click() {
    windows_.form4->showList(QStringLiteral("Информация по датчикам"),
                             programDirectory() + QStringLiteral("info.txt"));
}

void TForm1::addAlarmRow(const QString& object, const QString& text, const QString& arrival) {
    new QTreeWidgetItem(ui_.ListView2, {object, text, arrival});
}

void TForm1::showMonitorEntry(const QByteArray& buffer) {
    if (windows_.form9)
        windows_.form9->appendEntry(buffer);
}

void TForm1::showSoundNote(const QString& text) {
    panels_->showModemNote(text);
}

void TForm1::showList(const QString& title, const QString& path) {
    if (windows_.form4)
        windows_.form4->showList(title, path);
}

void TForm1::openDocument(const QString& path) {
    // Where the desktop has no viewer for it, nothing more happens.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TForm1::N6Click() {
    if (!windows_.form6)
        return;
    centreOnScreen(*windows_.form6);
    modalRunner_(*windows_.form6);
}

int TForm1::alarmRowCount() const {
    return ui_.ListView2->topLevelItemCount();
}

void TForm1::N15Click() {
    if (!windows_.form9)
        return;
    centreOnScreen(*windows_.form9);
    windows_.form9->show();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // FormClose
    if (station_->FormClose())
        event->accept();
    else
        event->ignore();
}

void TForm1::N12Click() {
    QTreeWidgetItem* row = ui_.ListView1->currentItem();
    if (!row || !row->isSelected())
        return;
    f2update(ObjectView::objectName(*row));
    windows_.form2->show();
}

void TForm1::PopupMenu1Popup() {
    QTreeWidgetItem* row = ui_.ListView1->currentItem();
    if (!row || !row->isSelected())
        return; // the commands act on the object last loaded
    ui_.N41->setText(row->text(0));
    f2update(ObjectView::objectName(*row));
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
    if (ui_.ListView2->topLevelItemCount() == 0)
        return;
    const std::unique_ptr<QTreeWidgetItem> oldest(ui_.ListView2->takeTopLevelItem(0));
    station_->acknowledgeAlarm(oldest->text(0), oldest->text(1));
}

} // namespace tirvon::station
