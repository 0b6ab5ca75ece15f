#include "modem/ModemExchange.h"

#include "modem/ReplyLines.h"

namespace tirvon::modem {

ModemExchange::ModemExchange(serial::ModemLink& link, ExchangeView& view, EventPump& pump,
                             QObject* parent)
    : QObject(parent), link_(link), view_(view), pump_(pump) {
    watchdog_.setObjectName(QStringLiteral("Timer2"));
    watchdog_.setInterval(WatchdogIntervalMs);
    connect(&watchdog_, &QTimer::timeout, this, &ModemExchange::onWatchdogTick);
    quiet_.setSingleShot(true);
    quiet_.setInterval(SettleMs);
    connect(&quiet_, &QTimer::timeout, this, &ModemExchange::onLineQuiet);
    connect(&link_, &serial::ModemLink::charactersReceived, this,
            &ModemExchange::onCharactersReceived);
}

void ModemExchange::reset() {
    buffer_.clear();
    busy_ = false;
    smsWork_ = false;
    watchdogCount_ = 0;
    watchdog_.stop();
    quiet_.stop();
}

void ModemExchange::shutDown() {
    shutDown_ = true;
    busy_ = false;
    smsWork_ = false;
    watchdog_.stop();
    quiet_.stop();
}

QByteArray ModemExchange::takeBuffer() {
    QByteArray reply;
    reply.swap(buffer_);
    return reply;
}

QByteArray ModemExchange::takeReply(qsizetype end) {
    if (end >= buffer_.size())
        return takeBuffer();
    QByteArray reply = buffer_.left(end);
    buffer_.remove(0, end);
    return reply;
}

bool ModemExchange::settled() const {
    return pump_.nowMs() - lastReceivedMs_ >= SettleMs;
}

QByteArray ModemExchange::sendCommand(const QByteArray& command) {
    if (shutDown_)
        return {};
    if (settled())
        takeCall(); // a call that rang just before this command
    busy_ = true;
    watchdogCount_ = 0;
    watchdog_.start();
    // Unsolicited text already in the buffer stays in front of the reply.
    link_.write(command + "\r\n");

    std::optional<FinalResult> result;
    for (;;) {
        result = closingFinalResult(buffer_);
        if (result && settled())
            break;
        if (!busy_ || shutDown_) {
            result.reset(); // the watchdog gave up, a nested exchange took the reply, or the end
            break;
        }
        if (result)
            pump_.waitUntil(lastReceivedMs_ + SettleMs);
        else
            pump_.waitForEvents();
    }
    watchdog_.stop();
    QByteArray reply = result ? takeReply(result->end) : takeBuffer();
    busy_ = false;
    if (result)
        view_.exchangeEnded(result->ok ? ExchangeOutcome::Completed : ExchangeOutcome::Failed);
    // What came after the final result has settled too: a call among it rings now.
    if (!buffer_.isEmpty())
        takeCall();
    return reply;
}

void ModemExchange::writeRaw(const QByteArray& bytes) {
    if (!shutDown_)
        link_.write(bytes);
}

void ModemExchange::delay(unsigned ms) {
    const qint64 deadline = pump_.nowMs() + ms;
    pump_.processPending();
    while (!shutDown_ && pump_.nowMs() < deadline)
        pump_.waitUntil(deadline);
    if (!shutDown_)
        pump_.processPending();
}

void ModemExchange::onCharactersReceived(qint64 count) {
    QByteArray received = link_.read(count);
    received.removeIf([](char c) { return c == '\0'; });
    if (received.isEmpty())
        return;
    buffer_ += received;
    lastReceivedMs_ = pump_.nowMs();
    view_.monitorEntry(buffer_);
    if (!shutDown_)
        quiet_.start();
}

void ModemExchange::onLineQuiet() {
    if (!busy_ && settled())
        takeCall();
}

void ModemExchange::takeCall() {
    if (shutDown_)
        return;
    const std::optional<IncomingCall> call = closingIncomingCall(buffer_);
    if (!call)
        return;
    // The call's lines leave the buffer before the call is handed over: the
    // call handling may itself talk to the modem, and a notification that
    // arrives meanwhile must neither see this call again nor lose what it brings.
    buffer_.truncate(call->start);
    if (handover_)
        handover_->inccall(call->callerText);
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
