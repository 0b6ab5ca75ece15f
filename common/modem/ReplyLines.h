#pragma once

#include <QByteArray>
#include <optional>

// What the received text of the modem means, read as whole lines framed by
// CR LF. A message text that arrives inside a listing may hold any of the
// modem's words ("OK", "ERROR", "RING", "+CLIP: ..."); only their place decides:
// a final result counts when it is the last line received, and a call when its
// RING and +CLIP lines are.
namespace tirvon::modem {

// Lines the modem sends of its own accord at any moment: signal and mode
// reports ("^RSSI:14", "^MODE:5"), new-message and registration indications
// ("+CMTI:", "+CREG:"), the start-up banners ("RDY", "Call Ready", "SMS Ready"),
// and "NO CARRIER" of a caller who hung up.
bool isUnsolicitedLine(const QByteArray& line);

// A final result: "OK", "ERROR", "+CMS ERROR: n", "+CME ERROR: n".
bool isFinalResultLine(const QByteArray& line);

struct FinalResult {
    qsizetype end = 0; // one past the CR LF of the final result line
    bool ok = false;   // "OK", not an error result
};

// The final result that closes the received text: the last line that is not
// empty, unsolicited, RING or +CLIP, when the text ends with a complete line.
// What follows it (those lines) is not part of the reply.
std::optional<FinalResult> closingFinalResult(const QByteArray& received);

struct IncomingCall {
    qsizetype start = 0;   // where the call's lines start: after the last other line
    QByteArray callerText; // "+CLIP: " and the quoted number
};

// An incoming call that the received text ends with: a line "RING", then a line
// "+CLIP: " with an international number (type 145), with only empty or
// unsolicited lines between and after them.
std::optional<IncomingCall> closingIncomingCall(const QByteArray& received);

// The reply without its unsolicited lines, each taken out with the framing it
// brought, so that the reply reads as if they had not come.
QByteArray withoutUnsolicited(const QByteArray& reply);

} // namespace tirvon::modem
