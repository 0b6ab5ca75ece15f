#pragma once

#include <QByteArray>
#include <QDate>
#include <memory>
#include <vector>

namespace tirvon::log {

struct DbfFieldSpec {
    const char* name;
    char type;
    int size;
};

// A dBASE table read and written through shapelib, on a descriptor that the
// caller opened (and, for writing, locked) and keeps open. shapelib reaches the
// file only through this descriptor, unbuffered: nothing is opened, created or
// removed by name behind the caller's back, every write is in the operating
// system when a call returns, and a write the system refuses is seen.
class DbfFile {
public:
    // Writes an empty table with these fields and code page 1251 into the
    // empty file open on fd; 0, or the errno of a write that failed.
    static int create(int fd, const std::vector<DbfFieldSpec>& fields, QDate modified);
    // The table in fd; nullptr when shapelib refuses it. Only a header that
    // DbfHeader accepted may be given.
    static std::unique_ptr<DbfFile> open(int fd, bool writable);
    ~DbfFile();
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    int recordCount() const;
    int recordLength() const;
    int headerLength() const;
    int fieldCount() const;
    int fieldOffset(int field) const;
    int fieldSize(int field) const;

    // The raw record of recordLength() bytes, valid until the next call;
    // nullptr when it cannot be read.
    const char* record(int index) const;
    // Writes one raw record after the last one, then the new record count into
    // the header. On failure returns the errno and leaves both the file's header
    // and this handle counting the records as before.
    int append(const QByteArray& raw);
    // The same for count raw records of recordLength() bytes each, one after
    // the other in raw: one write of them all, then the header.
    int appendRecords(const char* raw, int count);
    void setModifiedDate(QDate date);
    // A reader sees the records that the checked header counted, whatever a
    // writer appended between that check and the opening.
    void pinRecordCount(int count);

private:
    struct Handle;
    explicit DbfFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

} // namespace tirvon::log
