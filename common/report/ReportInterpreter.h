#pragma once

#include "report/ReportItem.h"

#include <QByteArray>
#include <functional>

namespace tirvon::report {

// The mark of an alarm in the log text, "Тревога!!!" in code page 1251; the
// reports count alarms by it.
const QByteArray& alarmMarker();

// Turns a controller's message text into report items, in the order of its
// lines, handing each over as soon as it is made: the caller acts on it before
// the next line is read. Alarm reports, test reports and state reports are told
// apart, and every line form is tested, in the order the controller's words
// overlap ("ARM" inside "DISARM"). Any bytes are safe: an odd text makes fewer
// items, never a fault.
class ReportInterpreter {
public:
    // The name under which the operator knows a signal's active state: the
    // value of BaseStation's key named by the short name ("None" if absent).
    using ActiveStateName = std::function<QByteArray(const QByteArray& shortName)>;
    using ItemHandler = std::function<void(const ReportItem&)>;

    ReportInterpreter(ActiveStateName activeStateName, ItemHandler handler)
        : activeStateName_(std::move(activeStateName)), handler_(std::move(handler)) {}

    // The text as cut from the listing, with its closing CR LF.
    void interpret(QByteArray text);

private:
    void alarmReport(QByteArray& text);
    void testReport(QByteArray& text);
    void stateReport(QByteArray& text);
    void disarmingForms(QByteArrayView line);
    void armingForms(QByteArrayView line);
    void listenForms(QByteArrayView line);

    ReportItem signalItem(ReportItem::Kind kind, QByteArrayView line, bool cutAtCr) const;
    void emitItem(ReportItem item);
    void arming(ReportItem::Kind kind, bool armed, const QByteArray& logText);

    ActiveStateName activeStateName_;
    ItemHandler handler_;
    QByteArray controllerTime_;
};

} // namespace tirvon::report
