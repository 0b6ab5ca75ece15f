#include "config/Accounts.h"

#include "config/ConfiguratorDefaults.h"
#include "ini/IniDocument.h"

namespace tirvon::config {

Accounts Accounts::load(const ini::IniDocument& doc) {
    Accounts accounts;
    for (int slot = 1; slot <= key::UserSlots; ++slot) {
        const QByteArray name = key::user(slot);
        accounts.users[size_t(slot - 1)] =
            UserEntry::parse(doc.value(BaseStation, name).value_or(configurator::defaultOf(name)));
    }
    return accounts;
}

void Accounts::save(ini::IniDocument& doc) const {
    for (int slot = 1; slot <= key::UserSlots; ++slot)
        doc.setValue(BaseStation, key::user(slot), users[size_t(slot - 1)].format());
}

std::optional<AccountFault> firstFault(const Accounts& accounts) {
    using Field = AccountFault::Field;
    for (int slot = 1; slot <= key::UserSlots; ++slot) {
        const UserEntry& typed = accounts.users[size_t(slot - 1)];
        const UserEntry back = typed.readBack();
        if (back == typed)
            continue;
        const Field field = back.name != typed.name           ? Field::Name
                            : back.password != typed.password ? Field::Password
                                                              : Field::KeyCode;
        return AccountFault{slot, field, back};
    }
    return std::nullopt;
}

} // namespace tirvon::config
