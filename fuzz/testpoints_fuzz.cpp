// The test-message points of a controller on arbitrary values: the INI file is
// edited by hand. Whatever the value, the four points read safely: a day kind of
// 0 or 1, a time of at most five bytes. Points with well-formed times write and
// read back as they are, or as four inactive points once written as "OFF".
#include "FuzzCheck.h"
#include "config/TestPoints.h"

#include <cstdint>

using tirvon::config::TestPoint;
using tirvon::config::TestPoints;

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// hh:mm as the configurator writes it (any two digits each).
bool wellFormed(const QByteArray& time) {
    return time.size() == 5 && isDigit(time[0]) && isDigit(time[1]) && time[2] == ':' &&
           isDigit(time[3]) && isDigit(time[4]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray value(reinterpret_cast<const char*>(data), qsizetype(size));
    TestPoints points = tirvon::config::parseTestPoints(value);
    // "OFF" anywhere: four inactive points.
    const bool off = value.contains("OFF");
    bool timesWellFormed = true;
    bool anyActive = false;
    for (TestPoint& p : points) {
        FUZZ_CHECK(p.dayKind == 0 || p.dayKind == 1);
        FUZZ_CHECK(p.dayKindReadable || p.dayKind == 0);
        FUZZ_CHECK(off ? p == TestPoint{} : p.time.size() <= 5 && value.contains(p.time));
        timesWellFormed = timesWellFormed && wellFormed(p.time);
        anyActive = anyActive || p.dayKind != 0;
        // What the configurator writes back is a day kind it knows.
        p.dayKindReadable = true;
    }
    if (!timesWellFormed)
        return 0;
    const QByteArray written = tirvon::config::formatTestPoints(points);
    FUZZ_CHECK(anyActive ? written.size() == 31 : written == "OFF");
    const TestPoints read = tirvon::config::parseTestPoints(written);
    FUZZ_CHECK(anyActive ? read == points : read == TestPoints{});
    return 0;
}
