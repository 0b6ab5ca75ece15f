#include "config/Schema.h"

#include "text/Cp1251.h"

#include <QList>

namespace tirvon::config {

QByteArray key::user(int slot) {
    return "USER" + QByteArray::number(slot);
}
QByteArray key::voice(int slot) {
    return "Voice" + QByteArray::number(slot);
}
QByteArray key::action(int n) {
    return "Action" + QByteArray::number(n);
}

const QByteArray& objectSection(int n) {
    static const std::array<QByteArray, LastObject + 1> names = [] {
        std::array<QByteArray, LastObject + 1> all;
        for (int i = FirstObject; i <= LastObject; ++i)
            all[i] = "Bank" + QByteArray::number(i);
        return all;
    }();
    static const QByteArray outside;
    return n >= FirstObject && n <= LastObject ? names[n] : outside;
}

QByteArray Signal::defaultDisplayName(bool blankBeforeNumber) const {
    const QByteArray n = QByteArray::number(number);
    switch (kind) {
    case SignalKind::Input:
        return text::cp("Вход ") + n;
    case SignalKind::Relay:
        return text::cp(blankBeforeNumber ? "Реле " : "Реле") + n;
    case SignalKind::Output:
        return text::cp(blankBeforeNumber ? "Выход " : "Выход") + n;
    }
    return {};
}

const std::array<Signal, 15>& signalList() {
    static const std::array<Signal, 15> list = [] {
        std::array<Signal, 15> l{};
        int i = 0;
        for (int n = 1; n <= 8; ++n)
            l[i++] = {SignalKind::Input, n, "IN" + QByteArray::number(n)};
        for (int n = 1; n <= 2; ++n)
            l[i++] = {SignalKind::Relay, n, "RELE" + QByteArray::number(n)};
        for (int n = 1; n <= 5; ++n)
            l[i++] = {SignalKind::Output, n, "OUT" + QByteArray::number(n)};
        return l;
    }();
    return list;
}

QByteArray stateKey(const QByteArray& shortName) {
    return "l" + shortName;
}

QString soundFilePath(const QString& programDirectory, const QByteArray& fileName) {
    // A name written on Windows may carry backslashes: they are folders here.
    return programDirectory + QStringLiteral("voice/") +
           text::toUnicode(fileName).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QByteArray pollList(const QList<QByteArray>& chosenShortNames) {
    QByteArray list;
    for (const QByteArray& name : chosenShortNames)
        list += " " + name + " ?";
    return list.mid(1);
}

bool pollListHas(const QByteArray& list, const QByteArray& shortName) {
    return text::pos(shortName, list) > 0;
}

} // namespace tirvon::config
