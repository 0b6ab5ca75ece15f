#pragma once

#include <QByteArray>

namespace tirvon::log {

// The fields of a log record, in the order of a new table's fields.
enum class LogField { Bank, Time, TimeO, Date, Mail, Alarm, Admin };
inline constexpr int LogFieldCount = 7;

// One event of the log, every text in code page 1251: the object's name, the
// time of arrival and of sending (hh:mm:ss), the date (dd.mm.yy), what happened,
// the report mark of a statistics copy and the operator on duty.
struct LogRecord {
    QByteArray bank, time, timeo, date, mail;
    bool alarm = false;
    QByteArray admin;

    bool operator==(const LogRecord&) const = default;
    // The text of a field; empty for ALARM.
    const QByteArray& text(LogField field) const;
};

} // namespace tirvon::log
