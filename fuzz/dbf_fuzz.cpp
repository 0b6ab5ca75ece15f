// The header check and the record decoding of a log table on arbitrary bytes, in
// memory: a table copied from elsewhere, cut short or damaged may hold anything.
// A header the check accepts keeps every field inside the record and every
// record inside the file; the records of a table with the log's fields decode
// to texts that fit their fields, and encoding a decoded record gives a record
// that decodes the same.
#include "FuzzCheck.h"
#include "log/DbfHeader.h"
#include "log/LogError.h"
#include "log/LogLayout.h"

#include <cstdint>

using namespace tirvon::log;

namespace {

const QString Path = QStringLiteral("fuzz.dbf");

void checkHeader(const DbfHeader& header, qint64 fileSize) {
    FUZZ_CHECK(header.headerLength >= DbfHeader::PrefixSize + DbfHeader::DescriptorSize);
    FUZZ_CHECK(header.recordCount >= 0);
    FUZZ_CHECK(qint64(header.headerLength) + qint64(header.recordLength) * header.recordCount <=
               fileSize);
    FUZZ_CHECK(!header.fields.empty());
    int end = 1; // the deletion mark
    for (const DbfField& f : header.fields) {
        FUZZ_CHECK(f.offset == end && f.size > 0 && !f.name.isEmpty() && f.name.size() <= 11);
        end += f.size;
    }
    FUZZ_CHECK(end <= header.recordLength);
}

void checkRecord(const LogLayout& layout, const DbfHeader& header, const char* raw) {
    const LogRecord record = layout.decode(raw);
    for (int i = 0; i < LogFieldCount; ++i) {
        const auto field = LogField(i);
        if (field == LogField::Alarm)
            continue;
        const QByteArray& text = record.text(field);
        FUZZ_CHECK(text.size() <= header.field(logFields()[size_t(i)].name)->size);
        FUZZ_CHECK(!text.endsWith(' ') && !text.endsWith('\0'));
        FUZZ_CHECK(layout.text(raw, field) == text);
    }
    const QByteArray encoded = layout.encode(record);
    FUZZ_CHECK(encoded.size() == layout.recordLength() && encoded[0] == ' ');
    FUZZ_CHECK(layout.decode(encoded.constData()) == record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The header's own length limits what must be read; the rest is the table.
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    DbfHeader header;
    try {
        header = DbfHeader::parse(file, qint64(size), Path);
    } catch (const LogError&) {
        return 0;
    }
    checkHeader(header, qint64(size));
    LogLayout layout;
    try {
        layout = LogLayout::of(header, Path);
    } catch (const LogError&) {
        return 0;
    }
    FUZZ_CHECK(layout.recordLength() == header.recordLength);
    for (int i = 0; i < header.recordCount; ++i)
        checkRecord(layout, header,
                    file.constData() + header.headerLength + qint64(i) * header.recordLength);
    return 0;
}
