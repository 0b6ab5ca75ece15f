// The INI reader on arbitrary bytes: a file edited by hand may hold anything.
// Whatever it holds, reading never crashes, values keep their limits, and a
// file written back reads the same.
#include "ini/IniDocument.h"
#include "ini/IniFile.h"

#include <cstdint>
#include <cstdlib>

using tirvon::ini::IniDocument;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first line names a section and a key to look up and to write; the
    // rest is the file.
    const qsizetype nl = bytes.indexOf('\n');
    const QByteArray query = nl < 0 ? bytes.left(16) : bytes.left(nl);
    const QByteArray content = nl < 0 ? bytes : bytes.mid(nl + 1);
    const qsizetype eq = query.indexOf('=');
    const QByteArray section = eq < 0 ? query : query.left(eq);
    const QByteArray key = eq < 0 ? QByteArray("Name") : query.mid(eq + 1);

    IniDocument doc = IniDocument::parse(content);
    const auto value = doc.value(section, key);
    check(!value || value->size() <= IniDocument::MaxValueLength);
    check(!value || doc.hasKey(section, key));
    check(!doc.hasKey(section, key) || doc.hasSection(section));
    tirvon::ini::parseInteger(value.value_or(QByteArray()));

    // Written back, the file reads the same.
    const IniDocument again = IniDocument::parse(doc.serialize());
    check(again.value(section, key) == value);
    check(again.hasSection(section) == doc.hasSection(section));

    // A write lands where a reader finds it, and adds no section but its own.
    doc.setValue(section, key, content.left(64));
    if (!IniDocument::sectionName(section).isEmpty() && !IniDocument::keyName(key).isEmpty()) {
        check(doc.hasKey(section, key));
        const auto written = doc.value(section, key);
        check(written && !written->contains('\r') && !written->contains('\n'));
    }
    doc.removeSection(section);
    IniDocument::parse(doc.serialize());
    return 0;
}
