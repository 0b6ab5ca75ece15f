#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tirvon::log {

// One field as a table's header describes it. The offset counts from the start
// of a record, whose first byte is the deletion mark.
struct DbfField {
    QByteArray name;
    char type = 0;
    int offset = 0;
    int size = 0;
};

// The header of a dBASE III table, checked before anything else trusts it: the
// field descriptors fill the header, every field lies inside the record, and
// the file holds every record the header counts. A file that fails any check is
// refused with a LogError naming the table, so that no later read can go past
// a buffer or past the file's end.
struct DbfHeader {
    static constexpr int PrefixSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr char DescriptorEnd = 0x0d;

    int headerLength = 0;
    int recordLength = 0;
    int recordCount = 0;
    int languageDriver = 0;
    std::vector<DbfField> fields;

    // The header from the first bytes of a file of fileSize bytes; the bytes
    // must reach at least the header's length to be accepted.
    static DbfHeader parse(const QByteArray& start, qint64 fileSize, const QString& path);
    // The header of the file open on fd.
    static DbfHeader read(int fd, const QString& path);

    // The field of that name (compared without case), nullptr when absent.
    const DbfField* field(const QByteArray& name) const;
};

} // namespace tirvon::log
