#include "login/Login.h"

#include "config/Schema.h"
#include "config/UserEntry.h"

namespace tirvon::station {

namespace {

template <typename Visit> void forEachAccount(const ini::IniFile& file, Visit visit) {
    const auto doc = file.snapshot();
    for (int slot = 1; slot <= config::key::UserSlots; ++slot) {
        const QByteArray value = doc->value(config::BaseStation, config::key::user(slot))
                                     .value_or(config::UserEntry::Empty);
        const config::UserEntry entry = config::UserEntry::parse(value);
        if (value == config::UserEntry::Empty || entry.name == config::UserEntry::Empty ||
            entry.name.isEmpty())
            continue;
        visit(entry);
    }
}

} // namespace

QList<QByteArray> accountNames(const ini::IniFile& file) {
    QList<QByteArray> names;
    forEachAccount(file, [&names](const config::UserEntry& entry) { names.append(entry.name); });
    return names;
}

LoginCheck checkLogin(const ini::IniFile& file, const QByteArray& name,
                      const QByteArray& password) {
    LoginCheck check;
    forEachAccount(file, [&](const config::UserEntry& entry) {
        if (entry.name != name)
            return;
        if (entry.password != password) {
            ++check.refusals;
            return;
        }
        check.loggedIn = true;
        check.operatorName = entry.name;
    });
    return check;
}

} // namespace tirvon::station
