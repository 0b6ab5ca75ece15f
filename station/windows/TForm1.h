#pragma once

#include "ui_TForm1.h"

#include "ini/IniFile.h"
#include "main/StatusPanels.h"
#include "modem/ModemExchange.h"
#include "polling/PollingCycle.h"
#include "serial/ModemLink.h"
#include "ui/Prompt.h"

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
class TForm1 : public QMainWindow, private modem::ExchangeView, private PollingWork {
    Q_OBJECT
public:
    TForm1(QString programDirectory, ui::Prompt& prompt, std::unique_ptr<serial::ModemLink> link,
           std::unique_ptr<modem::EventPump> pump, QWidget* parent = nullptr);
    ~TForm1() override;

    void attachWindows(const StationWindows& windows);

    Ui::TForm1& ui() { return ui_; }
    StatusPanels& statusPanels() { return *panels_; }
    modem::ModemExchange& exchange() { return *exchange_; }
    PollingCycle& polling() { return polling_; }
    QTimer& timer1() { return timer1_; }
    QMenu& popupMenu1() { return *popupMenu1_; }
    const QString& programDirectory() const { return programDirectory_; }
    const QString& currentOperator() const { return currentOperator_; }
    const QString& objectWord() const { return objectWord_; }

    // Handlers and work routines of the main window.
    void FormShow();
    void Timer1Timer();
    void Timer2Timer() { exchange_->onWatchdogTick(); }
    void ComPortRxChar(qint64 count) { exchange_->onCharactersReceived(count); }
    void ComPortError();
    QByteArray SendCommand(const QByteArray& command) { return exchange_->sendCommand(command); }
    void Delay(unsigned ms) { exchange_->delay(ms); }
    void NotList(const QString& fileName, const QByteArray& line);
    void N11Click() { close(); }
    void N15Click();
    void N32Click();

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
    void csq(const QByteArray& reply) override;

    void buildPopupMenu();
    void applyObjectWord(const QByteArray& word);
    void fillObjectList();
    bool openPort();
    void endProgram(int exitCode);

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
    QString currentOperator_;
    QString objectWord_;
    bool shown_ = false;
    bool ending_ = false;
    bool lineErrorShown_ = false;
};

} // namespace tirvon::station
