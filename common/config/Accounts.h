#pragma once

#include "config/Schema.h"
#include "config/UserEntry.h"

#include <array>
#include <optional>

namespace tirvon::ini {
class IniDocument;
}

namespace tirvon::config {

// The ten operator accounts USER1..USER10 of section BaseStation, as the
// configurator edits them: name, password and key code of each slot.
struct Accounts {
    std::array<UserEntry, key::UserSlots> users;

    // A slot that is absent or holds "None" reads as "None" in all three fields.
    static Accounts load(const ini::IniDocument& doc);
    // Writes all ten entries, USER1 first, each as typed ("None" rows too).
    void save(ini::IniDocument& doc) const;

    bool operator==(const Accounts&) const = default;
};

// A field that would not read back as typed once saved.
struct AccountFault {
    enum class Field { Name, Password, KeyCode };
    int slot = 0; // 1..10
    Field field = Field::Name;
    UserEntry readBack; // what the station would find in the slot
    bool operator==(const AccountFault&) const = default;
};

// The first slot, in slot order, whose entry reads back otherwise than typed,
// with the first of its fields that differs; nothing when every slot is safe to
// store.
std::optional<AccountFault> firstFault(const Accounts& accounts);

} // namespace tirvon::config
