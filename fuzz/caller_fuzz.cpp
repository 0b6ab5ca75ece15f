// What the modem sends on arbitrary bytes: the caller line of an incoming call
// and the line framing of every reply. A caller's number is whatever the network
// hands over, and a message text inside a listing may hold any of the modem's
// words. Whatever arrives, the number is the quoted part of the caller line,
// and every place the reply reader gives lies inside the received text.
#include "FuzzCheck.h"
#include "calls/Calls.h"
#include "modem/ReplyLines.h"

#include <cstdint>

using namespace tirvon;

namespace {

const QByteArray LineEnd = "\r\n";

void checkCallerNumber(const QByteArray& callerText) {
    const QByteArray number = station::callerNumber(callerText);
    const qsizetype open = callerText.indexOf('"');
    if (open < 0) {
        FUZZ_CHECK(number.isEmpty());
        return;
    }
    // The number stands right after the opening quote (and its "+"), and holds
    // no quote.
    FUZZ_CHECK(!number.contains('"'));
    qsizetype from = open + 1;
    if (callerText.size() > from && callerText[from] == '+')
        ++from;
    FUZZ_CHECK(QByteArrayView(callerText).sliced(from).startsWith(number));
    const qsizetype end = from + number.size();
    FUZZ_CHECK(end == callerText.size() || callerText[end] == '"');
}

void checkReplyLines(const QByteArray& received) {
    if (const auto result = modem::closingFinalResult(received)) {
        FUZZ_CHECK(result->end >= 4 && result->end <= received.size());
        // The result line ends at the CR LF before its end.
        FUZZ_CHECK(received.mid(result->end - 2, 2) == LineEnd);
        const qsizetype lineEnd = result->end - 2;
        const qsizetype before = lineEnd >= 2 ? received.lastIndexOf(LineEnd, lineEnd - 2) : -1;
        const qsizetype start = before < 0 ? 0 : before + 2;
        const QByteArray line = received.mid(start, lineEnd - start);
        FUZZ_CHECK(modem::isFinalResultLine(line));
        FUZZ_CHECK(result->ok == (line == "OK"));
    }
    if (const auto call = modem::closingIncomingCall(received)) {
        FUZZ_CHECK(call->start >= 0 && call->start < received.size());
        FUZZ_CHECK(call->callerText.startsWith("+CLIP: ") && call->callerText.endsWith('"'));
        FUZZ_CHECK(received.indexOf(call->callerText, call->start) >= 0);
        FUZZ_CHECK(received.indexOf("RING\r\n", call->start) >= 0);
        checkCallerNumber(call->callerText);
    }
    // No complete line of what is left is unsolicited.
    const QByteArray left = modem::withoutUnsolicited(received);
    FUZZ_CHECK(left.size() <= received.size());
    qsizetype from = 0;
    for (qsizetype at; (at = left.indexOf(LineEnd, from)) >= 0; from = at + 2)
        FUZZ_CHECK(!modem::isUnsolicitedLine(left.mid(from, at - from)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    checkCallerNumber(input);
    checkReplyLines(input);
    return 0;
}
