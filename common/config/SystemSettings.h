#pragma once

#include "ini/IniDocument.h"

#include <QByteArray>
#include <array>
#include <optional>

namespace tirvon::config {

// The names of one controller signal as the settings show them.
struct SignalNaming {
    QByteArray displayName;     // X_VN
    QByteArray shortName;       // X_SN
    QByteArray activeStateName; // under the key named by the short name
    bool operator==(const SignalNaming&) const = default;
};

// The installation-wide settings of section BaseStation that the configurator's
// settings panel edits (the sounds aside), as typed: the port number and baud
// rate are texts, since what the operator typed need not be a number.
struct SystemSettings {
    QByteArray baudRate;
    bool dtrControl = false;
    bool rtsControl = false;
    QByteArray comPort;
    std::array<QByteArray, 4> init;
    std::array<SignalNaming, 15> signalNames; // in the order of signalList()
    QByteArray ttime;
    QByteArray battery;
    QByteArray power;
    QByteArray controllerType; // Type: shown in two captions, never written
    bool operator==(const SystemSettings&) const = default;
};

// The settings as the configurator reads them, with its defaults.
SystemSettings loadSystemSettings(const ini::IniDocument& doc);

// The apply: baud rate, the two switches, port number, the four initialisation
// strings, then per group (inputs; relays and outputs) the display names, the
// short names and the active-state names under the typed short names, then the
// three descriptions. A baud rate or port number that is not a number stops the
// apply there, what came before it written: the text that stopped it.
std::optional<QByteArray> applySystemSettings(ini::IniDocument& doc,
                                              const SystemSettings& settings);

} // namespace tirvon::config
