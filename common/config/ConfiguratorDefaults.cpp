#include "config/ConfiguratorDefaults.h"

#include "text/Cp1251.h"

#include <QHash>

namespace tirvon::config::configurator {

namespace {

struct Entry {
    const char* key;
    const char* utf8; // the value as written in the source, converted once
};

// Every default the configurator's readers use, in the order of the file.
constexpr Entry Table[] = {
    // BaseStation: port and modem
    {"COMPort", "1"},
    {"BaudRate", "9600"},
    {"DTRControl", "0"},
    {"RTSControl", "0"},
    {"Init1", "AT+CMGF=1"},
    {"Init2", "AT+CPMS=\"ME\",\"ME\",\"MT\""},
    {"Init3", "AT+CSNS=0"},
    {"Init4", "AT+CLIP=1"},
    // BaseStation: pseudo-signals, operators, log, captions
    {"TTIME", "Точки выдачи тестового сообщения"},
    {"BATTERY", "Внутренний аккумулятор"},
    {"POWER", "Внешнее питание"},
    {"USER1", "None"},
    {"USER2", "None"},
    {"USER3", "None"},
    {"USER4", "None"},
    {"USER5", "None"},
    {"USER6", "None"},
    {"USER7", "None"},
    {"USER8", "None"},
    {"USER9", "None"},
    {"USER10", "None"},
    {"BASE", "None"},
    {"Service", "Объект"},
    {"Type", "TIRVON"},
    // Object sections
    {"Name", "Без имени"},
    {"Phone", "7"},
    {"PhoneSec", "7"},
    {"Addres", "Без адреса"},
    {"Pass", "4071"},
    {"PassD", "4071"},
    {"SysTest", ""},
    {"lArm", "?"},
    {"lPOWER", "?"},
    {"lBATTERY", "?"},
    {"TALARM", "-1"},
    {"TNOTTEST", "05"},
    {"lTTIME", "OFF"},
};

const QHash<QByteArray, QByteArray>& table() {
    static const QHash<QByteArray, QByteArray> byKey = [] {
        QHash<QByteArray, QByteArray> all;
        for (const Entry& e : Table)
            all.insert(QByteArray(e.key).toLower(), text::cp(e.utf8));
        return all;
    }();
    return byKey;
}

} // namespace

QByteArray defaultOf(const QByteArray& key) {
    return table().value(key.toLower());
}

int defaultInteger(const QByteArray& key) {
    return defaultOf(key).toInt();
}

QByteArray defaultShortName(const Signal& signal) {
    return signal.id;
}

QByteArray defaultDisplayName(const Signal& signal, bool blankBeforeNumber) {
    return signal.defaultDisplayName(blankBeforeNumber);
}

QByteArray defaultActiveStateName(const Signal& signal) {
    return signal.defaultDisplayName(true);
}

QByteArray defaultStateValue() {
    return "?";
}

QByteArray defaultSoundFile() {
    return "alarm2.wav";
}

} // namespace tirvon::config::configurator
