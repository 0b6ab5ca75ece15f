#include "config/TestPoints.h"

#include "text/Cp1251.h"

namespace tirvon::config {

QByteArray formatTestPoints(const TestPoints& points) {
    bool anyActive = false;
    QByteArray out;
    for (const TestPoint& p : points) {
        anyActive = anyActive || p.dayKind != 0;
        if (!out.isEmpty())
            out += ' ';
        out += QByteArray::number(p.dayKind) + "." + p.time;
    }
    return anyActive ? out : QByteArray("OFF");
}

TestPoints parseTestPoints(const QByteArray& value) {
    TestPoints points{};
    if (text::pos("OFF", value) > 0)
        return points;
    QByteArray rest = value;
    for (TestPoint& p : points) {
        const char kind = rest.isEmpty() ? '\0' : rest.front();
        p.dayKindReadable = kind >= '0' && kind <= '9';
        // Any digit above 1 means every day; a non-digit shows as inactive.
        p.dayKind = p.dayKindReadable && kind != '0' ? 1 : 0;
        p.time = text::copy(rest, 3, 5);
        text::remove(rest, 1, 8);
    }
    return points;
}

} // namespace tirvon::config
