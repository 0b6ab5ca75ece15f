#include "config/SystemSettings.h"

#include "config/ConfiguratorDefaults.h"
#include "config/Schema.h"
#include "ini/IniFile.h"

namespace tirvon::config {

namespace {

QByteArray read(const ini::IniDocument& doc, const QByteArray& key, const QByteArray& fallback) {
    return doc.value(BaseStation, key).value_or(fallback);
}

int readInteger(const ini::IniDocument& doc, const QByteArray& key) {
    return ini::readInteger(doc, BaseStation, key, configurator::defaultInteger(key));
}

// The groups of the apply: inputs, then relays and outputs.
template <typename Visit> void eachGroup(Visit visit) {
    visit(0, 8);
    visit(8, 15);
}

} // namespace

SystemSettings loadSystemSettings(const ini::IniDocument& doc) {
    using namespace configurator;
    SystemSettings s;
    s.baudRate = QByteArray::number(readInteger(doc, key::BaudRate));
    s.dtrControl = readInteger(doc, key::DTRControl) != 0;
    s.rtsControl = readInteger(doc, key::RTSControl) != 0;
    s.comPort = QByteArray::number(readInteger(doc, key::COMPort));
    for (int n = 0; n < 4; ++n)
        s.init[n] = read(doc, key::Init[n], defaultOf(key::Init[n]));
    for (size_t i = 0; i < signalList().size(); ++i) {
        const Signal& signal = signalList()[i];
        SignalNaming& naming = s.signalNames[i];
        naming.shortName = read(doc, signal.shortNameKey(), defaultShortName(signal));
        naming.activeStateName = read(doc, naming.shortName, defaultActiveStateName(signal));
        naming.displayName = read(doc, signal.displayNameKey(), defaultDisplayName(signal, false));
    }
    s.ttime = read(doc, key::TTIME, defaultOf(key::TTIME));
    s.battery = read(doc, key::BATTERY, defaultOf(key::BATTERY));
    s.power = read(doc, key::POWER, defaultOf(key::POWER));
    s.controllerType = read(doc, key::Type, defaultOf(key::Type));
    return s;
}

std::optional<QByteArray> applySystemSettings(ini::IniDocument& doc, const SystemSettings& s) {
    const auto set = [&doc](const QByteArray& key, const QByteArray& value) {
        doc.setValue(BaseStation, key, value);
    };
    const std::optional<int> baud = ini::parseInteger(s.baudRate);
    if (!baud)
        return s.baudRate;
    set(key::BaudRate, QByteArray::number(*baud));
    set(key::DTRControl, s.dtrControl ? "1" : "0");
    set(key::RTSControl, s.rtsControl ? "1" : "0");
    const std::optional<int> port = ini::parseInteger(s.comPort);
    if (!port)
        return s.comPort;
    set(key::COMPort, QByteArray::number(*port));
    for (int n = 0; n < 4; ++n)
        set(key::Init[n], s.init[n]);
    eachGroup([&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            set(signalList()[i].displayNameKey(), s.signalNames[i].displayName);
        for (size_t i = from; i < to; ++i)
            set(signalList()[i].shortNameKey(), s.signalNames[i].shortName);
        // An empty short name names no key: nothing is written for it.
        for (size_t i = from; i < to; ++i)
            set(s.signalNames[i].shortName, s.signalNames[i].activeStateName);
    });
    set(key::TTIME, s.ttime);
    set(key::BATTERY, s.battery);
    set(key::POWER, s.power);
    return std::nullopt;
}

} // namespace tirvon::config
