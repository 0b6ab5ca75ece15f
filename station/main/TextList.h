#pragma once

#include "failure/OperationFailure.h"
#include <QByteArray>
#include <QString>

namespace tirvon::station {

// A text list of the program directory could not be written.
class TextListError : public OperationFailure {
public:
    using OperationFailure::OperationFailure;
};

// NotList: appends the line and CR LF to the file of the program directory,
// creating the file when it does not exist. Throws TextListError on failure.
void appendLine(const QString& programDirectory, const QString& fileName, const QByteArray& line);

} // namespace tirvon::station
