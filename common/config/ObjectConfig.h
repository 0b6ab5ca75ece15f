#pragma once

#include "config/Schema.h"
#include "config/TestPoints.h"
#include "ini/IniDocument.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

// One object (section Bank<n>) as the configurator's object editor edits it,
// read from the parsed file with the configurator's defaults and written back
// into it in the one order of an object save.
namespace tirvon::config {

struct ObjectConfig {
    QByteArray name;
    QByteArray phone;
    QByteArray phoneSec;
    QByteArray address;
    QByteArray password;     // Pass
    QByteArray dtmfPassword; // PassD
    // Chosen for the state poll, in the order of signalList().
    std::array<bool, 15> polled{};
    bool alarmWithoutTest = true; // TALARM
    QByteArray toleranceMinutes;  // TNOTTEST
    TestPoints testPoints{};
    // Rule records as stored, in key order.
    QList<QByteArray> rules;

    bool operator==(const ObjectConfig&) const = default;
};

// The signals' current short names (X_SN of BaseStation), in signal order.
std::array<QByteArray, 15> shortNames(const ini::IniDocument& doc);

// The object word (Service): "Объект" when absent.
QByteArray objectWord(const ini::IniDocument& doc);

// Name of an object section, with the configurator's default "Без имени".
QByteArray objectName(const ini::IniDocument& doc, const QByteArray& section);

// The first of Bank1..Bank99 whose name equals the given one exactly.
std::optional<int> findObjectByName(const ini::IniDocument& doc, const QByteArray& name);

// The first of Bank1..Bank99 that is not present; none when all are in use.
std::optional<int> firstFreeObject(const ini::IniDocument& doc);

// The object as the editor shows it; an empty section name reads every default.
ObjectConfig loadObject(const ini::IniDocument& doc, const QByteArray& section);

// Removes the section and writes it anew: Name, Phone, PhoneSec, Addres, Pass,
// PassD, the rules from Action3, SysTest, the inputs' state keys, lPOWER,
// lBATTERY, the relays' and outputs' state keys, lArm, TALARM, TNOTTEST, lTTIME.
// The state values are those the section holds when it is saved, under the
// current short names ("?" when absent): the station writes them, and a save
// must not put back older ones.
void saveObject(ini::IniDocument& doc, const QByteArray& section, const ObjectConfig& object);

// The poll list of the chosen signals under the given short names.
QByteArray pollListOf(const std::array<bool, 15>& polled,
                      const std::array<QByteArray, 15>& shortNames);

} // namespace tirvon::config
