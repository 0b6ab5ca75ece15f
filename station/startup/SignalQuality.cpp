#include "startup/SignalQuality.h"

#include "modem/ReplyLines.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace tirvon::station {

SignalQualityReading readSignalQuality(const QByteArray& received) {
    static const QByteArray header = "at+csq\r\r\n+CSQ:";
    if (received == "ERROR")
        return {};
    // A signal report of the modem's own ("^RSSI:14") may stand inside the reply.
    const QByteArray reply = modem::withoutUnsolicited(received);
    const qsizetype at = text::pos(header, reply);
    if (at == 0 || !reply.contains("\r\n\r\nOK\r\n"))
        return {};
    // From just after "+CSQ:" and its blank, which some modems leave out, to the
    // first comma of the reply.
    qsizetype from = at + qsizetype(header.size());
    if (text::copy(reply, from, 1) == " ")
        ++from;
    const QByteArray value = text::copy(reply, from, text::pos(",", reply) - from);
    bool digits = !value.isEmpty() && value.size() <= 9;
    for (const char c : value)
        digits = digits && c >= '0' && c <= '9';
    if (!digits)
        return {SignalQualityReading::Kind::Unreadable, 0, value};
    // The received signal strength 0..31 (99 unknown) shows as 100 - value.
    return {SignalQualityReading::Kind::Position, std::clamp(100 - value.toInt(), 0, 100), value};
}

} // namespace tirvon::station
