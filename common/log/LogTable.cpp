#include "log/LogTable.h"
#include "log/DbfFile.h"
#include "log/DbfHeader.h"

#include <QDate>

#include <QFileInfo>
#include <cerrno>
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

void copyTable(const LogTable& source, const QString& targetPath) {
    NewTableFile file(targetPath);
    if (const int error = DbfFile::create(file.fd(), logFields(), QDate::currentDate()))
        throw LogError(
            QStringLiteral("Cannot create table %1: %2").arg(targetPath, systemMessage(error)));
    {
        const auto copy = LogTable::open(file.path(), LogTable::Access::Append);
        const int count = source.recordCount();
        for (int i = 0; i < count; ++i) {
            LogRecord r = source.record(i);
            if (r.time.isEmpty())
                r.time = "No Name";
            for (QByteArray* text : {&r.timeo, &r.date, &r.mail, &r.admin}) {
                if (text->isEmpty())
                    *text = "None";
            }
            r.alarm = false;
            copy->append(r);
        }
    }
    file.install();
}

} // namespace tirvon::log
