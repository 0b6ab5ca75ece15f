#include "commands/Commands.h"

#include "text/Cp1251.h"

namespace tirvon::commands {

using text::cp;

QByteArray commandText(const QByteArray& password, const QByteArray& body) {
    return "/" + password + " " + body;
}

QByteArray switchBody(const ini::IniFile& file, const config::Signal& signal, bool on) {
    const QByteArray shortName =
        file.readString(config::BaseStation, signal.shortNameKey(), signal.id);
    return shortName + (on ? " ON !" : " OFF !");
}

QByteArray switchDescription(const ini::IniFile& file, const config::Signal& signal, bool on) {
    const QByteArray displayName = file.readString(config::BaseStation, signal.displayNameKey(),
                                                   signal.defaultDisplayName(true));
    return displayName + cp(on ? " Включить" : " Выключить");
}

QByteArray clockBody(const QDateTime& localTime) {
    return "SETTIME " + localTime.toString(QStringLiteral("dd.MM.yy.hh:mm")).toLatin1() + " !";
}

QByteArray testPointBody(const std::array<TestPointEntry, 4>& points) {
    QByteArray body = "TTIME";
    bool anyActive = false;
    for (const TestPointEntry& point : points) {
        anyActive = anyActive || point.dayKind != 0;
        body += " " + QByteArray::number(point.dayKind) + "." + point.time;
    }
    return anyActive ? body + " !" : QByteArray(TestPointsOffBody);
}

namespace description {
QByteArray arm() { return cp("Поставить объект на охрану"); }
QByteArray disarm() { return cp("Снять объект с охраны"); }
QByteArray setClock() { return cp("Установить локальное время контроллера"); }
QByteArray testMessage() { return cp("Запрос тестового сообщения"); }
QByteArray stateQuery() { return cp("Опрос состояния подключенных датчиков"); }
QByteArray voiceConnection() { return cp("Запрос на голосового соединение"); }
QByteArray testPointsOff() { return cp("Выключение точек выдачи тестового сообщения"); }
QByteArray testPointsSet() { return cp("Установка точек выдачи тестового сообщения"); }
} // namespace description

} // namespace tirvon::commands
