// Cost of the configuration look-ups the station makes for every report: a phone
// look-up of the last of 99 objects of 40 keys each, with the file parsed afresh
// (cold) and with the kept parse (repeated), and the cost of one key write.
#include "BenchSupport.h"
#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "ini/IniFile.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tirvon;
using tirvon::bench::Clock;
using tirvon::bench::microseconds;

namespace {

QByteArray sampleFile() {
    QByteArray ini = "[BaseStation]\r\nCOMPort=1\r\nService=" + text::cp("Банкомат") + "\r\n";
    for (int n = 1; n <= 99; ++n) {
        ini += "[Bank" + QByteArray::number(n) + "]\r\n";
        ini += "Name=" + text::cp("Банкомат №") + QByteArray::number(n) + "\r\n";
        ini += "Phone=7916000" + QByteArray::number(1000 + n) + "\r\n";
        for (int k = 2; k < 40; ++k)
            ini += "Key" + QByteArray::number(k) + "=" + text::cp("значение ") +
                   QByteArray::number(k) + "\r\n";
    }
    return ini;
}

// Moves the file's time to another moment long past: a new identity, yet a
// settled file whose parse may be kept.
void age(const QByteArray& path, int seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.constData(), times, 0);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(config::FileName));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(sampleFile());
    }
    const QByteArray native = QFile::encodeName(path);
    age(native, 1000);
    ini::IniFile file(path);
    config::ObjectDirectory objects(file);
    const QByteArray lastPhone = "79160001099";

    constexpr int coldRounds = 200;
    auto start = Clock::now();
    for (int i = 0; i < coldRounds; ++i) {
        age(native, 2000 + i);
        if (objects.findByPhone(lastPhone, "none") != 99)
            return 1;
    }
    const double cold = microseconds(Clock::now() - start) / coldRounds;

    constexpr int warmRounds = 20000;
    start = Clock::now();
    for (int i = 0; i < warmRounds; ++i) {
        if (objects.findByPhone(lastPhone, "none") != 99)
            return 1;
    }
    const double repeated = microseconds(Clock::now() - start) / warmRounds;

    constexpr int keyReads = 200000;
    start = Clock::now();
    for (int i = 0; i < keyReads; ++i) {
        if (file.readString("Bank99", "Key39", "").isEmpty())
            return 1;
    }
    const double keyRead = microseconds(Clock::now() - start) / keyReads;

    constexpr int writes = 200;
    start = Clock::now();
    for (int i = 0; i < writes; ++i)
        file.writeString("Bank50", "lIN1", i % 2 ? "OPEN" : "CLOSE");
    const double write = microseconds(Clock::now() - start) / writes;

    std::printf("file: 99 objects x 40 keys, %lld bytes\n", QFile(path).size());
    std::printf("phone look-up of Bank99, cold parse:   %9.1f us\n", cold);
    std::printf("phone look-up of Bank99, kept parse:   %9.1f us  (%.0fx faster)\n", repeated,
                cold / repeated);
    std::printf("one key read, kept parse:              %9.2f us\n", keyRead);
    std::printf("one key write (locked, fsync, rename): %9.1f us\n", write);
    return 0;
}
