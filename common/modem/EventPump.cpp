#include "modem/EventPump.h"

#include <QDeadlineTimer>

namespace tirvon::modem {

QtEventPump::QtEventPump() {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::waitForEvents() {
    loop_.processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventPump::waitUntil(qint64 deadlineMs) {
    const qint64 left = deadlineMs - nowMs();
    if (left <= 0) {
        processPending();
        return;
    }
    // The timer's own event ends the sleep at the deadline if nothing else does.
    wakeUp_.start(int(qMin<qint64>(left, std::numeric_limits<int>::max())));
    loop_.processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventPump::processPending() {
    loop_.processEvents(QEventLoop::AllEvents);
}

qint64 QtEventPump::nowMs() const {
    return QDeadlineTimer::current().deadline();
}

} // namespace tirvon::modem
