#pragma once

#include "ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

// A Vave_vev.ini of the given bytes in a folder of its own; none when the
// content is null.
struct TempIniFile {
    QTemporaryDir dir;
    tirvon::ini::IniFile file{dir.filePath(QStringLiteral("Vave_vev.ini"))};

    explicit TempIniFile(const QByteArray& content = QByteArray()) {
        if (content.isNull())
            return;
        QFile f(file.path());
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }
};
