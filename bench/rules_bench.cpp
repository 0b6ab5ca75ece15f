// A rule pass over an object with 500 rules for one report line, with the
// configuration file's parse kept (it does not change between lines).
#include "modem/ModemExchange.h"
#include "queue/OutgoingQueue.h"
#include "rules/RuleRunner.h"
#include "sound/SoundRequests.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tirvon;
using namespace tirvon::station;

namespace {

class NoLink : public serial::ModemLink {
public:
    bool open(const QString&) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    QString portName() const override { return {}; }
    QString errorString() const override { return {}; }
    void write(const QByteArray&) override {}
    QByteArray read(qint64) override { return {}; }
    serial::LineSignals lineSignals() const override { return {}; }
};

struct NoView : modem::ExchangeView {
    void exchangeEnded(modem::ExchangeOutcome) override {}
    void monitorEntry(const QByteArray&) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vave_vev.ini"));
    QByteArray ini = "[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\nPass=4071\r\n";
    for (int n = 3; n <= 502; ++n)
        ini +=
            "Action" + QByteArray::number(n) + "=" +
            (n == 502 ? QByteArray("IN2 OPEN") : "IN" + QByteArray::number(n % 8 + 1) + " SHORT") +
            "::RELE1 ON !::1::rule " + QByteArray::number(n) + "\r\n";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(ini);
    f.close();
    const timespec past[2] = {{1000, 0}, {1000, 0}}; // a settled file, as in service
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, 0);

    ini::IniFile file(path);
    NoLink link;
    NoView view;
    modem::QtEventPump pump;
    modem::ModemExchange exchange(link, view, pump);
    SoundRequests sounds;
    OutgoingQueue queue(exchange, sounds, [](int) {});
    int logged = 0;
    RuleRunner runner(
        file, queue,
        [&logged](const QByteArray&, const QByteArray&, const QByteArray&, const QByteArray&,
                  const QByteArray&) { ++logged; },
        [] { return QDateTime::currentDateTime(); });

    constexpr int Lines = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Lines; ++i)
        runner.Action("Bank1", "IN2 OPEN"); // matches the last of the 500 rules only
    const double perLine = timer.nsecsElapsed() / 1e3 / Lines;
    std::printf("rule pass over 500 rules for one report line: %.1f us (%d rules run, %d queued)\n",
                perLine, logged, int(queue.size()));
    return 0;
}
