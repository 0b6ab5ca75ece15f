#pragma once

#include "config/Schema.h"

#include <QByteArray>

// What the configurator reads when a key of Vave_vev.ini is absent: its one
// table of defaults (the station's readers name their own, and they differ).
namespace tirvon::config::configurator {

// The default of a key of section BaseStation or of an object section, in
// code page 1251; key names compare without case. Signal keys (X_SN, X_VN,
// active-state names) have their own functions below. Empty for a key the
// table does not hold.
QByteArray defaultOf(const QByteArray& key);

// Integer and switch keys of BaseStation: COMPort 1, BaudRate 9600, DTRControl
// and RTSControl off.
int defaultInteger(const QByteArray& key);

// A signal's short name (X_SN): "IN1".."OUT5".
QByteArray defaultShortName(const Signal& signal);
// A signal's display name (X_VN): the settings fields and the rule editor use
// the forms without a blank ("Реле1"), the poll check boxes those with it.
QByteArray defaultDisplayName(const Signal& signal, bool blankBeforeNumber);
// A signal's active-state name: "Вход 1", "Реле 1", "Выход 1".
QByteArray defaultActiveStateName(const Signal& signal);
// A state key ("l" + short name, lPOWER, lBATTERY) and lArm: "?".
QByteArray defaultStateValue();
// The sound file used when a sound key is absent: "alarm2.wav".
QByteArray defaultSoundFile();

} // namespace tirvon::config::configurator
