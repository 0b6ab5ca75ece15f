// Processor time of an idle station: the real vartel polling the simulated
// modem, measured from /proc over a quiet period. The station runs on a display
// of its own (Xvfb), where xdotool logs the operator in.
//   idle_cpu_bench [seconds]   (default 60)
#include "log/AliasStore.h"
#include "log/LogTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

// User plus system time of a process, in clock ticks.
long long cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name in parentheses; utime and stime are the
    // 14th and 15th fields of the line.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    QTemporaryDir dir;
    const QString programDir = dir.path() + '/';
    // The station's files lie beside its executable, so it runs from a copy.
    QFile::copy(QStringLiteral(VARTEL_PATH), programDir + QStringLiteral("vartel"));
    QFile ini(programDir + QStringLiteral("Vave_vev.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(
        "[BaseStation]\r\nCOMPort=1\r\nInit1=AT+CMGF=1\r\nInit2=AT+CPMS=\"ME\",\"ME\",\"MT\"\r\n"
        "Init3=AT+CSNS=0\r\nInit4=AT+CLIP=1\r\nUSER1=op::pw:::\r\nBASE=log.dbf\r\n"
        "[Bank1]\r\nName=ATM 1\r\nPhone=79160000001\r\n");
    ini.close();
    const QString configHome = dir.filePath(QStringLiteral("config"));
    tirvon::log::AliasStore(configHome + QStringLiteral("/tirvon/aliases.ini"))
        .add(tirvon::log::LogAlias, programDir);
    tirvon::log::LogTable::create(programDir + QStringLiteral("log.dbf"));

    QProcess display;
    display.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!display.waitForReadyRead(10000)) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    const QString displayName =
        QLatin1Char(':') + QString::fromLatin1(display.readLine().trimmed());

    QProcess modem;
    modem.start(QStringLiteral(GSM_SIM_PATH),
                {QStringLiteral("--link"), programDir + QStringLiteral("COM1"),
                 QStringLiteral("--received"), programDir + QStringLiteral("received.bin"),
                 QStringLiteral("--no-stdin")});
    if (!modem.waitForReadyRead(10000) || !modem.readLine().startsWith("READY")) {
        std::fprintf(stderr, "gsm-sim did not start\n");
        return 1;
    }

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), displayName);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    station.setProcessEnvironment(env);
    station.start(programDir + QStringLiteral("vartel"));
    if (!station.waitForStarted()) {
        std::fprintf(stderr, "vartel did not start\n");
        return 1;
    }
    // The operator picks the account and types the password.
    const auto xdotool = [&displayName](const QStringList& arguments) {
        QProcess tool;
        QProcessEnvironment toolEnv = QProcessEnvironment::systemEnvironment();
        toolEnv.insert(QStringLiteral("DISPLAY"), displayName);
        tool.setProcessEnvironment(toolEnv);
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(20000);
        return tool.readAllStandardOutput().trimmed();
    };
    const QString window = QString::fromLatin1(
        xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                 QStringLiteral("Авторизация администратора")})
            .split('\n')
            .first());
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Down")});
    xdotool({QStringLiteral("type"), QStringLiteral("--window"), window, QStringLiteral("pw")});
    xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Return")});
    // The window closes on the key press; Xvfb then keeps the key down and
    // repeats it for ever, dozens of key events a second to the station.
    xdotool({QStringLiteral("keyup"), QStringLiteral("Return")});
    QThread::sleep(8); // modem start-up over
    const long long before = cpuTicks(station.processId());
    QThread::sleep(seconds);
    const long long after = cpuTicks(station.processId());
    QFile received(programDir + QStringLiteral("received.bin"));
    received.open(QIODevice::ReadOnly);
    const int listings = received.readAll().count("at+cmgl=all\r\n");

    station.kill();
    station.waitForFinished();
    modem.terminate();
    modem.waitForFinished();
    display.terminate();
    display.waitForFinished();
    if (before < 0 || after < 0) {
        std::fprintf(stderr, "vartel ended early\n");
        return 1;
    }
    const double cpuSeconds = double(after - before) / double(sysconf(_SC_CLK_TCK));
    std::printf("idle station over %d s: %.2f s of processor time = %.3f %% of one core "
                "(target at most 0.5 %%); %d listings answered by the modem\n",
                seconds, cpuSeconds, 100.0 * cpuSeconds / seconds, listings);
    return 0;
}
