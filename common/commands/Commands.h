#pragma once

#include "config/Schema.h"
#include "ini/IniFile.h"

#include <QByteArray>
#include <QDateTime>
#include <array>

// The texts of the commands the station sends to a controller by SMS.
namespace tirvon::commands {

// "/" + password + " " + body: the whole SMS, without any line end.
QByteArray commandText(const QByteArray& password, const QByteArray& body);

// short name + " ON !" / " OFF !" for a relay or an output (the signal's short
// name from BaseStation, its default when absent).
QByteArray switchBody(const ini::IniFile& file, const config::Signal& signal, bool on);
// display name + " Включить" / " Выключить" (display names with the blank
// before the number when absent: "Реле 1", "Выход 1").
QByteArray switchDescription(const ini::IniFile& file, const config::Signal& signal, bool on);

// "SETTIME dd.mm.yy.hh:mm !" for the given local time.
QByteArray clockBody(const QDateTime& localTime);

// One test point as the panel gives it: day kind (0 inactive, 1 every day, -1
// typed text) and the five characters of its time field.
struct TestPointEntry {
    int dayKind;
    QByteArray time;
};
// "TTIME " + the four points + " !", or "TTIME OFF !" when every day kind is 0.
QByteArray testPointBody(const std::array<TestPointEntry, 4>& points);

inline constexpr char ArmBody[] = "ARM !";
inline constexpr char DisarmBody[] = "DISARM !";
inline constexpr char TestBody[] = "TEST";
inline constexpr char ListenBody[] = "LISTEN !";
inline constexpr char TestPointsOffBody[] = "TTIME OFF !";

// The log descriptions of the operator's commands.
namespace description {
QByteArray arm();
QByteArray disarm();
QByteArray setClock();
QByteArray testMessage();
QByteArray stateQuery();
QByteArray voiceConnection();
QByteArray testPointsOff();
QByteArray testPointsSet();
} // namespace description

} // namespace tirvon::commands
