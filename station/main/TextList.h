#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace tirvon::station {

// A text list of the program directory could not be written.
class TextListError : public std::runtime_error {
public:
    explicit TextListError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// NotList: appends the line and CR LF to the file of the program directory,
// creating the file when it does not exist. Throws TextListError on failure.
void appendLine(const QString& programDirectory, const QString& fileName, const QByteArray& line);

} // namespace tirvon::station
