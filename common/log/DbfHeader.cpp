#include "log/DbfHeader.h"
#include "log/LogError.h"
#include "log/TableFiles.h"

#include <cerrno>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tirvon::log {

namespace {

quint32 littleEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

[[noreturn]] void damaged(const QString& path, const QString& reason) {
    throw LogError(QStringLiteral("Table %1 is not a readable dBASE table: %2").arg(path, reason));
}

// Reads exactly size bytes at offset, fewer only at the end of the file.
QByteArray readAt(int fd, qint64 offset, int size, const QString& path) {
    QByteArray bytes(size, '\0');
    int done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw LogError(
                QStringLiteral("Cannot read table %1: %2").arg(path, systemMessage(errno)));
        if (n == 0)
            break;
        done += int(n);
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace

DbfHeader DbfHeader::parse(const QByteArray& start, qint64 fileSize, const QString& path) {
    if (start.size() < PrefixSize || fileSize < PrefixSize)
        damaged(path, QStringLiteral("shorter than a header"));
    // Level 3 of the format (dBASE III and its successors, with or without memo).
    if ((quint8(start[0]) & 0x07) != 3)
        damaged(path, QStringLiteral("unknown version byte %1").arg(quint8(start[0])));

    DbfHeader header;
    header.headerLength = int(littleEndian(start, 8, 2));
    header.recordLength = int(littleEndian(start, 10, 2));
    header.languageDriver = quint8(start[29]);
    const quint32 count = littleEndian(start, 4, 4);
    if (count > quint32(std::numeric_limits<int>::max()))
        damaged(path, QStringLiteral("record count %1 out of range").arg(count));
    header.recordCount = int(count);

    if (header.headerLength < PrefixSize + DescriptorSize)
        damaged(path, QStringLiteral("header length %1 leaves no field").arg(header.headerLength));
    if (start.size() < header.headerLength || fileSize < header.headerLength)
        damaged(path, QStringLiteral("header longer than the file"));

    // Every 32-byte slot of the header up to its length is a field descriptor;
    // what is left over must begin with the end mark.
    const int descriptors = (header.headerLength - PrefixSize) / DescriptorSize;
    int offset = 1;
    for (int i = 0; i < descriptors; ++i) {
        const int at = PrefixSize + i * DescriptorSize;
        if (start[at] == DescriptorEnd)
            damaged(path, QStringLiteral("field list ends before the header does"));
        DbfField field;
        const QByteArray nameBytes = start.mid(at, 11);
        const qsizetype nul = nameBytes.indexOf('\0');
        field.name = nul < 0 ? nameBytes : nameBytes.left(nul);
        field.type = start[at + 11];
        field.size = quint8(start[at + 16]);
        field.offset = offset;
        if (field.name.isEmpty() || field.size == 0)
            damaged(path, QStringLiteral("field %1 has no name or no size").arg(i + 1));
        offset += field.size;
        header.fields.push_back(field);
    }
    const int rest = PrefixSize + descriptors * DescriptorSize;
    if (rest < header.headerLength && start[rest] != DescriptorEnd)
        damaged(path, QStringLiteral("field list without its end mark"));
    if (offset > header.recordLength)
        damaged(path, QStringLiteral("fields of %1 bytes in records of %2")
                          .arg(offset)
                          .arg(header.recordLength));

    const qint64 needed =
        qint64(header.headerLength) + qint64(header.recordLength) * header.recordCount;
    if (fileSize < needed)
        damaged(path, QStringLiteral("the header counts %1 records, the file holds fewer")
                          .arg(header.recordCount));
    return header;
}

DbfHeader DbfHeader::read(int fd, const QString& path) {
    const QByteArray prefix = readAt(fd, 0, PrefixSize, path);
    if (prefix.size() < PrefixSize)
        damaged(path, QStringLiteral("shorter than a header"));
    const int length = int(littleEndian(prefix, 8, 2));
    const QByteArray start = length > PrefixSize ? readAt(fd, 0, length, path) : prefix;
    // The size is taken after the header: a writer puts a record in the file
    // before the header counts it.
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw LogError(QStringLiteral("Cannot read table %1: %2").arg(path, systemMessage(errno)));
    return parse(start, st.st_size, path);
}

const DbfField* DbfHeader::field(const QByteArray& name) const {
    for (const DbfField& f : fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

} // namespace tirvon::log
