#pragma once

#include <QEventLoop>
#include <QTimer>
#include <QtGlobal>

namespace tirvon::modem {

// The waits of the station that keep the user interface alive. Received
// characters, timer ticks and operator input are handled inside them, in the
// order they come. Tests replace the pump with one that plays a script.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Sleeps until at least one event arrives, and handles what has arrived.
    virtual void waitForEvents() = 0;
    // Sleeps until an event arrives or the monotonic clock reaches deadlineMs.
    virtual void waitUntil(qint64 deadlineMs) = 0;
    // Handles what is pending, without sleeping.
    virtual void processPending() = 0;
    // Monotonic milliseconds.
    virtual qint64 nowMs() const = 0;
};

// The pump of the running programs: a nested event loop that sleeps in the
// event dispatcher instead of spinning, so an idle wait costs no processor time.
class QtEventPump : public EventPump {
public:
    QtEventPump();
    void waitForEvents() override;
    void waitUntil(qint64 deadlineMs) override;
    void processPending() override;
    qint64 nowMs() const override;

private:
    QEventLoop loop_;
    QTimer wakeUp_;
};

} // namespace tirvon::modem
