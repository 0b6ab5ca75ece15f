#include "modem/ModemExchange.h"

#include "text/Cp1251.h"

namespace tirvon::modem {

namespace {
const QByteArray FinalOk = "\r\nOK\r\n";
const QByteArray ErrorMark = "ERROR";
const QByteArray Ring = "RING";
const QByteArray InternationalCaller = "\",145";
const QByteArray ClipPrefix = "+CLIP: ";
} // namespace

ModemExchange::ModemExchange(serial::ModemLink& link, ExchangeView& view, EventPump& pump,
                             QObject* parent)
    : QObject(parent), link_(link), view_(view), pump_(pump) {
    watchdog_.setObjectName(QStringLiteral("Timer2"));
    watchdog_.setInterval(WatchdogIntervalMs);
    connect(&watchdog_, &QTimer::timeout, this, &ModemExchange::onWatchdogTick);
    connect(&link_, &serial::ModemLink::charactersReceived, this,
            &ModemExchange::onCharactersReceived);
}

void ModemExchange::reset() {
    buffer_.clear();
    busy_ = false;
    smsWork_ = false;
    watchdogCount_ = 0;
    watchdog_.stop();
}

QByteArray ModemExchange::takeBuffer() {
    QByteArray reply;
    reply.swap(buffer_);
    return reply;
}

QByteArray ModemExchange::sendCommand(const QByteArray& command) {
    busy_ = true;
    watchdogCount_ = 0;
    watchdog_.start();
    // Unsolicited text already in the buffer stays in front of the reply.
    link_.write(command + "\r\n");

    bool completed = false;
    for (;;) {
        if (buffer_.contains(FinalOk)) {
            completed = true;
            break;
        }
        if (!busy_)
            break; // the watchdog gave up, or a nested exchange took the reply
        if (buffer_.contains(ErrorMark)) {
            view_.exchangeEnded(ExchangeOutcome::Failed);
            watchdog_.stop();
            QByteArray reply = takeBuffer();
            busy_ = false;
            return reply;
        }
        pump_.waitForEvents();
    }
    watchdog_.stop();
    QByteArray reply = takeBuffer();
    busy_ = false;
    if (completed)
        view_.exchangeEnded(ExchangeOutcome::Completed);
    return reply;
}

void ModemExchange::writeRaw(const QByteArray& bytes) {
    link_.write(bytes);
}

void ModemExchange::delay(unsigned ms) {
    const qint64 deadline = pump_.nowMs() + ms;
    pump_.processPending();
    while (pump_.nowMs() < deadline)
        pump_.waitUntil(deadline);
    pump_.processPending();
}

void ModemExchange::onCharactersReceived(qint64 count) {
    buffer_ += link_.read(count);
    view_.monitorEntry(buffer_);

    if (!buffer_.contains(Ring) || !buffer_.contains(InternationalCaller))
        return;
    const qsizetype clip = text::pos(ClipPrefix, buffer_);
    const qsizetype end = text::pos(",145", buffer_);
    const QByteArray callerText = text::copy(buffer_, clip, end - clip);
    // The buffer is emptied before the call is handed over: the call handling
    // may itself talk to the modem, and a notification that arrives meanwhile
    // must neither see this call again nor lose what it brings.
    buffer_.clear();
    if (handover_)
        handover_->inccall(callerText);
}

void ModemExchange::onWatchdogTick() {
    ++watchdogCount_;
    if (watchdogCount_ <= WatchdogTicksAllowed)
        return;
    smsWork_ = false;
    busy_ = false;
    watchdog_.stop();
    view_.exchangeEnded(ExchangeOutcome::TimedOut);
}

} // namespace tirvon::modem
