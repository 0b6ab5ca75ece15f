#pragma once

#include "modem/ModemExchange.h"

#include <QByteArray>
#include <QString>

namespace tirvon::station {

// The words a modem sends when it has just started.
bool isModemStartLine(const QByteArray& line);
// A reply to command shows that the modem restarted: one of its lines before
// the command's echo (all of it when there is no echo) is a start word. Text
// after the echo is the modem's answer, message texts included, and never
// counts.
bool showsModemStart(const QByteArray& reply, const QByteArray& command);

// When the modem must be initialised again, and how long to wait between
// attempts that fail: after three abandoned exchanges in a row (a modem gone
// silent), at once when a reply shows that the modem restarted, after three
// listings in a row refused with an error (a modem that came back in another
// mode), and at once when the port was lost.
class ModemRecovery {
public:
    enum class Cause { None, Silent, Restarted, Refused, PortLost };
    static constexpr int AbandonedInARow = 3;
    static constexpr int RefusedInARow = 3;
    static constexpr int FirstPauseMs = 2000;
    static constexpr int LongestPauseMs = 60000;

    void exchangeEnded(modem::ExchangeOutcome outcome);
    // A reply the polling got for command.
    void replyReceived(const QByteArray& command, const QByteArray& reply);
    void portLost() { cause_ = Cause::PortLost; }

    // What calls for an initialisation now; None when nothing does.
    Cause due() const { return cause_; }
    static QString describe(Cause cause);

    // An attempt failed: the pause before the next one, doubled each time up to
    // a minute.
    int attemptFailed();
    // The modem answers again: everything starts afresh.
    void recovered();
    bool recovering() const { return cause_ != Cause::None; }

private:
    int abandoned_ = 0;
    int refused_ = 0;
    int failures_ = 0;
    Cause cause_ = Cause::None;
};

} // namespace tirvon::station
