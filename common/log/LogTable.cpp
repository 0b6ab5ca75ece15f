#include "log/LogTable.h"
#include "log/DbfFile.h"
#include "log/DbfHeader.h"

#include <QDate>

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tirvon::log {

namespace {

// shapelib must see the table as the header check saw it: the same field
// positions and record length, and for a writer, who holds the lock, the same
// count.
bool agrees(const DbfFile& file, const DbfHeader& header, bool writing) {
    if ((writing && file.recordCount() != header.recordCount) ||
        file.recordLength() != header.recordLength || file.headerLength() != header.headerLength ||
        file.fieldCount() != int(header.fields.size()))
        return false;
    for (int i = 0; i < file.fieldCount(); ++i) {
        if (file.fieldOffset(i) != header.fields[size_t(i)].offset ||
            file.fieldSize(i) != header.fields[size_t(i)].size)
            return false;
    }
    return true;
}

// Records moved by one read and one write of a copy: a few megabytes.
constexpr int CopyBlockRecords = 1024;

// What a copy puts into a field that is empty in the log.
QByteArrayView copyFiller(LogField field) {
    switch (field) {
    case LogField::Bank:
    case LogField::Alarm:
        return {};
    case LogField::Time:
        return "No Name";
    case LogField::TimeO:
    case LogField::Date:
    case LogField::Mail:
    case LogField::Admin:
        break;
    }
    return "None";
}

// One record of a copy, in the copy's layout, from a record of the log in its
// own: each text as the log holds it without its trailing blanks, cut to the
// copy's field and padded with blanks, its filler when empty; the mark false;
// not deleted, whatever the log's record was. The same bytes as decoding the
// log's record, filling and clearing it, and encoding it for the copy.
void copyRecord(const LogLayout& from, const char* raw, const LogLayout& to, char* out) {
    std::memset(out, ' ', size_t(to.recordLength()));
    for (int i = 0; i < LogFieldCount; ++i) {
        const auto field = LogField(i);
        const DbfField& place = to.field(field);
        if (field == LogField::Alarm) {
            out[place.offset] = LogLayout::alarmByte(false);
            continue;
        }
        QByteArrayView text = from.text(raw, field);
        if (text.isEmpty())
            text = copyFiller(field);
        if (!text.isEmpty())
            std::memcpy(out + place.offset, text.data(),
                        size_t(qMin(text.size(), qsizetype(place.size))));
    }
}

} // namespace

QString tablePath(const QString& folder, const QString& tableName) {
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += tableName;
    if (!QFileInfo(tableName).fileName().contains(QLatin1Char('.')))
        path += QStringLiteral(".dbf");
    return path;
}

void LogTable::create(const QString& path) {
    NewTableFile file(path);
    if (const int error = DbfFile::create(file.fd(), logFields(), QDate::currentDate()))
        throw LogError(
            QStringLiteral("Cannot create table %1: %2").arg(path, systemMessage(error)));
    file.install();
}

void LogTable::remove(const QString& path) {
    removeTableFile(path);
}

std::unique_ptr<LogTable> LogTable::open(const QString& path, Access access) {
    const bool writing = access == Access::Append;
    UniqueFd fd = openTableFile(path, writing);
    const DbfHeader header = DbfHeader::read(fd.get(), path);
    LogLayout layout = LogLayout::of(header, path);
    std::unique_ptr<DbfFile> file = DbfFile::open(fd.get(), writing);
    if (!file || !agrees(*file, header, writing))
        throw LogError(QStringLiteral("Table %1 is not a readable dBASE table").arg(path));
    if (writing)
        file->setModifiedDate(QDate::currentDate());
    else
        file->pinRecordCount(header.recordCount);
    return std::unique_ptr<LogTable>(
        new LogTable(path, access, std::move(fd), std::move(layout), std::move(file)));
}

LogTable::LogTable(QString path, Access access, UniqueFd fd, LogLayout layout,
                   std::unique_ptr<DbfFile> file)
    : path_(std::move(path)), access_(access), fd_(std::move(fd)), layout_(std::move(layout)),
      file_(std::move(file)) {}

// The shapelib handle goes before the descriptor it works on.
LogTable::~LogTable() {
    file_.reset();
}

int LogTable::recordCount() const {
    return file_->recordCount();
}

LogRecord LogTable::record(int index) const {
    if (index < 0 || index >= recordCount())
        throw LogError(QStringLiteral("Record %1 is out of range: table %2 has %3 records")
                           .arg(index)
                           .arg(path_)
                           .arg(recordCount()));
    const char* raw = file_->record(index);
    if (!raw)
        throw LogError(QStringLiteral("Cannot read record %1 of table %2").arg(index).arg(path_));
    return layout_.decode(raw);
}

void LogTable::append(const LogRecord& record) {
    if (access_ != Access::Append)
        throw LogError(QStringLiteral("Table %1 is open for reading only").arg(path_));
    if (const int error = file_->append(layout_.encode(record)))
        throw LogError(
            QStringLiteral("Cannot write to table %1: %2").arg(path_, systemMessage(error)));
    unsynced_ = true;
}

void LogTable::sync() {
    if (!unsynced_)
        return;
    if (::fsync(fd_.get()) != 0)
        throw LogError(
            QStringLiteral("Cannot write to table %1: %2").arg(path_, systemMessage(errno)));
    unsynced_ = false;
}

void LogTable::readRecords(int first, int count, char* into) const {
    if (first < 0 || count < 0 || count > recordCount() - first)
        throw LogError(QStringLiteral("Records %1 to %2 are out of range: table %3 has %4 records")
                           .arg(first)
                           .arg(first + count - 1)
                           .arg(path_)
                           .arg(recordCount()));
    const qint64 length = layout_.recordLength();
    if (!readFully(fd_.get(), into, length * count, file_->headerLength() + length * first))
        throw LogError(QStringLiteral("Cannot read records %1 to %2 of table %3: %4")
                           .arg(first)
                           .arg(first + count - 1)
                           .arg(path_, systemMessage(errno)));
}

void LogTable::appendRecords(const char* raw, int count) {
    if (access_ != Access::Append)
        throw LogError(QStringLiteral("Table %1 is open for reading only").arg(path_));
    if (const int error = file_->appendRecords(raw, count))
        throw LogError(
            QStringLiteral("Cannot write to table %1: %2").arg(path_, systemMessage(error)));
    unsynced_ = unsynced_ || count > 0;
}

// Block by block: one read of many records from the log, each turned into the
// copy's record in memory, one write of them all, so that a million records
// cost a few thousand system calls instead of millions; each block goes on its
// way to the disk while the next is made, so that the sync before the copy
// takes its place has little left to wait for. The polling is stopped meanwhile.
void copyTable(const LogTable& source, const QString& targetPath) {
    NewTableFile file(targetPath);
    if (const int error = DbfFile::create(file.fd(), logFields(), QDate::currentDate()))
        throw LogError(
            QStringLiteral("Cannot create table %1: %2").arg(targetPath, systemMessage(error)));
    {
        const auto copy = LogTable::open(file.path(), LogTable::Access::Append);
        const LogLayout& from = source.layout();
        const LogLayout& to = copy->layout();
        const int count = source.recordCount();
        const int block = qMin(count, CopyBlockRecords);
        QByteArray in(qsizetype(block) * from.recordLength(), Qt::Uninitialized);
        QByteArray out(qsizetype(block) * to.recordLength(), Qt::Uninitialized);
        for (int first = 0; first < count; first += block) {
            const int n = qMin(block, count - first);
            source.readRecords(first, n, in.data());
            for (int i = 0; i < n; ++i)
                copyRecord(from, in.constData() + qsizetype(i) * from.recordLength(), to,
                           out.data() + qsizetype(i) * to.recordLength());
            copy->appendRecords(out.constData(), n);
            file.startWriteback();
        }
    }
    file.install();
}

} // namespace tirvon::log
