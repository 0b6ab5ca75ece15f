#pragma once

#include <QString>
#include <stdexcept>

namespace tirvon::log {

// A failure of the log database: a table that is missing, damaged or in use by
// a running station, a record out of range, a write the disk refused. The
// message names the table; the programs show it as it stands.
class LogError : public std::runtime_error {
public:
    explicit LogError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

} // namespace tirvon::log
