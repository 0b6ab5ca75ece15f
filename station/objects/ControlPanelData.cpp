#include "objects/ControlPanelData.h"

#include "config/Schema.h"
#include "objects/ObjectRegistry.h"
#include "text/Cp1251.h"

namespace tirvon::station {

using namespace tirvon::config;

ControlPanelData loadControlPanel(const ini::IniFile& file, const QByteArray& objectName) {
    const QByteArray section = ObjectRegistry(file).search_sect(objectName);
    const auto doc = file.snapshot();
    const auto read = [&doc](const QByteArray& s, const QByteArray& k, const QByteArray& fallback) {
        return doc->value(s, k).value_or(fallback);
    };

    ControlPanelData d;
    d.name = read(section, key::Name, text::cp("Без имени"));
    d.address = read(section, key::Addres, text::cp("Без адреса"));
    d.phone = read(section, key::Phone, "None");
    d.dtmfPassword = read(section, key::PassD, "None");
    d.arming = read(section, key::lArm, text::cp("Неизвестно"));
    d.power = read(section, key::lPOWER, "None");
    d.battery = read(section, key::lBATTERY, "None");

    const auto& signalsInOrder = signalList();
    for (size_t i = 0; i < signalsInOrder.size(); ++i) {
        const Signal& s = signalsInOrder[i];
        const QByteArray shortName = read(BaseStation, s.shortNameKey(), s.id);
        ControlPanelData::SignalRow row{read(BaseStation, s.displayNameKey(), "..."),
                                        read(section, stateKey(shortName), "?")};
        if (i < 8)
            d.inputs[i] = row;
        else if (i < 10)
            d.relays[i - 8] = row;
        else
            d.outputs[i - 10] = row;
    }
    d.batteryName = read(BaseStation, key::BATTERY, text::cp("Заряд батареи")) + ", %";
    d.powerName = read(BaseStation, key::POWER, text::cp("Внешнее питание"));
    // A point whose day kind is not a digit shows as inactive; the other fields
    // load all the same.
    d.testPoints = parseTestPoints(read(section, key::lTTIME, "OFF"));
    d.alarmWithoutTest = ini::parseInteger(read(section, key::TALARM, "0")).value_or(0) != 0;
    d.testTolerance = read(section, key::TNOTTEST, "05");
    return d;
}

} // namespace tirvon::station
