#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <functional>

namespace tirvon::station {

class OutgoingQueue;

// The object's event rules at work (Action): every active rule whose trigger
// stands in a report line's rule event text queues its command to the object's
// controller and is logged. Rules are read afresh for every line. An object
// without a Pass key runs no rules.
//
// Time rules ("_TIME hh:mm:ss") also run by the clock: once a day, when the
// local time has passed the rule's time of day, checked at every polling tick.
// A time that passed while the station was not running is not made up for.
class RuleRunner {
public:
    // addtables for a plain event: object, date, arrival, sending, log text.
    using PlainEventLog = std::function<void(const QByteArray& object, const QByteArray& date,
                                             const QByteArray& arrival, const QByteArray& sending,
                                             const QByteArray& logText)>;

    RuleRunner(ini::IniFile& file, OutgoingQueue& queue, PlainEventLog log,
               std::function<QDateTime()> clock);

    void Action(const QByteArray& section, const QByteArray& ruleEventText);

    // Monitoring starts: time rules count from now on.
    void startClock() { lastCheck_ = clock_(); }
    // Runs the time rules whose time of day came since the last check.
    void checkTimeRules();

private:
    struct TimeRule {
        QByteArray section;
        int index; // among the object's rules
        QTime at;
        QByteArray command;
        QByteArray description;
    };
    void run(const QByteArray& section, const QByteArray& command, const QByteArray& description);
    // The active time rules of every object that may run rules, read again
    // only when the file changed.
    const QList<TimeRule>& timeRules();

    ini::IniFile& file_;
    OutgoingQueue& queue_;
    PlainEventLog log_;
    std::function<QDateTime()> clock_;
    QDateTime lastCheck_;
    QDate ranOn_;
    QSet<QByteArray> ranToday_; // section + rule key of the time rules run today
    std::shared_ptr<const ini::IniDocument> scanned_;
    QList<TimeRule> timeRules_;
};

} // namespace tirvon::station
