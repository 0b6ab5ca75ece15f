#include "supervision/TestSupervision.h"

#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "config/TestPoints.h"
#include "text/DateStamps.h"

#include <algorithm>

namespace tirvon::station {

int TestSupervision::toleranceMinutes(const QByteArray& value) {
    return std::clamp(ini::parseInteger(value.trimmed()).value_or(0), 1, 12 * 60);
}

void TestSupervision::reportHandled(const QByteArray& section, bool testReport,
                                    const QDateTime& at) {
    Watch& watch = watched_[section];
    if (!testReport)
        return;
    watch.tests.push_back(at);
    if (watch.tests.size() > size_t(KeptTests))
        watch.tests.erase(watch.tests.begin());
}

bool TestSupervision::testWithin(const Watch& watch, const QDateTime& from,
                                 const QDateTime& to) const {
    return std::any_of(watch.tests.begin(), watch.tests.end(),
                       [&](const QDateTime& t) { return from <= t && t <= to; });
}

std::vector<MissedTest> TestSupervision::check(const QDateTime& now) {
    std::vector<MissedTest> missed;
    // Windows that closed after `from` and by `now` are judged now.
    const QDateTime from = lastCheck_.value_or(now);
    lastCheck_ = now;
    if (now <= from || from.secsTo(now) > ClockJumpSeconds || watched_.isEmpty())
        return missed;
    using namespace config;
    const auto doc = file_.snapshot();
    for (const int n : ObjectDirectory(file_).objectNumbers()) {
        const QByteArray& section = objectSection(n);
        const auto watched = watched_.find(section);
        if (watched == watched_.end())
            continue; // no report since the start
        if (ini::readInteger(*doc, section, key::TALARM, 0) == 0)
            continue;
        const int tolerance = toleranceMinutes(doc->value(section, key::TNOTTEST).value_or("05"));
        const TestPoints points = parseTestPoints(doc->value(section, key::lTTIME).value_or("OFF"));
        Watch& watch = *watched;
        for (const TestPoint& p : points) {
            const QTime time =
                QTime::fromString(QString::fromLatin1(p.time), text::PointTimeFormat);
            if (p.dayKind < 1 || !time.isValid())
                continue;
            // The window of yesterday's point may close today, after midnight.
            for (const QDate day : {now.date().addDays(-1), now.date()}) {
                const QDateTime point(day, time);
                const QDateTime closes = point.addSecs(tolerance * 60);
                if (closes <= from || closes > now || watch.judged.contains(point))
                    continue;
                watch.judged.insert(point);
                if (!testWithin(watch, point.addSecs(-tolerance * 60), closes))
                    missed.push_back(
                        {section, doc->value(section, key::Name).value_or("None"), time});
            }
        }
        // Points judged more than two days ago cannot come round again.
        const QDateTime old = now.addDays(-2);
        watch.judged.removeIf([&](const QDateTime& t) { return t < old; });
    }
    return missed;
}

} // namespace tirvon::station
