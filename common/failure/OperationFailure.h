#pragma once

#include <QString>
#include <stdexcept>

namespace tirvon {

// A failure of a file, of the configuration or of the log that ends the work in
// progress: what was written before stays written, and the message is shown to
// the operator as it stands. The program goes on.
class OperationFailure : public std::runtime_error {
public:
    explicit OperationFailure(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

} // namespace tirvon
