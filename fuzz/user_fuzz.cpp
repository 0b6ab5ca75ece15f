// An operator account on arbitrary values: the accounts are stored in the INI
// file, which is edited by hand. Whatever the value, it splits into fields that
// fit in it, an account whose fields allow it writes and reads back as it is,
// and such an account stored in the file reads back the same.
#include "FuzzCheck.h"
#include "config/UserEntry.h"
#include "ini/IniDocument.h"

#include <cstdint>

using tirvon::config::UserEntry;
using tirvon::ini::IniDocument;

namespace {

// The account's fields taken from the input: an input byte 0 ends a field.
UserEntry entryOf(const QByteArray& input) {
    UserEntry e;
    QByteArray* fields[] = {&e.name, &e.password, &e.keyCode};
    qsizetype from = 0;
    for (int i = 0; i < 3; ++i) {
        const qsizetype end = i < 2 ? input.indexOf('\0', from) : -1;
        *fields[i] = input.mid(from, end < 0 ? -1 : end - from);
        if (end < 0)
            break;
        from = end + 1;
    }
    return e;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The stored value reads back unchanged: one line, no outer blanks, no
// enclosing quotes, within the length a reader takes.
bool storesAsIs(const QByteArray& value) {
    if (value.isEmpty())
        return true;
    if (value.contains('\r') || value.contains('\n') || isBlank(value.front()) ||
        isBlank(value.back()) || value.size() > IniDocument::MaxValueLength)
        return false;
    return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
             value.back() == value.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray value(reinterpret_cast<const char*>(data), qsizetype(size));

    const UserEntry parsed = UserEntry::parse(value);
    if (value != UserEntry::Empty) {
        FUZZ_CHECK(parsed.name.size() + parsed.password.size() + parsed.keyCode.size() <=
                   value.size());
        FUZZ_CHECK(value.startsWith(parsed.name) && value.endsWith(parsed.keyCode));
    }

    const UserEntry entry = entryOf(value);
    const bool separable = !entry.name.contains("::") && !entry.name.endsWith(':') &&
                           !entry.password.contains(":::") && !entry.password.endsWith(':');
    if (separable)
        FUZZ_CHECK(UserEntry::parse(entry.format()) == entry);
    // Reading the file back needs a document: only for short entries, to keep
    // the pace.
    if (separable && size <= 64 && storesAsIs(entry.format()))
        FUZZ_CHECK(entry.readBack() == entry);
    return 0;
}
