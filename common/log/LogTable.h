#pragma once

#include "log/LogError.h"
#include "log/LogLayout.h"
#include "log/LogRecord.h"
#include "log/TableFiles.h"

#include <QString>
#include <memory>

namespace tirvon::log {

class DbfFile;

// The file of a table: folder + name, with ".dbf" added when the name has no
// extension (a table created as LOG is the file LOG.dbf).
QString tablePath(const QString& folder, const QString& tableName);

// One log table: a dBASE III file in code page 1251 with the fields BANK C250,
// TIME C8, TIMEO C8, DATE C8, MAIL C250, ALARM L1, ADMIN C250.
//
// A table opened for appending is locked against a second writer and against
// re-creation and deletion until it is closed. Each append is on disk (in the
// operating system) with the header counting it before append() returns, so a
// crash of the program loses at most the record being written.
class LogTable {
public:
    enum class Access { Append, ReadOnly };

    // Creates an empty log table, replacing a file of that name; LogError when
    // the file cannot be made or the table it would replace is in use.
    static void create(const QString& path);
    // Deletes a table; LogError when it is missing or in use.
    static void remove(const QString& path);
    // LogError for a missing file, a file that is not a dBASE table or lacks the
    // log fields, and, for appending, a table already in use.
    static std::unique_ptr<LogTable> open(const QString& path, Access access = Access::Append);

    ~LogTable();
    LogTable(const LogTable&) = delete;
    LogTable& operator=(const LogTable&) = delete;

    QString path() const { return path_; }
    Access access() const { return access_; }
    int recordCount() const;
    // The stored record, index from 0; LogError when out of range or unreadable.
    LogRecord record(int index) const;
    // Appends one record, each text cut to its field's size in bytes. LogError
    // when the disk refuses the write; the table then counts what it counted
    // before and stays usable.
    void append(const LogRecord& record);
    // Where the fields lie in this table's records.
    const LogLayout& layout() const { return layout_; }
    // Records [first, first + count) as stored, layout().recordLength() bytes
    // each, into `into`; LogError when out of range or unreadable.
    void readRecords(int first, int count, char* into) const;
    // Appends count records given as stored, in this table's layout, with one
    // write; otherwise as append().
    void appendRecords(const char* raw, int count);
    // The records appended since the last sync, and the header counting them,
    // reach the disk itself, against a power failure; LogError when the disk
    // refuses. Costs nothing when nothing was appended.
    void sync();

private:
    LogTable(QString path, Access access, UniqueFd fd, LogLayout layout,
             std::unique_ptr<DbfFile> file);

    QString path_;
    Access access_;
    UniqueFd fd_;
    LogLayout layout_;
    std::unique_ptr<DbfFile> file_;
    bool unsynced_ = false;
};

// The copy of the whole log made for the archive and the statistics: a new log
// table at targetPath, replacing one of that name, with every record of source
// in order. Empty fields get replacement values: TIME "No Name"; TIMEO, DATE,
// MAIL and ADMIN "None"; BANK stays empty. ALARM is false in every copy. The
// copy takes its place only when complete; until then a table of that name
// stays as it was.
void copyTable(const LogTable& source, const QString& targetPath);

} // namespace tirvon::log
