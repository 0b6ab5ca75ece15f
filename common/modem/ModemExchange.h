#pragma once

#include "modem/EventPump.h"
#include "serial/ModemLink.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

namespace tirvon::modem {

// How the last exchange ended, for the station's status panel.
enum class ExchangeOutcome {
    Completed, // "\r\nOK\r\n" arrived
    Failed,    // "ERROR" was seen
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
class ModemExchange : public QObject {
    Q_OBJECT
public:
    static constexpr int WatchdogIntervalMs = 1000;
    static constexpr int WatchdogTicksAllowed = 10; // gives up on the 11th tick

    ModemExchange(serial::ModemLink& link, ExchangeView& view, EventPump& pump,
                  QObject* parent = nullptr);

    void setCallHandover(CallHandover* handover) { handover_ = handover; }

    // SendCommand: writes the command and CR LF, then waits until the buffer
    // holds "\r\nOK\r\n" or "ERROR", or the watchdog gives up; returns the whole
    // buffer and empties it. Never raises for modem errors.
    QByteArray sendCommand(const QByteArray& command);
    // Writes bytes as they are, outside an exchange.
    void writeRaw(const QByteArray& bytes);
    // Delay: returns after about ms milliseconds, handling events meanwhile.
    void delay(unsigned ms);

    // ComPortRxChar: count characters are waiting on the link.
    void onCharactersReceived(qint64 count);
    // Timer2Timer.
    void onWatchdogTick();

    // Start-up: empty buffer, both flags clear.
    void reset();

    const QByteArray& buffer() const { return buffer_; }
    bool busy() const { return busy_; }
    bool smsWork() const { return smsWork_; }
    void setSmsWork(bool on) { smsWork_ = on; }
    int watchdogCount() const { return watchdogCount_; }
    QTimer& watchdogTimer() { return watchdog_; }

private:
    QByteArray takeBuffer();

    serial::ModemLink& link_;
    ExchangeView& view_;
    EventPump& pump_;
    CallHandover* handover_ = nullptr;
    QTimer watchdog_;
    QByteArray buffer_;
    bool busy_ = false;
    bool smsWork_ = false;
    int watchdogCount_ = 0;
};

} // namespace tirvon::modem
