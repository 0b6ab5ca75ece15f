#pragma once

#include "ini/IniDocument.h"

#include <QByteArray>
#include <QList>
#include <QTime>

namespace tirvon::rules {

// One event rule of an object: trigger "::" command "::" active flag "::"
// description (everything after the third separator).
struct RuleRecord {
    QByteArray trigger;
    QByteArray command;
    QByteArray activeFlag;
    QByteArray description;

    // Only the flag "1" makes a rule active.
    bool active() const { return activeFlag == "1"; }
    // A rule matches a rule event text that holds its trigger; an empty trigger
    // never matches.
    bool matches(const QByteArray& ruleEventText) const;

    // The record's stored text, and back: parse(format()) gives the fields
    // again whenever trigger, command and flag hold no "::" and do not end in
    // ":" (a closing colon and the separator read as a separator and a colon
    // that opens the next field).
    static RuleRecord parse(const QByteArray& value);
    QByteArray format() const;
    bool operator==(const RuleRecord&) const = default;
};

inline constexpr int FirstRuleKey = 3;
inline constexpr int LastStationRuleKey = 502;
inline constexpr int LastConfiguratorRuleKey = 999;

// The rules the station runs: Action3 upward to the first absent or empty key,
// Action502 at the latest, in key order.
QList<RuleRecord> stationRules(const ini::IniDocument& doc, const QByteArray& section);

// The records the configurator lists: every key Action3..Action999 that exists,
// in key order, gaps skipped.
QList<QByteArray> configuratorRules(const ini::IniDocument& doc, const QByteArray& section);

// Writes the records as Action3, Action4, ... without gaps; nothing for none.
void writeRules(ini::IniDocument& doc, const QByteArray& section, const QList<QByteArray>& records);

// The time of day of a time trigger ("_TIME hh:mm:ss"); invalid otherwise.
QTime timeTrigger(const QByteArray& trigger);

} // namespace tirvon::rules
