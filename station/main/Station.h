#pragma once

#include "calls/Calls.h"
#include "ini/IniFile.h"
#include "intake/SmsIntake.h"
#include "log/EventLog.h"
#include "main/StationView.h"
#include "modem/ModemExchange.h"
#include "objects/ObjectView.h"
#include "panel/PanelCommands.h"
#include "polling/PollingCycle.h"
#include "queue/OutgoingQueue.h"
#include "recovery/ModemRecovery.h"
#include "reports/Reports.h"
#include "rules/RuleRunner.h"
#include "serial/ModemLink.h"
#include "sound/SoundPlayer.h"
#include "sound/SoundRequests.h"
#include "sound/SoundTimer.h"
#include "startup/ModemStartup.h"
#include "supervision/TestSupervision.h"
#include "ui/MessageQueue.h"
#include "ui/Prompt.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace tirvon::station {

// The monitoring station without its windows: it owns the modem exchange and
// the work areas (intake, outgoing queue, rules, control panel commands, event
// log, object view, incoming calls, polling cycle and its timer) and wires them, so that a
// report goes from the intake into the log and the object view directly. What
// is to be seen goes to the view; the windows forward their handlers here.
class Station : public QObject,
                private modem::ExchangeView,
                private PollingWork,
                private ModemStartupView,
                private IntakeActions {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    Station(QString programDirectory, ui::Prompt& prompt, std::unique_ptr<serial::ModemLink> link,
            std::unique_ptr<modem::EventPump> pump, std::unique_ptr<SoundPlayer> player,
            StationView& view, ObjectRowsView& objectRows, ControlPanelView& controlPanel);
    ~Station() override;

    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setAliasStorePath(const QString& path) { aliasStorePath_ = path; }

    const QString& programDirectory() const { return programDirectory_; }
    ini::IniFile& iniFile() { return iniFile_; }
    ui::Prompt& prompt() { return prompt_; }
    serial::ModemLink& link() { return *link_; }
    modem::ModemExchange& exchange() { return *exchange_; }
    PollingCycle& polling() { return polling_; }
    QTimer& timer1() { return timer1_; }
    SoundRequests& sounds() { return sounds_; }
    SoundTimer& soundTimer() { return *soundTimer_; }
    QTimer& timer3() { return soundTimer_->timer3(); }
    ObjectView& objectView() { return *objectView_; }
    EventLog& eventLog() { return *eventLog_; }
    OutgoingQueue& outgoingQueue() { return *queue_; }
    RuleRunner& rules() { return *rules_; }
    Calls& calls() { return *calls_; }
    Reports& reports() { return *reports_; }
    const QString& currentOperator() const { return currentOperator_; }
    const QString& objectWord() const { return objectWord_; }
    bool ending() const { return ending_; }

    // Start-up: object list, login, modem initialisation, log, rules' clock,
    // polling.
    void FormShow();
    // The operator's name and password from the login window; true when the
    // window may close.
    bool login(const QByteArray& name, const QByteArray& password);
    // The work of the modem initialisation window.
    void runModemStartup();
    // The login again (menu item N9).
    void showLogin();
    // The operator asks to close the main window; true when it may close.
    bool FormClose();
    // The program ends with this exit status: every wait for the modem returns.
    void endProgram(int exitCode);

    void Timer1Timer();
    void Timer2Timer() { exchange_->onWatchdogTick(); }
    void ComPortRxChar(qint64 count) { exchange_->onCharactersReceived(count); }
    void ComPortError();
    QByteArray SendCommand(const QByteArray& command) { return exchange_->sendCommand(command); }
    void Delay(unsigned ms) { exchange_->delay(ms); }
    void NotList(const QString& fileName, const QByteArray& line) override;
    void csq(const QByteArray& reply) override;
    void cmgl(const QByteArray& reply) override;
    void addtables(const QByteArray& stateKey, const QByteArray& value, const QByteArray& object,
                   const QByteArray& date, const QByteArray& arrival, const QByteArray& sending,
                   const QByteArray& logText) override;
    QByteArray search_sect(const QByteArray& name) const;
    QByteArray search_sect_phone(const QByteArray& phone) const;
    // Copies the open log into the table of that name beside it, with the
    // port closed and the polling stopped meanwhile.
    void TbCopy(const QString& tableName);
    void N16Click();
    // Statistics: the log copied into the statistics table, then the reports
    // window; openReports alone shows the window on the copy there is.
    void N8Click();
    void openReports();
    void N32Click();
    ModemRecovery& recovery() { return recovery_; }
    // The handler of the recovery timer: one attempt to bring the modem back.
    void recoverModem();
    // Sounds: the timer, the menu "Звук" ("Включен", "Отключен", "Отключить до
    // события").
    void Timer3Timer() { soundTimer_->Timer3Timer(); }
    void N17Click() { soundTimer_->setSoundOn(true); }
    void N18Click() { soundTimer_->setSoundOn(false); }
    void N20Click() { soundTimer_->N20Click(); }
    // The alarm memory in the list window; nothing without Alarm.txt.
    void N26Click();
    // The user guide, help.pdf of the program directory, in the desktop's viewer.
    void N4Click();
    void DISARMClick(int tag, const ControlPanelFields& panel);
    // "Принять": the operator on duty acknowledged this alarm row; it is logged.
    void acknowledgeAlarm(const QString& object, const QString& alarmText);

    static QString archiveName(const QDate& day);
    static inline const QString StatisticsTable = QStringLiteral("statistica");

signals:
    void programEnded(int exitCode);

private:
    // ExchangeView
    void exchangeEnded(modem::ExchangeOutcome outcome) override;
    void monitorEntry(const QByteArray& buffer) override;
    // PollingWork
    bool modemWorkInProgress() const override;
    bool hasQueuedMessage() const override;
    void sendQueuedMessage() override;
    QByteArray sendCommand(const QByteArray& command) override;
    // ModemStartupView
    void setGauge(int percent) override { view_.setGauge(percent); }
    void setResultLine(const QString& text) override { view_.setResultLine(text); }
    void setModemName(const QString& text) override;
    QString modemName() const override;
    void inform(const QString& message) override { prompt_.inform(message); }
    // IntakeActions
    void addAlarmRow(const QByteArray& object, const QByteArray& logText,
                     const QByteArray& arrival) override;
    void Action(const QByteArray& section, const QByteArray& ruleEventText) override;
    void reportFailure(const QString& message) override { tickMessages_.post(message); }
    void syncLog() override { eventLog_->sync(); }
    void unreadableEntry(const report::ListingEntry& entry) override;
    void objectReported(const QByteArray& section, bool testReport) override {
        supervision_.reportHandled(section, testReport, clock_());
    }
    // A test point passed without its test report: an alarm without rules.
    void superviseTests();
    // The modem is initialised again when the recovery says so, from the event
    // loop and never inside another piece of modem work.
    void scheduleRecovery(int pauseMs);
    void recoverWhenDue();
    void logModemEvent(const QString& text);

    void applyObjectWord(const QByteArray& word);
    void openLog();
    QString aliasFolder() const;
    QByteArray operatorBytes() const;
    void logPlainEvent(const QByteArray& object, const QByteArray& date, const QByteArray& arrival,
                       const QByteArray& sending, const QByteArray& logText);
    // A plain event of this moment (today, now, now); a failure of the log is shown.
    void logPlainEventNow(const QByteArray& object, const QByteArray& logText);
    // Runs an operator's or a tick's work; an OperationFailure is shown, and the
    // station goes on.
    template <typename Work> void guarded(Work work);
    // The same for the work of a polling tick: its box comes after the tick.
    template <typename Work> void guardedTick(Work work);

    QString programDirectory_;
    ini::IniFile iniFile_;
    ui::Prompt& prompt_;
    ui::MessageQueue tickMessages_{prompt_};
    StationView& view_;
    ObjectRowsView& objectRows_;
    std::unique_ptr<serial::ModemLink> link_;
    std::unique_ptr<modem::EventPump> pump_;
    std::unique_ptr<modem::ModemExchange> exchange_;
    std::unique_ptr<SoundPlayer> player_;
    PollingCycle polling_{*this};
    QTimer timer1_;
    SoundRequests sounds_;
    std::unique_ptr<ObjectView> objectView_;
    std::unique_ptr<EventLog> eventLog_;
    std::unique_ptr<SmsIntake> intake_;
    std::unique_ptr<OutgoingQueue> queue_;
    std::unique_ptr<RuleRunner> rules_;
    std::unique_ptr<PanelCommands> panelCommands_;
    std::unique_ptr<Calls> calls_;
    std::unique_ptr<Reports> reports_;
    TestSupervision supervision_{iniFile_};
    ModemRecovery recovery_;
    QTimer recoveryTimer_;
    // Set while the modem is initialised again: the polling waits.
    bool reinitialising_ = false;
    QString recoveryPort_;
    std::unique_ptr<SoundTimer> soundTimer_;
    Clock clock_ = [] {
        return QDateTime::currentDateTime();
    };
    QString aliasStorePath_;
    QString currentOperator_;
    QString objectWord_;
    bool ending_ = false;
    bool lineErrorShown_ = false;
};

} // namespace tirvon::station
