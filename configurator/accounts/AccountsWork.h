#pragma once

#include "config/Accounts.h"
#include "ini/IniFile.h"

#include <QString>

namespace tirvon::configurator {

// What the accounts window reads and writes, without its widgets.

// The ten accounts as the file holds them now.
config::Accounts loadAccounts(const ini::IniFile& file);

// The message that refuses to save accounts an operator could not log in with
// as typed (a name holding "::", a password holding ":::", ...), naming the
// user and the field; empty when all ten can be saved.
QString accountsRefusal(const config::Accounts& accounts);

// USER1..USER10 in one locked replace of the file: the station reads either
// the old accounts or the new ones, never a mixture. IniWriteError when the
// file cannot be written; nothing is written then.
void saveAccounts(ini::IniFile& file, const config::Accounts& accounts);

} // namespace tirvon::configurator
