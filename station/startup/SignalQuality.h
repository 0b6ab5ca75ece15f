#pragma once

#include <QByteArray>

namespace tirvon::station {

// A reply to "at+csq" read for the signal bar (csq).
struct SignalQualityReading {
    enum class Kind {
        None,       // not a complete +CSQ reply: the bar keeps its position
        Position,   // the bar's new position
        Unreadable, // the value is not a decimal number
    };
    Kind kind = Kind::None;
    int barPosition = 0; // 100 - value, within the bar's range 0..100
    QByteArray text;     // what stood where the value belongs
};

SignalQualityReading readSignalQuality(const QByteArray& reply);

} // namespace tirvon::station
