// The report interpreter on arbitrary message texts: a controller's report may
// come cut or garbled, and anybody may send the station a message. Whatever the
// text, interpreting it ends, makes alarm and test items only of a text that is
// such a report, state items only of a text that is none or after them (the
// rest of a report cut short by an empty line), and every item carries what
// the log and the rules read from it.
#include "FuzzCheck.h"
#include "report/ReportInterpreter.h"

#include <cstdint>

using tirvon::report::ReportInterpreter;
using tirvon::report::ReportItem;

namespace {

struct Counts {
    qsizetype items = 0;
    bool alarmText = false;
    bool testText = false;
    bool stateItems = false;
};

Counts counts;

void checkItem(const ReportItem& item) {
    ++counts.items;
    FUZZ_CHECK(!item.logText.isEmpty());
    FUZZ_CHECK(item.controllerTime.endsWith(":00"));
    FUZZ_CHECK(item.stateKey.isEmpty() || item.stateKey.startsWith('l'));
    switch (item.kind) {
    case ReportItem::Kind::Alarm:
        FUZZ_CHECK(counts.alarmText && !counts.stateItems);
        FUZZ_CHECK(item.ruleEventText.startsWith("ALARM "));
        FUZZ_CHECK(item.logText.startsWith(tirvon::report::alarmMarker()));
        break;
    case ReportItem::Kind::TestArming:
    case ReportItem::Kind::TestSignal:
        FUZZ_CHECK(counts.testText && !counts.stateItems);
        break;
    case ReportItem::Kind::StateArming:
    case ReportItem::Kind::Listen:
    case ReportItem::Kind::StateSignal:
        counts.stateItems = true;
        break;
    }
    if (item.kind == ReportItem::Kind::TestArming || item.kind == ReportItem::Kind::StateArming)
        FUZZ_CHECK(item.stateKey == "lArm");
    if (item.kind == ReportItem::Kind::Listen)
        FUZZ_CHECK(item.stateKey.isEmpty() && item.ruleEventText.isEmpty());
}

ReportInterpreter& interpreter() {
    static const QByteArray none = "None";
    static ReportInterpreter interpreter([](const QByteArray&) { return none; }, checkItem);
    return interpreter;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    counts = {0, text.contains("ALARM"), text.contains("TEST"), false};
    interpreter().interpret(text);
    // Every item stands for a line of the text; one state line may hold up to
    // five arming forms.
    FUZZ_CHECK(counts.items <= 5 * (text.count('\n') + 1));
    return 0;
}
