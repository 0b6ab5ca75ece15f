#pragma once

#include "ini/IniFile.h"

#include <QByteArray>

namespace tirvon::station {

// The station's readers of section BaseStation, each with the station's own
// default (the configurator's defaults differ).
class StationSettings {
public:
    explicit StationSettings(const ini::IniFile& file) : file_(file) {}

    QByteArray objectWord() const; // Service, "Объект78"
    QByteArray comPort() const;    // COMPort as text, "1"
    QByteArray portName() const { return "COM" + comPort(); }
    QByteArray initString(int n) const; // Init1..Init4, empty

private:
    const ini::IniFile& file_;
};

} // namespace tirvon::station
