#include "rules/RuleRunner.h"

#include "commands/Commands.h"
#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "queue/OutgoingQueue.h"
#include "rules/RuleRecord.h"
#include "text/Cp1251.h"
#include "text/DateStamps.h"

namespace tirvon::station {

using namespace tirvon::config;

RuleRunner::RuleRunner(ini::IniFile& file, OutgoingQueue& queue, PlainEventLog log,
                       std::function<QDateTime()> clock)
    : file_(file), queue_(queue), log_(std::move(log)), clock_(std::move(clock)),
      lastCheck_(clock_()) {}

void RuleRunner::run(const QByteArray& section, const QByteArray& command,
                     const QByteArray& description) {
    const auto doc = file_.snapshot();
    const QByteArray password = doc->value(section, key::Pass).value_or("not");
    queue_.postsms(doc->value(section, key::Phone).value_or("NoPhone"),
                   commands::commandText(password, command));
    const QDateTime now = clock_();
    const QByteArray time = now.toString(text::LogTimeFormat).toLatin1();
    log_(doc->value(section, key::Name).value_or("None"),
         now.toString(text::LogDateFormat).toLatin1(), time, time,
         text::cp("Выполнение События: ") + description);
}

void RuleRunner::Action(const QByteArray& section, const QByteArray& ruleEventText) {
    const auto doc = file_.snapshot();
    if (!doc->hasKey(section, key::Pass))
        return;
    // Only a rule's own trigger runs it: a line that merely mentions "_TIME"
    // runs nothing more.
    for (const rules::RuleRecord& rule : rules::stationRules(*doc, section)) {
        if (rule.active() && rule.matches(ruleEventText))
            run(section, rule.command, rule.description);
    }
}

void RuleRunner::checkTimeRules() {
    const QDateTime now = clock_();
    if (now.date() != ranOn_) {
        ranOn_ = now.date();
        ranToday_.clear();
    }
    const QDateTime since = lastCheck_;
    lastCheck_ = now;
    if (now <= since)
        return;
    for (const TimeRule& rule : timeRules()) {
        // The moment of today (or of yesterday, across midnight) in (since, now].
        QDateTime due(now.date(), rule.at);
        if (due > now)
            due = due.addDays(-1);
        const QByteArray ran = rule.section + "/" + QByteArray::number(rule.index);
        if (due <= since || (due.date() == now.date() && ranToday_.contains(ran)))
            continue;
        if (due.date() == now.date())
            ranToday_.insert(ran);
        run(rule.section, rule.command, rule.description);
    }
}

const QList<RuleRunner::TimeRule>& RuleRunner::timeRules() {
    const auto doc = file_.snapshot();
    if (doc == scanned_)
        return timeRules_;
    scanned_ = doc;
    timeRules_.clear();
    for (const int n : ObjectDirectory(file_).objectNumbers()) {
        const QByteArray& section = objectSection(n);
        if (!doc->hasKey(section, key::Pass))
            continue;
        const QList<rules::RuleRecord> rules = rules::stationRules(*doc, section);
        for (int i = 0; i < rules.size(); ++i) {
            const QTime at = rules::timeTrigger(rules[i].trigger);
            if (rules[i].active() && at.isValid())
                timeRules_.append({section, i, at, rules[i].command, rules[i].description});
        }
    }
    return timeRules_;
}

} // namespace tirvon::station
