#include "main/Station.h"

#include "config/Schema.h"
#include "log/AliasStore.h"
#include "login/Login.h"
#include "main/TextList.h"
#include "objects/ObjectRegistry.h"
#include "report/ReportInterpreter.h"
#include "startup/SignalQuality.h"
#include "startup/StationSettings.h"
#include "text/Cp1251.h"
#include "text/DateStamps.h"

#include <QFile>

namespace tirvon::station {

namespace {
const QString conversionError = QStringLiteral("'%1' is not a valid integer value");
} // namespace

Station::Station(QString programDirectory, ui::Prompt& prompt,
                 std::unique_ptr<serial::ModemLink> link, std::unique_ptr<modem::EventPump> pump,
                 std::unique_ptr<SoundPlayer> player, StationView& view, ObjectRowsView& objectRows,
                 ControlPanelView& controlPanel)
    : programDirectory_(std::move(programDirectory)),
      iniFile_(programDirectory_ + QString::fromLatin1(config::FileName)), prompt_(prompt),
      view_(view), objectRows_(objectRows), link_(std::move(link)), pump_(std::move(pump)),
      player_(std::move(player)), aliasStorePath_(log::AliasStore::defaultPath()) {
    exchange_ = std::make_unique<modem::ModemExchange>(
        *link_, static_cast<modem::ExchangeView&>(*this), *pump_, this);
    objectView_ = std::make_unique<ObjectView>(objectRows, controlPanel, sounds_, iniFile_);
    eventLog_ = std::make_unique<EventLog>(*objectView_, [this] { return operatorBytes(); });
    intake_ = std::make_unique<SmsIntake>(*exchange_, iniFile_, sounds_,
                                          static_cast<IntakeActions&>(*this));
    queue_ = std::make_unique<OutgoingQueue>(*exchange_, sounds_, [this](int count) {
        view_.setPanelText(StatusPanels::OutgoingCount, QString::number(count));
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
    calls_ = std::make_unique<Calls>(*exchange_, timer1_, iniFile_, sounds_, prompt_,
                                     programDirectory_, clock);
    exchange_->setCallHandover(calls_.get());
    reports_ = std::make_unique<Reports>(iniFile_, prompt_);
    connect(link_.get(), &serial::ModemLink::lineError, this, &Station::ComPortError);
    recoveryTimer_.setSingleShot(true);
    connect(&recoveryTimer_, &QTimer::timeout, this, &Station::recoverModem);

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(PollingCycle::TickIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &Station::Timer1Timer);
    view_.showLogModel(eventLog_->model());

    player_->setNote([this](const QString& text) { view_.showSoundNote(text); });
    soundTimer_ =
        std::make_unique<SoundTimer>(programDirectory_, iniFile_, sounds_, *player_, prompt_,
                                     SoundTimer::Hooks{[this] { return view_.alarmRowCount(); },
                                                       [this] {
                                                           return ending_;
                                                       }});
    // The sound timer runs from the start, through login and modem initialisation.
    soundTimer_->timer3().start();
}

Station::~Station() = default;

QByteArray Station::operatorBytes() const {
    return text::fromUnicode(currentOperator_);
}

void Station::FormShow() {
    currentOperator_.clear();
    const StationSettings settings(iniFile_);
    applyObjectWord(settings.objectWord());
    objectView_->fill();
    exchange_->reset();
    polling_.reset();
    queue_->clear();

    showLogin();
    if (ending_)
        return;
    view_.showModemInitialisation();
    if (ending_)
        return;
    view_.setPanelText(StatusPanels::PortName, text::toUnicode(settings.portName()));
    if (currentOperator_.isEmpty())
        currentOperator_ = QStringLiteral("Пользователь");
    sounds_.clear();
    openLog();
    rules_->startClock();
    timer1_.start();
}

void Station::openLog() {
    try {
        eventLog_->open();
    } catch (const log::LogError& e) {
        prompt_.inform(e.message());
    }
}

QString Station::aliasFolder() const {
    return log::AliasStore(aliasStorePath_).folder(log::LogAlias);
}

void Station::showLogin() {
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
    view_.showLogin(accountNames(iniFile_), ready);
}

bool Station::login(const QByteArray& name, const QByteArray& password) {
    const LoginCheck check = checkLogin(iniFile_, name, password);
    for (int i = 0; i < check.refusals; ++i)
        prompt_.inform(QStringLiteral("Пользователь не зарегистрирован!"));
    if (!check.loggedIn)
        return false;
    currentOperator_ = text::toUnicode(check.operatorName);
    view_.setPanelText(StatusPanels::Operator,
                       QStringLiteral("Текущий администратор: ") + currentOperator_);
    return true;
}

void Station::runModemStartup() {
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

void Station::setModemName(const QString& text) {
    view_.setPanelText(StatusPanels::ModemName, text);
}

QString Station::modemName() const {
    return view_.panelText(StatusPanels::ModemName);
}

void Station::csq(const QByteArray& reply) {
    const SignalQualityReading reading = readSignalQuality(reply);
    if (reading.kind == SignalQualityReading::Kind::Position) {
        view_.setSignalBar(reading.barPosition);
    } else if (reading.kind == SignalQualityReading::Kind::Unreadable) {
        // The tick ends here; the box comes after it, one at a time however
        // often the modem answers this way.
        tickMessages_.post(conversionError.arg(text::toUnicode(reading.text)));
    }
}

void Station::applyObjectWord(const QByteArray& word) {
    objectWord_ = text::toUnicode(word);
    eventLog_->model().setBankTitle(objectWord_);
    view_.setObjectWord(objectWord_);
}

bool Station::FormClose() {
    if (ending_)
        return true;
    if (!prompt_.confirm(QStringLiteral("Вы уверены что хотите закрыть программу мониторинга?")))
        return false;
    endProgram(0);
    return true;
}

void Station::endProgram(int exitCode) {
    if (ending_)
        return;
    ending_ = true;
    timer1_.stop();
    soundTimer_->shutDown();
    // Every wait for the modem returns now, so the program ends even while an
    // exchange or a delay is waiting.
    exchange_->shutDown();
    link_->close();
    eventLog_->close();
    view_.closeModalWindows();
    emit programEnded(exitCode);
}

template <typename Work> void Station::guarded(Work work) {
    try {
        work();
    } catch (const OperationFailure& e) {
        prompt_.inform(e.message());
    }
}

template <typename Work> void Station::guardedTick(Work work) {
    try {
        work();
    } catch (const OperationFailure& e) {
        tickMessages_.post(e.message());
    }
}

void Station::Timer1Timer() {
    // Time rules are due whether or not the modem is busy at this second.
    guardedTick([this] { rules_->checkTimeRules(); });
    guardedTick([this] { superviseTests(); });
    guardedTick([this] { polling_.tick(); });
}

void Station::superviseTests() {
    const QDateTime now = clock_();
    const std::vector<MissedTest> missedTests = supervision_.check(now);
    if (missedTests.empty())
        return;
    const QByteArray date = now.toString(text::LogDateFormat).toLatin1();
    const QByteArray time = now.toString(text::LogTimeFormat).toLatin1();
    for (const MissedTest& missed : missedTests) {
        const QByteArray what = text::cp("Нет тестового сообщения (точка ") +
                                missed.point.toString(text::PointTimeFormat).toLatin1() + ")";
        const QByteArray logText = report::alarmMarker() + " " + what;
        logPlainEvent(missed.object, date, time, time, logText);
        addAlarmRow(missed.object, logText, date + " - " + time);
        sounds_.alarm = true;
        sounds_.missedTest = true;
        NotList(QStringLiteral("Alarm.txt"),
                "<" + missed.object + "><" + date + "><" + time + "><" + time + "><" + what + ">");
    }
}

void Station::logPlainEvent(const QByteArray& object, const QByteArray& date,
                            const QByteArray& arrival, const QByteArray& sending,
                            const QByteArray& logText) {
    addtables({}, EventLog::PlainEvent, object, date, arrival, sending, logText);
}

void Station::logPlainEventNow(const QByteArray& object, const QByteArray& logText) {
    guarded([&] {
        const QDateTime now = clock_();
        const QByteArray time = now.toString(text::LogTimeFormat).toLatin1();
        logPlainEvent(object, now.toString(text::LogDateFormat).toLatin1(), time, time, logText);
    });
}

void Station::DISARMClick(int tag, const ControlPanelFields& panel) {
    guarded([this, tag, &panel] { panelCommands_->DISARMClick(tag, panel); });
}

void Station::acknowledgeAlarm(const QString& object, const QString& alarmText) {
    logPlainEventNow(text::fromUnicode(object), acknowledgementText(text::fromUnicode(alarmText)));
}

bool Station::modemWorkInProgress() const {
    return exchange_->smsWork() || exchange_->busy() || reinitialising_ || recovery_.recovering();
}

QByteArray Station::sendCommand(const QByteArray& command) {
    const QByteArray reply = SendCommand(command);
    if (!reinitialising_) {
        recovery_.replyReceived(command, reply);
        recoverWhenDue();
    }
    return reply;
}

void Station::recoverWhenDue() {
    if (recovery_.due() != ModemRecovery::Cause::None && !recoveryTimer_.isActive())
        scheduleRecovery(0);
}

void Station::scheduleRecovery(int pauseMs) {
    if (ending_)
        return;
    recoveryTimer_.start(pauseMs);
}

void Station::logModemEvent(const QString& text) {
    view_.setPanelText(StatusPanels::SystemInfo, text);
    logPlainEventNow({}, text::fromUnicode(text));
}

void Station::recoverModem() {
    if (ending_ || reinitialising_)
        return;
    // Never inside an exchange, a listing's handling, the start-up or a copy of
    // the log (the polling is stopped then): a little later.
    if (exchange_->busy() || exchange_->smsWork() || !timer1_.isActive()) {
        scheduleRecovery(modem::ModemExchange::WatchdogIntervalMs);
        return;
    }
    const ModemRecovery::Cause cause = recovery_.due();
    if (cause == ModemRecovery::Cause::None)
        return;
    if (recoveryPort_.isEmpty()) {
        // The port in use goes back into use, whatever the configuration says by now.
        recoveryPort_ = link_->portName();
        logModemEvent(QStringLiteral("Повторная инициализация модема: ") +
                      ModemRecovery::describe(cause));
    }
    bool ready = false;
    {
        const modem::FlagScope busy(reinitialising_);
        ready = ModemStartup(*exchange_, *link_, StationSettings(iniFile_), *this)
                    .reinitialise(recoveryPort_);
    }
    if (ending_)
        return;
    if (!ready) {
        const int pause = recovery_.attemptFailed();
        view_.setPanelText(
            StatusPanels::SystemInfo,
            QStringLiteral("Модем не отвечает, повтор инициализации через %1 с").arg(pause / 1000));
        scheduleRecovery(pause);
        return;
    }
    recovery_.recovered();
    recoveryPort_.clear();
    polling_.reset();
    logModemEvent(QStringLiteral("Модем снова на связи"));
}

bool Station::hasQueuedMessage() const {
    return !queue_->isEmpty();
}

void Station::sendQueuedMessage() {
    queue_->sendsms();
}

void Station::cmgl(const QByteArray& reply) {
    intake_->cmgl(reply);
}

void Station::addAlarmRow(const QByteArray& object, const QByteArray& logText,
                          const QByteArray& arrival) {
    QByteArray shown = logText;
    shown.replace('\r', QByteArray()); // the last line's CR has no place in a cell
    view_.addAlarmRow(text::toUnicode(object), text::toUnicode(shown), text::toUnicode(arrival));
}

void Station::unreadableEntry(const report::ListingEntry& entry) {
    view_.showModemNote(QStringLiteral("Не удалось прочитать сообщение %1 в памяти модема, "
                                       "оно оставлено в модеме")
                            .arg(text::toUnicode(entry.index)));
}

void Station::Action(const QByteArray& section, const QByteArray& ruleEventText) {
    rules_->Action(section, ruleEventText);
}

void Station::exchangeEnded(modem::ExchangeOutcome outcome) {
    view_.showExchangeOutcome(outcome);
    // Only the polling's exchanges tell whether the modem went silent.
    if (reinitialising_ || !timer1_.isActive())
        return;
    recovery_.exchangeEnded(outcome);
    recoverWhenDue();
}

void Station::monitorEntry(const QByteArray& buffer) {
    view_.showMonitorEntry(buffer);
}

void Station::ComPortError() {
    // A port that went away (a modem unplugged) is opened again when it comes back.
    if (!reinitialising_ && !ending_ && recovery_.due() == ModemRecovery::Cause::None) {
        recovery_.portLost();
        scheduleRecovery(0);
    }
    // One box at a time: errors that come while it is open add nothing to it.
    if (lineErrorShown_)
        return;
    lineErrorShown_ = true;
    prompt_.inform(QStringLiteral("Error"));
    lineErrorShown_ = false;
}

void Station::NotList(const QString& fileName, const QByteArray& line) {
    appendLine(programDirectory_, fileName, line);
}

void Station::N32Click() {
    prompt_.inform(QStringLiteral("Колличество объектов на текущий момент: ") +
                   QString::number(objectRows_.rowCount()) +
                   QStringLiteral("\r\nТекущий пользователь: ") + currentOperator_ +
                   QStringLiteral("\r\n"));
}

void Station::N26Click() {
    const QString path = programDirectory_ + QStringLiteral("Alarm.txt");
    if (QFile::exists(path))
        view_.showList(QStringLiteral("Память тревог"), path);
}

void Station::N4Click() {
    const QString path = programDirectory_ + QStringLiteral("help.pdf");
    if (QFile::exists(path))
        view_.openDocument(path);
}

void Station::addtables(const QByteArray& stateKey, const QByteArray& value,
                        const QByteArray& object, const QByteArray& date, const QByteArray& arrival,
                        const QByteArray& sending, const QByteArray& logText) {
    eventLog_->addtables(stateKey, value, object, date, arrival, sending, logText);
}

QByteArray Station::search_sect(const QByteArray& name) const {
    return ObjectRegistry(iniFile_).search_sect(name);
}

QByteArray Station::search_sect_phone(const QByteArray& phone) const {
    return ObjectRegistry(iniFile_).search_sect_phone(phone);
}

QString Station::archiveName(const QDate& day) {
    return QStringLiteral("AB_") + day.toString(QStringLiteral("dd_MM_yyyy"));
}

void Station::TbCopy(const QString& tableName) {
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
        view_.setPanelText(StatusPanels::SystemInfo, message);
        prompt_.inform(message + QLatin1Char(' ') + link_->errorString());
        return;
    }
    timer1_.start();
}

void Station::N16Click() {
    TbCopy(archiveName(clock_().date()));
}

void Station::N8Click() {
    // The grid lets the old copy go before it is replaced.
    reports_->close();
    TbCopy(StatisticsTable);
    openReports();
}

void Station::openReports() {
    reports_->setCopyPath(log::tablePath(aliasFolder(), StatisticsTable));
    view_.showReports();
}

} // namespace tirvon::station
