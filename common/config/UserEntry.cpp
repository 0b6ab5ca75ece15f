#include "config/UserEntry.h"

#include "ini/IniDocument.h"
#include "text/Cp1251.h"

namespace tirvon::config {

using text::copy;
using text::pos;
using text::remove;

UserEntry UserEntry::parse(const QByteArray& value) {
    if (value == Empty)
        return {Empty, Empty, Empty};
    // Cut as the classic string routines cut: a missing separator leaves an
    // empty field (and such an account can never log in).
    UserEntry entry;
    QByteArray rest = value;
    qsizetype at = pos("::", rest);
    entry.name = copy(rest, 1, at - 1);
    remove(rest, 1, at + 1);
    at = pos(":::", rest);
    entry.password = copy(rest, 1, at - 1);
    remove(rest, 1, at + 2);
    entry.keyCode = rest;
    return entry;
}

QByteArray UserEntry::format() const {
    return name + "::" + password + ":::" + keyCode;
}

UserEntry UserEntry::readBack() const {
    ini::IniDocument stored;
    stored.setValue("S", "K", format());
    return parse(stored.value("S", "K").value_or(QByteArray()));
}

} // namespace tirvon::config
