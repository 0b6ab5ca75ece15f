#pragma once

#include <QByteArray>

namespace tirvon::config {

// An operator account slot USER1..USER10: name "::" password ":::" key code.
// The whole value "None" stands for an empty slot.
struct UserEntry {
    QByteArray name;
    QByteArray password;
    QByteArray keyCode;

    static inline const QByteArray Empty = "None";

    static UserEntry parse(const QByteArray& value);
    QByteArray format() const;
    bool operator==(const UserEntry&) const = default;
};

} // namespace tirvon::config
