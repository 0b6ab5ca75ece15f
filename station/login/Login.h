#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QList>

namespace tirvon::station {

// The operator accounts USER1..USER10 as the login sees them. A slot holding
// "None" (or absent), an account named "None" and an account with an empty name
// are no accounts: they are not listed and nobody logs in with them.
QList<QByteArray> accountNames(const ini::IniFile& file);

struct LoginCheck {
    bool loggedIn = false;
    QByteArray operatorName;
    // Accounts of the typed name whose password differs: each is told to the
    // operator as "not registered", even when another account of the name fits.
    int refusals = 0;
};

// Compares name and password exactly with every account in slot order.
LoginCheck checkLogin(const ini::IniFile& file, const QByteArray& name, const QByteArray& password);

} // namespace tirvon::station
