#include "config/ObjectConfig.h"

#include "config/ConfiguratorDefaults.h"
#include "ini/IniFile.h"
#include "rules/RuleRecord.h"

namespace tirvon::config {

namespace {

QByteArray read(const ini::IniDocument& doc, const QByteArray& section, const QByteArray& key) {
    return doc.value(section, key).value_or(configurator::defaultOf(key));
}

// "-1" or any other non-zero number is true, "0" false; a text that is no
// number reads as the default, true.
bool readTruth(const ini::IniDocument& doc, const QByteArray& section, const QByteArray& key) {
    const std::optional<int> n = ini::parseInteger(read(doc, section, key));
    return n ? *n != 0 : true;
}

} // namespace

std::array<QByteArray, 15> shortNames(const ini::IniDocument& doc) {
    std::array<QByteArray, 15> names;
    const auto& allSignals = signalList();
    for (size_t i = 0; i < allSignals.size(); ++i)
        names[i] = doc.value(BaseStation, allSignals[i].shortNameKey())
                       .value_or(configurator::defaultShortName(allSignals[i]));
    return names;
}

QByteArray objectWord(const ini::IniDocument& doc) {
    return read(doc, BaseStation, key::Service);
}

QByteArray objectName(const ini::IniDocument& doc, const QByteArray& section) {
    return read(doc, section, key::Name);
}

std::optional<int> findObjectByName(const ini::IniDocument& doc, const QByteArray& name) {
    for (int n = FirstObject; n <= LastObject; ++n) {
        const QByteArray& section = objectSection(n);
        if (doc.hasSection(section) && objectName(doc, section) == name)
            return n;
    }
    return std::nullopt;
}

std::optional<int> firstFreeObject(const ini::IniDocument& doc) {
    for (int n = FirstObject; n <= LastObject; ++n) {
        if (!doc.hasSection(objectSection(n)))
            return n;
    }
    return std::nullopt;
}

ObjectConfig loadObject(const ini::IniDocument& doc, const QByteArray& section) {
    ObjectConfig o;
    o.name = objectName(doc, section);
    o.phone = read(doc, section, key::Phone);
    o.phoneSec = read(doc, section, key::PhoneSec);
    o.address = read(doc, section, key::Addres);
    o.password = read(doc, section, key::Pass);
    o.dtmfPassword = read(doc, section, key::PassD);
    const QByteArray poll = read(doc, section, key::SysTest);
    const auto names = shortNames(doc);
    for (size_t i = 0; i < names.size(); ++i)
        o.polled[i] = pollListHas(poll, names[i]);
    o.alarmWithoutTest = readTruth(doc, section, key::TALARM);
    o.toleranceMinutes = read(doc, section, key::TNOTTEST);
    o.testPoints = parseTestPoints(read(doc, section, key::lTTIME));
    if (!section.isEmpty())
        o.rules = rules::configuratorRules(doc, section);
    return o;
}

QByteArray pollListOf(const std::array<bool, 15>& polled,
                      const std::array<QByteArray, 15>& shortNames) {
    QList<QByteArray> chosen;
    for (size_t i = 0; i < polled.size(); ++i) {
        if (polled[i])
            chosen.append(shortNames[i]);
    }
    return pollList(chosen);
}

void saveObject(ini::IniDocument& doc, const QByteArray& section, const ObjectConfig& object) {
    const auto names = shortNames(doc);
    auto state = [&](const QByteArray& key) {
        return std::pair{key, doc.value(section, key).value_or(configurator::defaultStateValue())};
    };
    // Inputs, then the two pseudo-signals, then relays and outputs, then arming.
    std::vector<std::pair<QByteArray, QByteArray>> states;
    for (size_t i = 0; i < 8; ++i)
        states.push_back(state(stateKey(names[i])));
    states.push_back(state(key::lPOWER));
    states.push_back(state(key::lBATTERY));
    for (size_t i = 8; i < names.size(); ++i)
        states.push_back(state(stateKey(names[i])));
    states.push_back(state(key::lArm));

    doc.removeSection(section);
    doc.setValue(section, key::Name, object.name);
    doc.setValue(section, key::Phone, object.phone);
    doc.setValue(section, key::PhoneSec, object.phoneSec);
    doc.setValue(section, key::Addres, object.address);
    doc.setValue(section, key::Pass, object.password);
    doc.setValue(section, key::PassD, object.dtmfPassword);
    rules::writeRules(doc, section, object.rules);
    doc.setValue(section, key::SysTest, pollListOf(object.polled, names));
    for (const auto& [key, value] : states)
        doc.setValue(section, key, value);
    doc.setValue(section, key::TALARM, object.alarmWithoutTest ? "-1" : "0");
    doc.setValue(section, key::TNOTTEST, object.toleranceMinutes);
    doc.setValue(section, key::lTTIME, formatTestPoints(object.testPoints));
}

} // namespace tirvon::config
