#pragma once

#include <QByteArray>

namespace tirvon::log {

// One event of the log, every text in code page 1251: the object's name, the
// time of arrival and of sending (hh:mm:ss), the date (dd.mm.yy), what happened,
// the report mark of a statistics copy and the operator on duty.
struct LogRecord {
    QByteArray bank, time, timeo, date, mail;
    bool alarm = false;
    QByteArray admin;

    bool operator==(const LogRecord&) const = default;
};

} // namespace tirvon::log
