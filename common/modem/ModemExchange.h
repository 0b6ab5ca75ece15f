#pragma once

#include "modem/EventPump.h"
#include "serial/ModemLink.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace tirvon::modem {

// How the last exchange ended, for the station's status panel.
enum class ExchangeOutcome {
    Completed, // the reply ended with "OK"
    Failed,    // the reply ended with an error result
    TimedOut,  // the watchdog gave up
};

class ExchangeView {
public:
    virtual ~ExchangeView() = default;
    virtual void exchangeEnded(ExchangeOutcome outcome) = 0;
    // One monitor entry per notification of received characters: the whole
    // reply buffer as it stands.
    virtual void monitorEntry(const QByteArray& buffer) = 0;
};

// Receives the caller text ("+CLIP: " and the quoted number) of an incoming call.
class CallHandover {
public:
    virtual ~CallHandover() = default;
    virtual void inccall(const QByteArray& callerText) = 0;
};

// The one path by which every command goes to the modem and every reply comes
// back: the modem reply buffer, the exchange-busy flag, the watchdog (Timer2) and
// the SMS-work flag that the watchdog clears. Everything runs on the GUI thread.
//
// The received text is read as whole lines. An exchange ends when its last line
// is a final result and the line has then been quiet for SettleMs; an incoming
// call is taken when the text ends with its RING and +CLIP lines and the line is
// quiet. A message text inside a listing may hold "OK", "ERROR" or a call's
// lines: the rest of the listing follows it at once, so it never ends the
// exchange nor rings.
class ModemExchange : public QObject {
    Q_OBJECT
public:
    static constexpr int WatchdogIntervalMs = 1000;
    static constexpr int WatchdogTicksAllowed = 10; // gives up on the 11th tick
    // Quiet time after a final result or a call: 192 characters at 19200 baud,
    // far longer than any pause of a modem inside one reply.
    static constexpr int SettleMs = 100;

    ModemExchange(serial::ModemLink& link, ExchangeView& view, EventPump& pump,
                  QObject* parent = nullptr);

    void setCallHandover(CallHandover* handover) { handover_ = handover; }

    // SendCommand: writes the command and CR LF, then waits until the received
    // text ends with a final result and has settled, or the watchdog gives up.
    // Returns the buffer up to and including the final result; what came after
    // it (unsolicited lines, a call) stays for the next reply. Never raises for
    // modem errors.
    QByteArray sendCommand(const QByteArray& command);
    // Writes bytes as they are, outside an exchange.
    void writeRaw(const QByteArray& bytes);
    // Delay: returns after about ms milliseconds, handling events meanwhile.
    void delay(unsigned ms);

    // ComPortRxChar: count characters are waiting on the link. NUL bytes are
    // dropped.
    void onCharactersReceived(qint64 count);
    // Timer2Timer.
    void onWatchdogTick();
    // The line has been quiet for SettleMs since the last characters: an
    // incoming call that the text ends with is handed over, unless an exchange
    // waits for its reply.
    void onLineQuiet();

    // Start-up: empty buffer, both flags clear.
    void reset();
    // The program ends: every wait returns at once, now and later, and nothing
    // more goes to the modem.
    void shutDown();
    bool isShutDown() const { return shutDown_; }

    const QByteArray& buffer() const { return buffer_; }
    bool busy() const { return busy_; }
    bool smsWork() const { return smsWork_; }
    void setSmsWork(bool on) { smsWork_ = on; }
    int watchdogCount() const { return watchdogCount_; }
    QTimer& watchdogTimer() { return watchdog_; }
    QTimer& quietTimer() { return quiet_; }

private:
    QByteArray takeBuffer();
    QByteArray takeReply(qsizetype end);
    bool settled() const;
    void takeCall();

    serial::ModemLink& link_;
    ExchangeView& view_;
    EventPump& pump_;
    CallHandover* handover_ = nullptr;
    QTimer watchdog_;
    QTimer quiet_;
    QByteArray buffer_;
    qint64 lastReceivedMs_ = 0;
    bool busy_ = false;
    bool smsWork_ = false;
    bool shutDown_ = false;
    int watchdogCount_ = 0;
};

// Holds the SMS-work flag for one piece of SMS work and clears it on every way
// out, so no failure can leave the polling stopped.
class SmsWorkScope {
public:
    explicit SmsWorkScope(ModemExchange& exchange) : exchange_(exchange) {
        exchange_.setSmsWork(true);
    }
    ~SmsWorkScope() { exchange_.setSmsWork(false); }
    SmsWorkScope(const SmsWorkScope&) = delete;
    SmsWorkScope& operator=(const SmsWorkScope&) = delete;

private:
    ModemExchange& exchange_;
};

// Holds a flag of the station's for one piece of work and clears it on every
// way out.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace tirvon::modem
