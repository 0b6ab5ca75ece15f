#include "modem/ReplyLines.h"

#include <QList>

namespace tirvon::modem {

namespace {

const QByteArray LineEnd = "\r\n";

// The complete lines of a received text, last first. Stops at the first line
// for which visit returns false. Nothing when the text does not end with a
// complete line.
template <typename Visit> bool eachLineBackwards(const QByteArray& text, Visit visit) {
    if (!text.endsWith(LineEnd))
        return false;
    qsizetype end = text.size() - 2;
    for (;;) {
        const qsizetype separator = end >= 2 ? text.lastIndexOf(LineEnd, end - 2) : -1;
        const qsizetype start = separator < 0 ? 0 : separator + 2;
        if (!visit(QByteArrayView(text).sliced(start, end - start), start))
            return true;
        if (start == 0)
            return true;
        end = start - 2;
    }
}

bool isRingOrCaller(QByteArrayView line) {
    return line == "RING" || line.startsWith("+CLIP:");
}

bool isPassive(QByteArrayView line) {
    return line.isEmpty() || isUnsolicitedLine(line.toByteArray());
}

} // namespace

bool isUnsolicitedLine(const QByteArray& line) {
    static const char* const prefixes[] = {"^", "+CMTI:", "+CDSI:", "+CREG:", "+CGREG:", "+CRING:"};
    // "NO CARRIER" comes on its own when a caller hangs up while the call rings:
    // it may land after the final result of whatever exchange was under way.
    static const char* const whole[] = {"RDY", "Call Ready", "SMS Ready", "NO CARRIER"};
    for (const char* prefix : prefixes) {
        if (line.startsWith(prefix))
            return true;
    }
    for (const char* word : whole) {
        if (line == word)
            return true;
    }
    return false;
}

bool isFinalResultLine(const QByteArray& line) {
    return line == "OK" || line == "ERROR" || line.startsWith("+CMS ERROR:") ||
           line.startsWith("+CME ERROR:");
}

std::optional<FinalResult> closingFinalResult(const QByteArray& received) {
    std::optional<FinalResult> result;
    eachLineBackwards(received, [&](QByteArrayView line, qsizetype start) {
        if (isPassive(line) || isRingOrCaller(line))
            return true;
        const QByteArray text = line.toByteArray();
        if (isFinalResultLine(text))
            result = FinalResult{start + line.size() + 2, text == "OK"};
        return false;
    });
    return result;
}

std::optional<IncomingCall> closingIncomingCall(const QByteArray& received) {
    QByteArray callerText;
    bool ring = false;
    qsizetype cut = 0; // the call and its company of lines go from here to the end
    eachLineBackwards(received, [&](QByteArrayView line, qsizetype start) {
        if (isPassive(line))
            return true;
        if (callerText.isEmpty()) {
            const qsizetype type = line.indexOf("\",145");
            if (!line.startsWith("+CLIP: ") || type < 0)
                return false;
            callerText = line.first(type + 1).toByteArray();
            return true;
        }
        if (!ring) {
            ring = line == "RING";
            return ring;
        }
        // Earlier rings of the same call go with it.
        if (isRingOrCaller(line))
            return true;
        cut = start + line.size() + 2;
        return false;
    });
    if (!ring)
        return std::nullopt;
    return IncomingCall{cut, callerText};
}

QByteArray withoutUnsolicited(const QByteArray& reply) {
    QList<QByteArray> lines;
    qsizetype from = 0;
    for (qsizetype at; (at = reply.indexOf(LineEnd, from)) >= 0; from = at + 2)
        lines.append(reply.mid(from, at - from));
    lines.append(reply.mid(from)); // what follows the last CR LF, often nothing

    bool changed = false;
    for (qsizetype i = 0; i < lines.size() - 1; ++i) {
        if (!isUnsolicitedLine(lines[i]))
            continue;
        changed = true;
        lines.removeAt(i);
        // An unsolicited line comes framed as CR LF, the line, CR LF: one empty
        // line beside it belongs to it.
        if (i < lines.size() - 1 && lines[i].isEmpty())
            lines.removeAt(i);
        else if (i > 0 && lines[i - 1].isEmpty())
            lines.removeAt(--i);
        --i;
    }
    return changed ? lines.join(LineEnd) : reply;
}

} // namespace tirvon::modem
