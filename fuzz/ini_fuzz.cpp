// The INI reader on arbitrary bytes: a file edited by hand may hold anything.
// Whatever it holds, reading never crashes, values keep their limits, a file
// written back reads the same and writes back byte for byte, and a write
// touches only the lines it must.
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

    // Written back, the file reads the same, and writes back unchanged.
    const QByteArray written = doc.serialize();
    const IniDocument again = IniDocument::parse(written);
    check(again.value(section, key) == value);
    check(again.hasSection(section) == doc.hasSection(section));
    check(again.serialize() == written);

    // A write lands where a reader finds it: it replaces the key's line, or adds
    // one line, or two with a new section.
    const bool existed = doc.hasKey(section, key);
    const bool sectionExisted = doc.hasSection(section);
    doc.setValue(section, key, content.left(64));
    const QByteArray full = doc.serialize();
    const qsizetype added = full.count("\r\n") - written.count("\r\n");
    check(added >= 0 && added <= 2);
    check(!existed || added == 0);
    check(!sectionExisted || added <= 1);
    if (!IniDocument::sectionName(section).isEmpty() && !IniDocument::keyName(key).isEmpty()) {
        check(doc.hasKey(section, key));
        const auto stored = doc.value(section, key);
        check(stored && !stored->contains('\r') && !stored->contains('\n'));
    }
    // Removing a section takes out one run of lines and leaves the others.
    doc.removeSection(section);
    const QByteArray rest = doc.serialize();
    check(rest.size() <= full.size());
    qsizetype same = 0;
    while (same < rest.size() && rest[same] == full[same])
        ++same;
    qsizetype sameEnd = 0;
    while (sameEnd < rest.size() - same &&
           rest[rest.size() - 1 - sameEnd] == full[full.size() - 1 - sameEnd])
        ++sameEnd;
    check(same + sameEnd == rest.size());
    return 0;
}
