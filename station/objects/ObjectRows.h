#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QIcon>
#include <QList>

namespace tirvon::station {

// The state icon of an object row; the numbers are the icons' indexes.
enum class StateIcon { Disarmed = 0, Alarm = 1, Armed = 2 };

// "На охране" is armed, "Тревога" alarm, every other text disarmed.
StateIcon iconForArmingState(const QByteArray& armingState);

// The 16 x 16 discs of the object list: amber, red, green.
QIcon stateIcon(StateIcon icon);

struct ObjectRow {
    int number;
    QByteArray name;
    StateIcon icon;
};

// Item data role of an object row that holds its StateIcon.
inline constexpr int StateIconRole = Qt::UserRole + 1;

// The rows of the object list at start: every existing section Bank1..Bank99 in
// ascending order, captioned with Name (default "None"), its icon from the
// arming state key (default "None").
QList<ObjectRow> loadObjectRows(const ini::IniFile& file);

} // namespace tirvon::station
