#include "report/ReportInterpreter.h"

#include "text/Cp1251.h"

namespace tirvon::report {

using text::copy;
using text::cp;
using text::pos;
using text::remove;

namespace {

const QByteArray CrLf = "\r\n";

// The text before the first LF; empty when there is none. A view: it holds
// only until the text changes.
QByteArrayView firstLine(const QByteArray& text) {
    const qsizetype lf = text.indexOf('\n');
    return lf < 0 ? QByteArrayView() : QByteArrayView(text).first(lf);
}

// Removes everything up to and including the first LF.
void dropFirstLine(QByteArray& text) {
    if (const qsizetype lf = text.indexOf('\n'); lf >= 0)
        text.remove(0, lf + 1);
}

bool hasLines(const QByteArray& text) {
    return !text.isEmpty() && text.contains(CrLf);
}

// The text after the keyword, to the end of the line.
QByteArrayView restAfter(QByteArrayView line, QByteArrayView keyword) {
    return line.sliced(line.indexOf(keyword) + keyword.size());
}

// The parts one after the other, made in one allocation.
QByteArray joined(std::initializer_list<QByteArrayView> parts) {
    qsizetype size = 0;
    for (const QByteArrayView part : parts)
        size += part.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArrayView part : parts)
        out.append(part);
    return out;
}

// The controller's time of a report, hh:mm of its first line with the seconds.
QByteArray reportTime(const QByteArray& text) {
    return joined({firstLine(text), ":00"});
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

ReportItem ReportInterpreter::signalItem(ReportItem::Kind kind, QByteArrayView line,
                                         bool cutAtCr) const {
    const qsizetype blank = line.indexOf(' ');
    const QByteArrayView shortName = blank < 0 ? QByteArrayView() : line.first(blank);
    QByteArrayView value = blank < 0 ? line : line.sliced(blank + 1);
    if (const qsizetype cr = value.indexOf('\r'); cutAtCr && cr >= 0)
        value = value.first(cr);
    const QByteArray description = joined({activeStateName_(shortName.toByteArray()), " ", value});
    const bool alarm = kind == ReportItem::Kind::Alarm;
    return {kind,
            joined({"l", shortName}),
            value.toByteArray(),
            alarm ? joined({alarmMarker(), " ", description}) : joined({"> ", description}),
            joined({alarm ? "ALARM " : "", shortName, " ", value}),
            description,
            {}};
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
    controllerTime_ = reportTime(text);
    dropFirstLine(text);
    // The alarm line itself is not read: the signal lines follow it.
    while (hasLines(text)) {
        dropFirstLine(text);
        const QByteArrayView line = firstLine(text);
        if (line.isEmpty())
            return;
        emitItem(signalItem(ReportItem::Kind::Alarm, line, false));
    }
}

void ReportInterpreter::testReport(QByteArray& text) {
    static const QByteArray disarmed = cp("> Снят с охраны");
    static const QByteArray armed = cp("> На охране");
    remove(text, 1, 5); // "TEST" and its LF
    controllerTime_ = reportTime(text);
    while (hasLines(text)) {
        dropFirstLine(text);
        const QByteArrayView line = firstLine(text);
        if (line.isEmpty())
            return;
        if (line == "DISARM")
            arming(ReportItem::Kind::TestArming, false, disarmed);
        else if (line == "ARM")
            arming(ReportItem::Kind::TestArming, true, armed);
        else
            emitItem(signalItem(ReportItem::Kind::TestSignal, line, true));
    }
}

void ReportInterpreter::disarmingForms(QByteArrayView line) {
    const auto kind = ReportItem::Kind::StateArming;
    static const QByteArray byNumber = cp("Снятие с охраны номером: ");
    static const QByteArray bySms = cp("Снятие с охраны SMS с тел: ");
    static const QByteArray byKey = cp("Снятие с охраны ключем: ");
    static const QByteArray byButton = cp("Снятие с охраны КНОПКОЙ ");
    static const QByteArray byDesk = cp("Снятие с охраны ДИСПЕТЧЕРОМ");
    if (line.contains("DISARM DTMF:"))
        arming(kind, false, joined({byNumber, restAfter(line, "DISARM DTMF:")}));
    if (line.contains("DISARM SMS:"))
        arming(kind, false, joined({bySms, restAfter(line, "DISARM SMS:")}));
    if (line.contains("DISARM T:"))
        arming(kind, false, joined({byKey, restAfter(line, "DISARM T:")}));
    if (line.contains("DISARM B"))
        arming(kind, false, joined({byButton, restAfter(line, "DISARM B")}));
    if (line.contains("DISARM\r"))
        arming(kind, false, byDesk);
}

void ReportInterpreter::armingForms(QByteArrayView line) {
    const auto kind = ReportItem::Kind::StateArming;
    static const QByteArray byKey = cp("Постановка на охрану КЛЮЧЕМ: ");
    static const QByteArray byButton = cp("Постановка на охрану КНОПКОЙ ");
    static const QByteArray bySms = cp("Постановка на охрану SMS с тел: ");
    static const QByteArray byDesk = cp("Постановка на охрану ДИСПЕТЧЕРОМ");
    if (line.contains("ARM T:"))
        arming(kind, true, joined({byKey, restAfter(line, "ARM T:")}));
    if (line.contains("ARM B"))
        arming(kind, true, joined({byButton, restAfter(line, "ARM B")}));
    if (line.contains("ARM SMS:"))
        arming(kind, true, joined({bySms, restAfter(line, "ARM SMS:")}));
    if (line.contains("ARM\r"))
        arming(kind, true, byDesk);
}

void ReportInterpreter::listenForms(QByteArrayView view) {
    const QByteArray line = view.toByteArray();
    static const QByteArray attempt = cp("> Попытка установки голосового соединения с: ");
    static const QByteArray failed = cp("> Попытка голосового соединения провалена!");
    if (line.contains("LISTEN +")) {
        const QByteArray number = copy(line, pos("LISTEN +:", line) + 8, line.size());
        emitItem({ReportItem::Kind::Listen, {}, {}, attempt + number, {}, {}, {}});
    }
    if (line.contains("LISTEN NO"))
        emitItem({ReportItem::Kind::Listen, {}, {}, failed, {}, {}, {}});
}

void ReportInterpreter::stateReport(QByteArray& text) {
    controllerTime_ = reportTime(text);
    // The tests of one pass only move forward: after an arming line the next
    // line is tried for ARM, LISTEN and as a signal, never for DISARM again.
    const std::pair<const char*, void (ReportInterpreter::*)(QByteArrayView)> forms[] = {
        {"DISARM", &ReportInterpreter::disarmingForms},
        {"ARM", &ReportInterpreter::armingForms},
        {"LISTEN", &ReportInterpreter::listenForms},
    };
    while (hasLines(text)) {
        dropFirstLine(text);
        QByteArrayView line = firstLine(text);
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
