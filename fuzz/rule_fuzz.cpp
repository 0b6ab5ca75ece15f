// An event rule record on arbitrary values: the rules are stored in the INI file,
// which is edited by hand. Whatever the value, it splits into fields that stand
// in it in order, a record whose fields allow it writes and reads back as it
// is, and a time trigger gives a valid time only in its exact form.
#include "FuzzCheck.h"
#include "rules/RuleRecord.h"

#include <cstdint>

using tirvon::rules::RuleRecord;

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A field that can stand before a separator and be found again up to it: a
// closing ":" would join the separator and end the field one byte early.
bool separable(const QByteArray& field) {
    return !field.contains("::") && !field.endsWith(':');
}

// The record's text, fields taken from the input: an input byte 0 ends a field.
RuleRecord recordOf(const QByteArray& input) {
    RuleRecord r;
    QByteArray* fields[] = {&r.trigger, &r.command, &r.activeFlag, &r.description};
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype end = i < 3 ? input.indexOf('\0', from) : -1;
        *fields[i] = input.mid(from, end < 0 ? -1 : end - from);
        if (end < 0)
            break;
        from = end + 1;
    }
    return r;
}

void checkTimeTrigger(const QByteArray& trigger) {
    const QTime time = tirvon::rules::timeTrigger(trigger);
    if (!time.isValid())
        return;
    // "_TIME hh:mm:ss", two digits each, nothing else.
    FUZZ_CHECK(trigger.size() == 14 && trigger.startsWith("_TIME "));
    for (const int at : {6, 7, 9, 10, 12, 13})
        FUZZ_CHECK(isDigit(trigger[at]));
    FUZZ_CHECK(trigger[8] == ':' && trigger[11] == ':');
    FUZZ_CHECK(time.hour() == (trigger[6] - '0') * 10 + trigger[7] - '0');
    FUZZ_CHECK(time.minute() == (trigger[9] - '0') * 10 + trigger[10] - '0');
    FUZZ_CHECK(time.second() == (trigger[12] - '0') * 10 + trigger[13] - '0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray value(reinterpret_cast<const char*>(data), qsizetype(size));

    // The input as a stored record: its fields lie in it, separated as written.
    const RuleRecord parsed = RuleRecord::parse(value);
    FUZZ_CHECK(parsed.trigger.size() + parsed.command.size() + parsed.activeFlag.size() +
                   parsed.description.size() <=
               value.size());
    FUZZ_CHECK(value.startsWith(parsed.trigger));
    FUZZ_CHECK(!parsed.trigger.contains("::") && !parsed.command.contains("::") &&
               !parsed.activeFlag.contains("::"));
    if (!parsed.description.isEmpty())
        FUZZ_CHECK(parsed.format() == value);
    FUZZ_CHECK(RuleRecord::parse(parsed.format()) == parsed);
    checkTimeTrigger(parsed.trigger);
    checkTimeTrigger(value);

    // The input as the fields of a record the configurator writes.
    const RuleRecord record = recordOf(value);
    if (separable(record.trigger) && separable(record.command) && separable(record.activeFlag))
        FUZZ_CHECK(RuleRecord::parse(record.format()) == record);
    return 0;
}
