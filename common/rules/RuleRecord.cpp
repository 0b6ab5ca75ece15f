#include "rules/RuleRecord.h"

#include "config/Schema.h"
#include "text/Cp1251.h"

#include <QTime>

namespace tirvon::rules {

using text::copy;
using text::pos;
using text::remove;

RuleRecord RuleRecord::parse(const QByteArray& value) {
    // Each field runs to its separator; a missing separator leaves the field
    // and every later one empty.
    RuleRecord record;
    QByteArray rest = value;
    QByteArray* fields[] = {&record.trigger, &record.command, &record.activeFlag};
    for (QByteArray* field : fields) {
        const qsizetype at = pos("::", rest);
        if (at == 0)
            return record;
        *field = copy(rest, 1, at - 1);
        remove(rest, 1, at + 1);
    }
    record.description = rest;
    return record;
}

QByteArray RuleRecord::format() const {
    return trigger + "::" + command + "::" + activeFlag + "::" + description;
}

bool RuleRecord::matches(const QByteArray& ruleEventText) const {
    return !trigger.isEmpty() && ruleEventText.contains(trigger);
}

QList<RuleRecord> stationRules(const ini::IniDocument& doc, const QByteArray& section) {
    QList<RuleRecord> rules;
    for (int n = FirstRuleKey; n <= LastStationRuleKey; ++n) {
        const QByteArray value = doc.value(section, config::key::action(n)).value_or("NoAct");
        if (value.isEmpty() || value == "NoAct")
            break;
        rules.append(RuleRecord::parse(value));
    }
    return rules;
}

QList<QByteArray> configuratorRules(const ini::IniDocument& doc, const QByteArray& section) {
    QList<QByteArray> records;
    for (int n = FirstRuleKey; n <= LastConfiguratorRuleKey; ++n) {
        if (std::optional<QByteArray> value = doc.value(section, config::key::action(n)))
            records.append(*value);
    }
    return records;
}

void writeRules(ini::IniDocument& doc, const QByteArray& section,
                const QList<QByteArray>& records) {
    for (qsizetype i = 0; i < records.size(); ++i)
        doc.setValue(section, config::key::action(int(i) + FirstRuleKey), records[i]);
}

QTime timeTrigger(const QByteArray& trigger) {
    if (!trigger.startsWith("_TIME ") || trigger.size() != 14)
        return {};
    return QTime::fromString(QString::fromLatin1(trigger.mid(6)), QStringLiteral("hh:mm:ss"));
}

} // namespace tirvon::rules
