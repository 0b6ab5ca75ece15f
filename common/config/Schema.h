#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// Names of the sections and keys of Vave_vev.ini. Defaults are not here: each
// reader names its own, and the station's and the configurator's differ.
namespace tirvon::config {

inline constexpr char FileName[] = "Vave_vev.ini";
inline constexpr char BaseStation[] = "BaseStation";

namespace key {
// BaseStation: port and modem
inline constexpr char COMPort[] = "COMPort";
inline constexpr char BaudRate[] = "BaudRate";
inline constexpr char DTRControl[] = "DTRControl";
inline constexpr char RTSControl[] = "RTSControl";
inline constexpr std::array<const char*, 4> Init = {"Init1", "Init2", "Init3", "Init4"};
// BaseStation: operators, log table, captions
inline constexpr int UserSlots = 10;
QByteArray user(int slot); // "USER1".."USER10"
inline constexpr char BASE[] = "BASE";
inline constexpr char Service[] = "Service";
inline constexpr char Type[] = "Type";
// BaseStation: descriptions of the pseudo-signals, sounds
inline constexpr char TTIME[] = "TTIME";
inline constexpr char BATTERY[] = "BATTERY";
inline constexpr char POWER[] = "POWER";
inline constexpr int VoiceSlots = 9;
QByteArray voice(int slot); // "Voice1".."Voice9"

// Object sections
inline constexpr char Name[] = "Name";
inline constexpr char Phone[] = "Phone";
inline constexpr char PhoneSec[] = "PhoneSec";
inline constexpr char Addres[] = "Addres";
inline constexpr char Pass[] = "Pass";
inline constexpr char PassD[] = "PassD";
inline constexpr char SysTest[] = "SysTest";
inline constexpr char lArm[] = "lArm";
inline constexpr char lPOWER[] = "lPOWER";
inline constexpr char lBATTERY[] = "lBATTERY";
inline constexpr char lTTIME[] = "lTTIME";
inline constexpr char TALARM[] = "TALARM";
inline constexpr char TNOTTEST[] = "TNOTTEST";
inline constexpr char TNEWTEST[] = "TNEWTEST";
QByteArray action(int n); // "Action3", "Action4", ...
} // namespace key

// Object sections Bank1..Bank99.
inline constexpr int FirstObject = 1;
inline constexpr int LastObject = 99;
// "Bank1".."Bank99"; empty for a number outside them.
const QByteArray& objectSection(int n);

// The fifteen signals of a controller, inputs 1..8, relays 1..2, outputs 1..5,
// in the order every list of them uses.
enum class SignalKind { Input, Relay, Output };
struct Signal {
    SignalKind kind;
    int number;    // 1-based within its kind
    QByteArray id; // "IN1", "RELE2", "OUT5": default short name and key stem
    QByteArray shortNameKey() const { return id + "_SN"; }
    QByteArray displayNameKey() const { return id + "_VN"; }
    // The display name's default: "Вход 3"; relays and outputs with or without
    // the blank ("Реле 1" / "Реле1"), as the reader in question uses it.
    QByteArray defaultDisplayName(bool blankBeforeNumber) const;
};
const std::array<Signal, 15>& signalList();

// State key of a signal: "l" + its short name.
QByteArray stateKey(const QByteArray& shortName);

// Sound file of a sound key's value: program directory, "voice/", the name.
QString soundFilePath(const QString& programDirectory, const QByteArray& fileName);

// Poll list (SysTest): " " + short name + " ?" for each chosen signal, in signal
// order, without the first blank.
QByteArray pollList(const QList<QByteArray>& chosenShortNames);
bool pollListHas(const QByteArray& list, const QByteArray& shortName);

} // namespace tirvon::config
