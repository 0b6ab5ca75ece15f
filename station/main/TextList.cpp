#include "main/TextList.h"

#include <QFile>

namespace tirvon::station {

void appendLine(const QString& programDirectory, const QString& fileName, const QByteArray& line) {
    QFile file(programDirectory + fileName);
    // One write of the whole line, so a crash leaves no half line behind a
    // complete one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) ||
        file.write(line + "\r\n") != line.size() + 2 || !file.flush())
        throw TextListError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
}

} // namespace tirvon::station
