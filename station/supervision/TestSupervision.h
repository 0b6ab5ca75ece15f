#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QTime>
#include <optional>
#include <vector>

namespace tirvon::station {

// A test-message point of an object that passed without its test report.
struct MissedTest {
    QByteArray section;
    QByteArray object; // the object's name
    QTime point;
    bool operator==(const MissedTest&) const = default;
};

// Supervision of the controllers' test messages. An object whose TALARM reads
// true expects a test report around each active point of its lTTIME, every day:
// from TNOTTEST minutes before the point to TNOTTEST minutes after it. A point
// whose window closes without one is missed, once. Supervision starts for an
// object with its first report since the station started; windows that closed
// before the first check, or while the clock jumped, are not judged. The
// settings are read afresh at each check; what was seen lives in memory only.
class TestSupervision {
public:
    // The tolerance a TNOTTEST value gives, in minutes: its number, at least 1
    // (for "00" and text that is no number) and at most 12 hours.
    static int toleranceMinutes(const QByteArray& value);
    // A wall-clock step larger than this between two checks, or any step back,
    // is the clock being set rather than time passing.
    static constexpr qint64 ClockJumpSeconds = 5 * 60;

    explicit TestSupervision(const ini::IniFile& file) : file_(file) {}

    // A report of an object was handled at this time; testReport for the report
    // that answers a test point.
    void reportHandled(const QByteArray& section, bool testReport, const QDateTime& at);
    // The points whose window closed since the last check without a test report.
    std::vector<MissedTest> check(const QDateTime& now);

private:
    struct Watch {
        std::vector<QDateTime> tests; // the latest test reports, oldest first
        QSet<QDateTime> judged;       // point times already judged
    };
    bool testWithin(const Watch& watch, const QDateTime& from, const QDateTime& to) const;

    static constexpr int KeptTests = 64;

    const ini::IniFile& file_;
    std::optional<QDateTime> lastCheck_;
    QHash<QByteArray, Watch> watched_;
};

} // namespace tirvon::station
