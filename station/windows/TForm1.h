#pragma once

#include "ui_TForm1.h"

#include "ini/IniFile.h"
#include "intake/SmsIntake.h"
#include "log/EventLog.h"
#include "main/StatusPanels.h"
#include "modem/ModemExchange.h"
#include "objects/ObjectView.h"
#include "panel/PanelCommands.h"
#include "polling/PollingCycle.h"
#include "queue/OutgoingQueue.h"
#include "rules/RuleRunner.h"
#include "serial/ModemLink.h"
#include "sound/SoundRequests.h"
#include "startup/ModemStartup.h"
#include "ui/Prompt.h"

#include <QDateTime>
#include <QDialog>
#include <QMainWindow>
#include <QTimer>
#include <memory>

class QMenu;

namespace tirvon::station {

class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class LineIndicators;

// The windows of the station, created once at program start in this order.
struct StationWindows {
    class TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
    TForm6* form6 = nullptr;
    TForm7* form7 = nullptr;
    TForm8* form8 = nullptr;
    TForm9* form9 = nullptr;
};

// The station's main window: object list, alarm list, log grid, LED panel and
// status bar; start-up (FormShow), the polling cycle (Timer1Timer) and the orderly
// end (FormClose). The modem work itself lives in the exchange and the work
// areas; this class wires them to the controls.
class TForm1 : public QMainWindow,
               private modem::ExchangeView,
               private PollingWork,
               private ModemStartupView,
               private IntakeActions {
    Q_OBJECT
public:
    TForm1(QString programDirectory, ui::Prompt& prompt, std::unique_ptr<serial::ModemLink> link,
           std::unique_ptr<modem::EventPump> pump, QWidget* parent = nullptr);
    ~TForm1() override;

    void attachWindows(const StationWindows& windows);

    // How modal windows (login, modem initialisation) are shown: exec() in the
    // program; tests put their own hand on the window instead.
    using ModalRunner = std::function<void(QDialog&)>;
    void setModalRunner(ModalRunner runner) { modalRunner_ = std::move(runner); }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    void setAliasStorePath(const QString& path) { aliasStorePath_ = path; }

    Ui::TForm1& ui() { return ui_; }
    StatusPanels& statusPanels() { return *panels_; }
    modem::ModemExchange& exchange() { return *exchange_; }
    PollingCycle& polling() { return polling_; }
    QTimer& timer1() { return timer1_; }
    QMenu& popupMenu1() { return *popupMenu1_; }
    const QString& programDirectory() const { return programDirectory_; }
    const QString& currentOperator() const { return currentOperator_; }
    const QString& objectWord() const { return objectWord_; }
    ObjectView& objectView() { return *objectView_; }
    EventLog& eventLog() { return *eventLog_; }
    SoundRequests& sounds() { return sounds_; }
    ini::IniFile& iniFile() { return iniFile_; }

    // Handlers and work routines of the main window.
    void FormShow();
    void Timer1Timer();
    void Timer2Timer() { exchange_->onWatchdogTick(); }
    void ComPortRxChar(qint64 count) { exchange_->onCharactersReceived(count); }
    void ComPortError();
    QByteArray SendCommand(const QByteArray& command) { return exchange_->sendCommand(command); }
    void Delay(unsigned ms) { exchange_->delay(ms); }
    void NotList(const QString& fileName, const QByteArray& line) override;
    void N11Click() { close(); }
    void N15Click();
    void N32Click();

    // Log and objects.
    void addtables(const QByteArray& stateKey, const QByteArray& value, const QByteArray& object,
                   const QByteArray& date, const QByteArray& arrival, const QByteArray& sending,
                   const QByteArray& logText) override;
    void f2update(const QByteArray& object) { objectView_->f2update(object); }
    QByteArray search_sect(const QByteArray& name) const;
    QByteArray search_sect_phone(const QByteArray& phone) const;
    void TbCopy(const QString& tableName);
    void N16Click();
    void N8Click();
    void N9Click() { showLogin(); }
    void postsms(const QByteArray& number, const QByteArray& text) {
        queue_->postsms(number, text);
    }
    void sendsms() { queue_->sendsms(); }
    OutgoingQueue& outgoingQueue() { return *queue_; }
    RuleRunner& rules() { return *rules_; }
    void DISARMClick(int tag);
    void Label4Click();
    void N12Click();
    void ListView1DblClick() { N12Click(); }
    void PopupMenu1Popup();
    void N5Click(QAction* item);
    void BitBtn1Click();
    void csq(const QByteArray& reply) override;

    static QString archiveName(const QDate& day);

signals:
    // The program must end with this exit status (start-up could not go on, or
    // the operator confirmed the end).
    void programEnded(int exitCode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // ExchangeView
    void exchangeEnded(modem::ExchangeOutcome outcome) override;
    void monitorEntry(const QByteArray& buffer) override;
    // PollingWork
    bool modemWorkInProgress() const override;
    bool hasQueuedMessage() const override;
    void sendQueuedMessage() override;
    QByteArray sendCommand(const QByteArray& command) override { return SendCommand(command); }
    void cmgl(const QByteArray& reply) override;
    // ModemStartupView
    void setGauge(int percent) override;
    void setResultLine(const QString& text) override;
    void setModemName(const QString& text) override;
    QString modemName() const override;
    void inform(const QString& message) override { prompt_.inform(message); }
    // IntakeActions
    void addAlarmRow(const QByteArray& object, const QByteArray& logText,
                     const QByteArray& arrival) override;
    void Action(const QByteArray& section, const QByteArray& ruleEventText) override;
    void reportFailure(const QString& message) override { prompt_.inform(message); }
    void syncLog() override { eventLog_->sync(); }
    void unreadableEntry(const report::ListingEntry& entry) override;

    void buildPopupMenu();
    void applyObjectWord(const QByteArray& word);
    void showLogin();
    void onLoginRequested(const QByteArray& name, const QByteArray& password);
    void runModemStartup();
    void openLog();
    void endProgram(int exitCode);
    void closeModalWindows();
    QString aliasFolder() const;
    QByteArray operatorBytes() const;
    void logPlainEvent(const QByteArray& object, const QByteArray& date, const QByteArray& arrival,
                       const QByteArray& sending, const QByteArray& logText);
    // Runs an operator's or a tick's work; an OperationFailure is shown, and the
    // station goes on.
    template <typename Work> void guarded(Work work);

    Ui::TForm1 ui_;
    QString programDirectory_;
    ini::IniFile iniFile_;
    ui::Prompt& prompt_;
    std::unique_ptr<serial::ModemLink> link_;
    std::unique_ptr<modem::EventPump> pump_;
    std::unique_ptr<modem::ModemExchange> exchange_;
    std::unique_ptr<StatusPanels> panels_;
    LineIndicators* lineIndicators_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    PollingCycle polling_{*this};
    QTimer timer1_;
    StationWindows windows_;
    SoundRequests sounds_;
    std::unique_ptr<ObjectView> objectView_;
    std::unique_ptr<EventLog> eventLog_;
    std::unique_ptr<SmsIntake> intake_;
    std::unique_ptr<OutgoingQueue> queue_;
    std::unique_ptr<RuleRunner> rules_;
    std::unique_ptr<PanelCommands> panelCommands_;
    ModalRunner modalRunner_ = [](QDialog& dialog) {
        dialog.exec();
    };
    std::function<QDateTime()> clock_ = [] {
        return QDateTime::currentDateTime();
    };
    QString aliasStorePath_;
    QString currentOperator_;
    QString objectWord_;
    bool shown_ = false;
    bool ending_ = false;
    bool lineErrorShown_ = false;
    bool conversionErrorShown_ = false;
};

} // namespace tirvon::station
