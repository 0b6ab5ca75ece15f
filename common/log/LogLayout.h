#pragma once

#include "log/DbfFile.h"
#include "log/DbfHeader.h"
#include "log/LogRecord.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace tirvon::log {

// The fields of the log table, in the order in which a new table gets them.
std::vector<DbfFieldSpec> logFields();

// Where the log's fields lie in the records of one table (any table that has
// them: extra fields and another order are accepted), and the conversion
// between a record's bytes and a LogRecord.
class LogLayout {
public:
    // LogError when a log field is missing or of another type.
    static LogLayout of(const DbfHeader& header, const QString& path);

    int recordLength() const { return recordLength_; }
    // Where a log field lies in a record and its size.
    const DbfField& field(LogField f) const { return fields_[int(f)]; }
    // raw holds recordLength() bytes. Texts lose their trailing blanks and keep
    // the leading ones; ALARM is true for T, t, Y and y.
    LogRecord decode(const char* raw) const;
    // One text field of raw without its trailing blanks, read in place.
    QByteArrayView text(const char* raw, LogField field) const;
    // Where ALARM lies in a record, and how a mark is stored there.
    int alarmOffset() const { return fields_[int(LogField::Alarm)].offset; }
    static char alarmByte(bool marked) { return marked ? 'T' : 'F'; }
    // A record not marked deleted, each text cut to its field's size in bytes
    // and padded with blanks, fields that the log does not use blank.
    QByteArray encode(const LogRecord& record) const;

    // The member of LogRecord that holds a text field; nullptr for ALARM.
    static QByteArray LogRecord::*member(LogField field);

private:
    std::array<DbfField, LogFieldCount> fields_;
    int recordLength_ = 0;
};

} // namespace tirvon::log
