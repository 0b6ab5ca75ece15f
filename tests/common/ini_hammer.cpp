// Writes keys <prefix>0 .. <prefix><count-1> of one section, one write each, as
// fast as it can: one side of the test of two programs writing one file.
#include "ini/IniFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ini_hammer FILE PREFIX COUNT\n");
        return 2;
    }
    tirvon::ini::IniFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray prefix = argv[2];
    const int count = std::atoi(argv[3]);
    try {
        for (int i = 0; i < count; ++i)
            file.writeString("Shared", prefix + QByteArray::number(i), QByteArray::number(i));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
