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
    // The entry that a reader of the file gets back once format() is stored:
    // the file's reading rules (outer blanks, enclosing quotes, length) and the
    // cut at the first separators applied. It differs from the entry when a
    // name holds "::" or ends in ":", a password holds ":::" or ends in ":",
    // or the value loses blanks or quotes at its ends.
    UserEntry readBack() const;
    bool operator==(const UserEntry&) const = default;
};

} // namespace tirvon::config
