#include "objects/RuleComposer.h"

#include "config/ConfiguratorDefaults.h"
#include "config/Schema.h"
#include "text/Cp1251.h"

namespace tirvon::configurator {

using config::Signal;
using config::signalList;
using text::copy;
using text::cp;
using text::pos;

namespace {

// Signal list indexes (inputs 0..7, relays 8..9, outputs 10..14).
constexpr int Relay1Signal = 8;

// Where each signal stands in the source list: outputs 3 and 4 come before
// outputs 1 and 2.
constexpr std::array<int, 15> SourceOfSignal = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 14, 15, 12, 13, 16};

// The order in which a trigger collects its source words, and in which a shown
// trigger is searched: inputs, battery, power, relays, outputs 1..5.
constexpr std::array<int, 17> SignalOrder = {
    0, 1, 2, 3, 4, 5, 6, 7, source::Battery, source::Power, 10, 11, 14, 15, 12, 13, 16};

constexpr qsizetype Rest = 1 << 30;

QByteArray twoDigits(int n) {
    return QByteArray::number(n).rightJustified(2, '0');
}

bool isOneOf(const QByteArray& text, const QByteArray* first, int count) {
    for (int i = 0; i < count; ++i) {
        if (first[i] == text)
            return true;
    }
    return false;
}

} // namespace

QByteArray lessThan() {
    return cp("Меньше ");
}

RuleLists ruleLists(const ini::IniDocument& doc) {
    RuleLists lists;
    const auto& allSignals = signalList();
    for (size_t i = 0; i < allSignals.size(); ++i) {
        const Signal& s = allSignals[i];
        const QByteArray display =
            doc.value(config::BaseStation, s.displayNameKey())
                .value_or(config::configurator::defaultDisplayName(s, false));
        const QByteArray shortName = doc.value(config::BaseStation, s.shortNameKey())
                                         .value_or(config::configurator::defaultShortName(s));
        lists.sources[SourceOfSignal[i]] = display;
        lists.sourceWords[SourceOfSignal[i]] = shortName;
        if (int(i) >= Relay1Signal) {
            lists.targets[i - Relay1Signal] = display;
            lists.targetWords[i - Relay1Signal] = shortName;
        }
    }
    lists.sources[source::Battery] = cp("Заряд батареи");
    lists.sourceWords[source::Battery] = "BATTERY";
    lists.sources[source::Power] = cp("Внешнее питание");
    lists.sourceWords[source::Power] = "POWER";
    lists.sources[source::Time] = cp("ВРЕМЯ");
    lists.sourceWords[source::Time] = "_TIME";
    return lists;
}

SourceView sourceView(const RuleLists& lists, const QByteArray& sourceText, SourceView view) {
    view.states.clear();
    view.state.clear();
    auto show = [&](QList<QByteArray> states, bool alarm) {
        view.stateVisible = true;
        view.state = states.front();
        view.states = std::move(states);
        view.alarmEnabled = alarm;
        view.timeVisible = false;
    };
    if (isOneOf(sourceText, &lists.sources[source::FirstInput], 8))
        show({"ON", "OFF", "OPEN", "CLOSE"}, true);
    if (isOneOf(sourceText, &lists.sources[source::Relay1], 7))
        show({"ON", "OFF"}, false);
    if (sourceText == lists.sources[source::Battery]) {
        QList<QByteArray> levels;
        for (int n = 10; n <= 50; n += 10)
            levels.append(lessThan() + QByteArray::number(n) + "%");
        show(levels, false);
    }
    if (sourceText == lists.sources[source::Power])
        show({"OK", "FAULT"}, false);
    if (sourceText == lists.sources[source::Time]) {
        view.stateVisible = false;
        view.alarmEnabled = false;
        view.timeVisible = true;
    }
    return view;
}

rules::RuleRecord buildRule(const RuleLists& lists, const RuleControls& c) {
    QByteArray trigger = c.alarm ? "ALARM " : "";
    for (int p : SignalOrder) {
        if (c.source == lists.sources[p])
            trigger += lists.sourceWords[p] + " ";
    }
    if (c.source == lists.sources[source::Time])
        trigger += lists.sourceWords[source::Time] + " ";
    QByteArray value = c.stateVisible ? c.state
                                      : twoDigits(c.hours) + ":" + twoDigits(c.minutes) + ":" +
                                            twoDigits(c.seconds);
    if (c.source == lists.sources[source::Battery])
        text::remove(value, 1, lessThan().size());

    QByteArray command;
    for (int i = 0; i < TargetCount; ++i) {
        if (c.target == lists.targets[i])
            command += lists.targetWords[i] + " ";
    }
    command += c.targetState + (c.confirm ? " !" : "");
    return {trigger + value, command, c.active ? "1" : "0", c.description};
}

ShownRule showRule(const RuleLists& lists, const rules::RuleRecord& record) {
    ShownRule shown;
    shown.alarm = pos("ALARM", record.trigger) > 0;
    shown.confirm = pos("!", record.command) > 0;
    if (record.activeFlag == "1" || record.activeFlag == "0")
        shown.active = record.activeFlag == "1";
    for (int p : SignalOrder) {
        const QByteArray& word = lists.sourceWords[p];
        const qsizetype at = pos(word, record.trigger);
        if (at == 0)
            continue;
        shown.source = p;
        shown.state = copy(record.trigger, at + word.size() + 1, Rest);
        if (shown.state.contains('%'))
            shown.state.prepend(lessThan());
    }
    if (pos("_TIME", record.trigger) > 0) {
        shown.source = source::Time;
        shown.hours = copy(record.trigger, 7, 2).toInt();
        shown.minutes = copy(record.trigger, 10, 2).toInt();
        shown.seconds = copy(record.trigger, 13, 2).toInt();
    }
    QByteArray command = record.command;
    if (command.endsWith(" !"))
        command.chop(2);
    for (int i = 0; i < TargetCount; ++i) {
        const QByteArray& word = lists.targetWords[i];
        const qsizetype at = pos(word, command);
        if (at == 0)
            continue;
        shown.target = i;
        shown.targetState = copy(command, at + word.size() + 1, Rest);
    }
    shown.description = record.description;
    return shown;
}

} // namespace tirvon::configurator
