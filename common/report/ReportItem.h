#pragma once

#include <QByteArray>

namespace tirvon::report {

// One interpreted line of a controller report.
struct ReportItem {
    enum class Kind {
        Alarm,       // a signal line of an alarm report
        TestArming,  // "ARM" or "DISARM" alone in a test report
        TestSignal,  // a signal line of a test report
        StateArming, // an arming or disarming form of a state report
        Listen,      // a voice connection form of a state report
        StateSignal, // a signal line of a state report
    };

    Kind kind;
    QByteArray stateKey;       // "l" + short name, "lArm", or empty (no state)
    QByteArray stateValue;     // the key's new value
    QByteArray logText;        // MAIL of the event record
    QByteArray ruleEventText;  // offered to the object's rules; empty for none
    QByteArray description;    // signal items: active-state name + " " + value
    QByteArray controllerTime; // hh:mm:ss of the controller, in force for the line

    bool isAlarm() const { return kind == Kind::Alarm; }
    bool operator==(const ReportItem&) const = default;
};

} // namespace tirvon::report
