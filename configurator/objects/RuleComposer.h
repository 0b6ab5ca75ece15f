#pragma once

#include "ini/IniDocument.h"
#include "rules/RuleRecord.h"

#include <QByteArray>
#include <QList>
#include <array>

// The rules of the event tab: which source and target lists it offers, what
// the state controls show for a source, how the controls make a record and how
// a record is shown in them again. Texts are bytes in code page 1251.
namespace tirvon::configurator {

// Positions of the event source list.
namespace source {
inline constexpr int FirstInput = 0; // inputs 1..8 at 0..7
inline constexpr int Battery = 8;
inline constexpr int Power = 9;
inline constexpr int Relay1 = 10; // relay 2 at 11
inline constexpr int Output3 = 12;
inline constexpr int Output4 = 13;
inline constexpr int Output1 = 14;
inline constexpr int Output2 = 15;
inline constexpr int Output5 = 16;
inline constexpr int Time = 17;
inline constexpr int Count = 18;
} // namespace source
inline constexpr int TargetCount = 7;

struct RuleLists {
    // Entries of the source list and the source word each puts into a trigger.
    std::array<QByteArray, source::Count> sources;
    std::array<QByteArray, source::Count> sourceWords;
    // Entries of the target list (relays 1..2, outputs 1..5) and their short names.
    std::array<QByteArray, TargetCount> targets;
    std::array<QByteArray, TargetCount> targetWords;
};

// Display and short names from BaseStation, with the configurator's defaults.
RuleLists ruleLists(const ini::IniDocument& doc);

// What the state controls show once a source is chosen.
struct SourceView {
    bool stateVisible = true;
    QList<QByteArray> states; // entries of the state list
    QByteArray state;         // its text
    bool alarmEnabled = false;
    bool timeVisible = false;
};
// Every test that holds for the source text applies, in the order inputs,
// relays and outputs, battery, power, time; the view starts from the current
// one with an empty state list.
SourceView sourceView(const RuleLists& lists, const QByteArray& sourceText, SourceView current);

// The controls as a record is built from them.
struct RuleControls {
    bool alarm = false; // ticked and enabled
    QByteArray source;
    bool stateVisible = true;
    QByteArray state;
    int hours = 0, minutes = 0, seconds = 0;
    QByteArray target;
    QByteArray targetState;
    bool confirm = false;
    bool active = false;
    QByteArray description;
};
rules::RuleRecord buildRule(const RuleLists& lists, const RuleControls& controls);

// A record as the controls show it again. Index -1: that list keeps its choice.
struct ShownRule {
    bool alarm = false;
    bool confirm = false;
    std::optional<bool> active; // unchanged for a flag other than "1" and "0"
    int source = -1;
    QByteArray state; // for a source other than the time
    int hours = 0, minutes = 0, seconds = 0;
    int target = -1;
    QByteArray targetState;
    QByteArray description;
};
ShownRule showRule(const RuleLists& lists, const rules::RuleRecord& record);

// "Меньше " in front of a battery value.
QByteArray lessThan();

} // namespace tirvon::configurator
