#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The bytes of a file as they are now; nothing for a file that cannot be read.
inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
