#pragma once

#include "ui_TForm1.h"

#include "main/Station.h"
#include "main/StationView.h"
#include "main/StatusPanels.h"

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
// status bar. The station behind it owns the modem work and makes the
// decisions; this class shows what it is told and forwards its handlers.
class TForm1 : public QMainWindow,
               private StationView,
               private ControlPanelView,
               private CallPanelView {
    Q_OBJECT
public:
    TForm1(QString programDirectory, ui::Prompt& prompt, std::unique_ptr<serial::ModemLink> link,
           std::unique_ptr<modem::EventPump> pump, std::unique_ptr<SoundPlayer> player,
           QWidget* parent = nullptr);
    ~TForm1() override;

    void attachWindows(const StationWindows& windows);

    // How modal windows (login, modem initialisation) are shown: exec() in the
    // program; tests put their own hand on the window instead.
    using ModalRunner = std::function<void(QDialog&)>;
    void setModalRunner(ModalRunner runner) { modalRunner_ = std::move(runner); }
    void setClock(std::function<QDateTime()> clock) { station_->setClock(std::move(clock)); }
    void setAliasStorePath(const QString& path) { station_->setAliasStorePath(path); }

    Station& station() { return *station_; }
    Ui::TForm1& ui() { return ui_; }
    StatusPanels& statusPanels() { return *panels_; }
    modem::ModemExchange& exchange() { return station_->exchange(); }
    PollingCycle& polling() { return station_->polling(); }
    QTimer& timer1() { return station_->timer1(); }
    QMenu& popupMenu1() { return *popupMenu1_; }
    const QString& programDirectory() const { return station_->programDirectory(); }
    const QString& currentOperator() const { return station_->currentOperator(); }
    const QString& objectWord() const { return station_->objectWord(); }
    ObjectView& objectView() { return station_->objectView(); }
    EventLog& eventLog() { return station_->eventLog(); }
    SoundRequests& sounds() { return station_->sounds(); }
    ini::IniFile& iniFile() { return station_->iniFile(); }

    // Handlers and work routines of the main window.
    void FormShow();
    void Timer1Timer() { station_->Timer1Timer(); }
    void Timer2Timer() { station_->Timer2Timer(); }
    void ComPortRxChar(qint64 count) { station_->ComPortRxChar(count); }
    void ComPortError() { station_->ComPortError(); }
    QByteArray SendCommand(const QByteArray& command) { return station_->SendCommand(command); }
    void Delay(unsigned ms) { station_->Delay(ms); }
    void NotList(const QString& fileName, const QByteArray& line) {
        station_->NotList(fileName, line);
    }
    void N11Click() { close(); }
    void N15Click();
    void N32Click() { station_->N32Click(); }

    // Sounds and the small windows.
    QTimer& timer3() { return station_->timer3(); }
    void Timer3Timer() { station_->Timer3Timer(); }
    void N17Click() { station_->N17Click(); }
    void N18Click() { station_->N18Click(); }
    void N20Click() { station_->N20Click(); }
    void N26Click() { station_->N26Click(); }
    void N4Click() { station_->N4Click(); }
    void N6Click();

    // Log and objects.
    void addtables(const QByteArray& stateKey, const QByteArray& value, const QByteArray& object,
                   const QByteArray& date, const QByteArray& arrival, const QByteArray& sending,
                   const QByteArray& logText) {
        station_->addtables(stateKey, value, object, date, arrival, sending, logText);
    }
    void f2update(const QByteArray& object) { station_->objectView().f2update(object); }
    QByteArray search_sect(const QByteArray& name) const { return station_->search_sect(name); }
    QByteArray search_sect_phone(const QByteArray& phone) const {
        return station_->search_sect_phone(phone);
    }
    void TbCopy(const QString& tableName) { station_->TbCopy(tableName); }
    void N16Click() { station_->N16Click(); }
    void N8Click() { station_->N8Click(); }
    void N9Click() { station_->showLogin(); }
    void postsms(const QByteArray& number, const QByteArray& text) {
        station_->outgoingQueue().postsms(number, text);
    }
    void sendsms() { station_->outgoingQueue().sendsms(); }
    OutgoingQueue& outgoingQueue() { return station_->outgoingQueue(); }
    RuleRunner& rules() { return station_->rules(); }
    void DISARMClick(int tag);
    void Label4Click();
    void N12Click();
    void ListView1DblClick() { N12Click(); }
    void PopupMenu1Popup();
    void N5Click(QAction* item);
    void BitBtn1Click();
    void csq(const QByteArray& reply) { station_->csq(reply); }

    // Incoming calls.
    Calls& calls() { return station_->calls(); }
    void inccall(const QByteArray& callerText) { calls().inccall(callerText); }
    void Timer4Timer() { calls().Timer4Timer(); }
    void Timer5Timer() { calls().Timer5Timer(); }
    void SpeedButton1Click() { calls().SpeedButton1Click(); }
    void SpeedButton2Click() { calls().SpeedButton2Click(); }
    void SpeedButton3Click() { calls().SpeedButton3Click(); }
    void Button3Click() { calls().Button3Click(); }
    void N29Click() { calls().N29Click(); }
    void N30Click() { calls().N30Click(); }
    void N27Click() { calls().N27Click(); }
    void cmgl(const QByteArray& reply) { station_->cmgl(reply); }

    static QString archiveName(const QDate& day) { return Station::archiveName(day); }

signals:
    // The program must end with this exit status (start-up could not go on, or
    // the operator confirmed the end).
    void programEnded(int exitCode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // StationView
    void setPanelText(StatusPanels::Panel panel, const QString& text) override;
    QString panelText(StatusPanels::Panel panel) const override;
    void showExchangeOutcome(modem::ExchangeOutcome outcome) override;
    void showModemNote(const QString& text) override;
    void addAlarmRow(const QString& object, const QString& text, const QString& arrival) override;
    int alarmRowCount() const override;
    void setSignalBar(int position) override;
    void showLogModel(log::LogTableModel& model) override;
    void setObjectWord(const QString& word) override;
    void showMonitorEntry(const QByteArray& buffer) override;
    void showSoundNote(const QString& text) override;
    void showList(const QString& title, const QString& path) override;
    void openDocument(const QString& path) override;
    void showLogin(const QList<QByteArray>& accounts, bool logReady) override;
    void showModemInitialisation() override;
    void setGauge(int percent) override;
    void setResultLine(const QString& text) override;
    void closeModalWindows() override;
    void showReports() override;
    // ControlPanelView: the control panel window, once attached.
    QString armingText() const override;
    void fill(const ControlPanelData& data) override;
    // CallPanelView: GroupBox1 and the list window.
    void setCallerName(const QString& name) override;
    void setCallerNumber(const QString& number) override;
    void setCallStatus(const QString& status, CallStatusColour colour) override;
    void setCallPanelVisible(bool visible) override;
    void setMissedListButtonVisible(bool visible) override;
    void showCallList(const QString& title, const QString& path) override;

    void buildPopupMenu();
    void onLoginRequested(const QByteArray& name, const QByteArray& password);

    Ui::TForm1 ui_;
    std::unique_ptr<StatusPanels> panels_;
    std::unique_ptr<TreeObjectRows> objectRows_;
    std::unique_ptr<Station> station_;
    LineIndicators* lineIndicators_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    StationWindows windows_;
    ModalRunner modalRunner_ = [](QDialog& dialog) {
        dialog.exec();
    };
    bool shown_ = false;
};

} // namespace tirvon::station
