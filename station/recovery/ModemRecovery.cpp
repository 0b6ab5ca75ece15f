#include "recovery/ModemRecovery.h"

#include "modem/ReplyLines.h"

#include <algorithm>

namespace tirvon::station {

bool isModemStartLine(const QByteArray& line) {
    return line == "RDY" || line == "Call Ready" || line == "SMS Ready" || line == "^SYSSTART" ||
           line == "+PBREADY";
}

bool showsModemStart(const QByteArray& reply, const QByteArray& command) {
    qsizetype echo = command.isEmpty() ? -1 : reply.indexOf(command + '\r');
    const QByteArray before = echo < 0 ? reply : reply.left(echo);
    for (const QByteArray& line : before.split('\n')) {
        if (isModemStartLine(line.trimmed()))
            return true;
    }
    return false;
}

void ModemRecovery::exchangeEnded(modem::ExchangeOutcome outcome) {
    if (outcome != modem::ExchangeOutcome::TimedOut) {
        abandoned_ = 0;
        return;
    }
    if (++abandoned_ >= AbandonedInARow && cause_ == Cause::None)
        cause_ = Cause::Silent;
}

void ModemRecovery::replyReceived(const QByteArray& command, const QByteArray& reply) {
    if (showsModemStart(reply, command)) {
        cause_ = Cause::Restarted;
        return;
    }
    if (!command.startsWith("at+cmgl"))
        return;
    const auto result = modem::closingFinalResult(reply);
    if (result && !result->ok) {
        if (++refused_ >= RefusedInARow && cause_ == Cause::None)
            cause_ = Cause::Refused;
    } else if (result) {
        refused_ = 0;
    }
}

QString ModemRecovery::describe(Cause cause) {
    switch (cause) {
    case Cause::Silent:
        return QStringLiteral("модем не отвечает");
    case Cause::Restarted:
        return QStringLiteral("модем перезапустился");
    case Cause::Refused:
        return QStringLiteral("модем отказывает в чтении сообщений");
    case Cause::PortLost:
        return QStringLiteral("порт модема потерян");
    case Cause::None:
        break;
    }
    return {};
}

int ModemRecovery::attemptFailed() {
    const int pause =
        int(std::min<qint64>(qint64(FirstPauseMs) << std::min(failures_, 10), LongestPauseMs));
    ++failures_;
    return pause;
}

void ModemRecovery::recovered() {
    *this = ModemRecovery{};
}

} // namespace tirvon::station
