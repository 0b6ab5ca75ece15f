#pragma once

#include "config/TestPoints.h"
#include "ini/IniFile.h"

#include <QByteArray>
#include <array>

namespace tirvon::station {

// What the control panel shows of one object, read from its section and from
// BaseStation (f2update). Texts are code page 1251.
struct ControlPanelData {
    struct SignalRow {
        QByteArray displayName;
        QByteArray state;
    };

    QByteArray name;
    QByteArray address;
    QByteArray phone;
    QByteArray dtmfPassword;
    QByteArray arming;
    QByteArray power;
    QByteArray battery;
    std::array<SignalRow, 8> inputs;
    std::array<SignalRow, 2> relays;
    std::array<SignalRow, 5> outputs;
    QByteArray batteryName; // with ", %"
    QByteArray powerName;
    config::TestPoints testPoints;
    bool alarmWithoutTest = false;
    QByteArray testTolerance;
};

ControlPanelData loadControlPanel(const ini::IniFile& file, const QByteArray& objectName);

} // namespace tirvon::station
