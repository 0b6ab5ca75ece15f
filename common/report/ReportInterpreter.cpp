#include "report/ReportInterpreter.h"

#include "text/Cp1251.h"

namespace tirvon::report {

using text::copy;
using text::cp;
using text::pos;
using text::remove;

namespace {

const QByteArray CrLf = "\r\n";

// The text before the first LF; empty when there is none.
QByteArray firstLine(const QByteArray& text) {
    const qsizetype lf = pos("\n", text);
    return lf ? copy(text, 1, lf - 1) : QByteArray();
}

// Removes everything up to and including the first LF.
void dropFirstLine(QByteArray& text) {
    remove(text, 1, pos("\n", text));
}

bool hasLines(const QByteArray& text) {
    return !text.isEmpty() && text.contains(CrLf);
}

// The text after the keyword, to the end of the line.
QByteArray restAfter(const QByteArray& line, const QByteArray& keyword) {
    return line.mid(line.indexOf(keyword) + keyword.size());
}

} // namespace

void ReportInterpreter::emitItem(ReportItem item) {
    item.controllerTime = controllerTime_;
    handler_(item);
}

const QByteArray& alarmMarker() {
    static const QByteArray marker = cp("Тревога!!!");
    return marker;
}

ReportItem ReportInterpreter::signalItem(ReportItem::Kind kind, const QByteArray& line,
                                         bool cutAtCr) const {
    const qsizetype blank = line.indexOf(' ');
    const QByteArray shortName = blank < 0 ? QByteArray() : line.left(blank);
    QByteArray value = blank < 0 ? line : line.mid(blank + 1);
    if (cutAtCr && value.contains('\r'))
        value.truncate(value.indexOf('\r'));
    const QByteArray description = activeStateName_(shortName) + " " + value;
    ReportItem item{kind, "l" + shortName, value, {}, shortName + " " + value, description, {}};
    if (kind == ReportItem::Kind::Alarm) {
        item.logText = alarmMarker() + " " + description;
        item.ruleEventText = "ALARM " + shortName + " " + value;
    } else {
        item.logText = "> " + description;
    }
    return item;
}

void ReportInterpreter::arming(ReportItem::Kind kind, bool armed, const QByteArray& logText) {
    static const QByteArray armedState = cp("На охране");
    static const QByteArray disarmedState = cp("Снят с охраны");
    emitItem({kind, "lArm", armed ? armedState : disarmedState, logText, {}, {}, {}});
}

void ReportInterpreter::interpret(QByteArray text) {
    if (text.contains("ALARM"))
        alarmReport(text);
    if (text.contains("TEST"))
        testReport(text);
    if (text.contains("ALARM") || text.contains("TEST"))
        return;
    stateReport(text);
}

void ReportInterpreter::alarmReport(QByteArray& text) {
    controllerTime_ = firstLine(text) + ":00";
    dropFirstLine(text);
    // The alarm line itself is not read: the signal lines follow it.
    while (hasLines(text)) {
        dropFirstLine(text);
        const QByteArray line = firstLine(text);
        if (line.isEmpty())
            return;
        emitItem(signalItem(ReportItem::Kind::Alarm, line, false));
    }
}

void ReportInterpreter::testReport(QByteArray& text) {
    remove(text, 1, 5); // "TEST" and its LF
    controllerTime_ = firstLine(text) + ":00";
    while (hasLines(text)) {
        dropFirstLine(text);
        const QByteArray line = firstLine(text);
        if (line.isEmpty())
            return;
        if (line == "DISARM")
            arming(ReportItem::Kind::TestArming, false, cp("> Снят с охраны"));
        else if (line == "ARM")
            arming(ReportItem::Kind::TestArming, true, cp("> На охране"));
        else
            emitItem(signalItem(ReportItem::Kind::TestSignal, line, true));
    }
}

void ReportInterpreter::disarmingForms(const QByteArray& line) {
    const auto kind = ReportItem::Kind::StateArming;
    if (line.contains("DISARM DTMF:"))
        arming(kind, false, cp("Снятие с охраны номером: ") + restAfter(line, "DISARM DTMF:"));
    if (line.contains("DISARM SMS:"))
        arming(kind, false, cp("Снятие с охраны SMS с тел: ") + restAfter(line, "DISARM SMS:"));
    if (line.contains("DISARM T:"))
        arming(kind, false, cp("Снятие с охраны ключем: ") + restAfter(line, "DISARM T:"));
    if (line.contains("DISARM B"))
        arming(kind, false, cp("Снятие с охраны КНОПКОЙ ") + restAfter(line, "DISARM B"));
    if (line.contains("DISARM\r"))
        arming(kind, false, cp("Снятие с охраны ДИСПЕТЧЕРОМ"));
}

void ReportInterpreter::armingForms(const QByteArray& line) {
    const auto kind = ReportItem::Kind::StateArming;
    if (line.contains("ARM T:"))
        arming(kind, true, cp("Постановка на охрану КЛЮЧЕМ: ") + restAfter(line, "ARM T:"));
    if (line.contains("ARM B"))
        arming(kind, true, cp("Постановка на охрану КНОПКОЙ ") + restAfter(line, "ARM B"));
    if (line.contains("ARM SMS:"))
        arming(kind, true, cp("Постановка на охрану SMS с тел: ") + restAfter(line, "ARM SMS:"));
    if (line.contains("ARM\r"))
        arming(kind, true, cp("Постановка на охрану ДИСПЕТЧЕРОМ"));
}

void ReportInterpreter::listenForms(const QByteArray& line) {
    if (line.contains("LISTEN +")) {
        const QByteArray number = copy(line, pos("LISTEN +:", line) + 8, line.size());
        emitItem({ReportItem::Kind::Listen,
                  {},
                  {},
                  cp("> Попытка установки голосового соединения с: ") + number,
                  {},
                  {},
                  {}});
    }
    if (line.contains("LISTEN NO"))
        emitItem({ReportItem::Kind::Listen,
                  {},
                  {},
                  cp("> Попытка голосового соединения провалена!"),
                  {},
                  {},
                  {}});
}

void ReportInterpreter::stateReport(QByteArray& text) {
    controllerTime_ = firstLine(text) + ":00";
    // The tests of one pass only move forward: after an arming line the next
    // line is tried for ARM, LISTEN and as a signal, never for DISARM again.
    const std::pair<const char*, void (ReportInterpreter::*)(const QByteArray&)> forms[] = {
        {"DISARM", &ReportInterpreter::disarmingForms},
        {"ARM", &ReportInterpreter::armingForms},
        {"LISTEN", &ReportInterpreter::listenForms},
    };
    while (hasLines(text)) {
        dropFirstLine(text);
        QByteArray line = firstLine(text);
        if (line.isEmpty())
            return;
        for (const auto& [keyword, handle] : forms) {
            if (!line.contains(keyword))
                continue;
            (this->*handle)(line);
            dropFirstLine(text);
            line = firstLine(text);
            if (line.isEmpty())
                return;
        }
        emitItem(signalItem(ReportItem::Kind::StateSignal, line, false));
    }
}

} // namespace tirvon::report
