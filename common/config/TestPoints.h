#pragma once

#include <QByteArray>
#include <array>

namespace tirvon::config {

// The four test-message points of a controller (lTTIME): per point a day kind
// (0 inactive, 1 every day), "." and the time hh:mm; joined by blanks, or "OFF"
// when every point is inactive.
struct TestPoint {
    int dayKind = 0;             // 0 inactive, 1 every day
    QByteArray time = "00:00";   // hh:mm
    bool dayKindReadable = true; // false when the stored day kind was not a digit
    bool operator==(const TestPoint&) const = default;
};
using TestPoints = std::array<TestPoint, 4>;

QByteArray formatTestPoints(const TestPoints& points);
TestPoints parseTestPoints(const QByteArray& value);

} // namespace tirvon::config
