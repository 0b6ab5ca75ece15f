// gsm-sim: a simulated GSM modem on a pseudo-terminal, the station's partner in tests and demos.

#include "controller_list.h"
#include "simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void forwardSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the destructors remove the link and the socket.
void quitOnTerminationSignals(QCoreApplication& app) {
    if (::pipe(signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, forwardSignal);
    std::signal(SIGINT, forwardSignal);
    std::signal(SIGPIPE, SIG_IGN); // a control client or stdout reader that went away
}

bool readNumber(const QCommandLineParser& parser, const QString& name, int low, int high,
                int& value) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    if (ok && value >= low && value <= high)
        return true;
    std::fprintf(stderr, "gsm-sim: --%s wants a number from %d to %d\n", qPrintable(name), low,
                 high);
    return false;
}

bool loadControllers(const QString& path, QList<gsmsim::ControllerConfig>& controllers) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "gsm-sim: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    const auto parsed = gsmsim::parseControllerList(file.readAll());
    if (const auto* error = std::get_if<gsmsim::ControllerListError>(&parsed)) {
        std::fprintf(stderr, "gsm-sim: %s:%d: %s\n", qPrintable(path), error->line,
                     qPrintable(error->message));
        return false;
    }
    controllers = std::get<QList<gsmsim::ControllerConfig>>(parsed);
    if (controllers.isEmpty()) {
        std::fprintf(stderr, "gsm-sim: %s names no controller\n", qPrintable(path));
        return false;
    }
    return true;
}

// The seed drives the controllers, the chunks of paced output and the unsolicited lines;
// --report-every only makes sense with --controllers.
bool readScenario(const QCommandLineParser& parser, gsmsim::SimulatorOptions& options) {
    const QString seedOption = QStringLiteral("scenario-seed");
    const QString everyOption = QStringLiteral("report-every");
    if (parser.isSet(seedOption)) {
        bool ok = false;
        options.park.seed = parser.value(seedOption).toUInt(&ok);
        if (!ok) {
            std::fprintf(stderr, "gsm-sim: --scenario-seed wants a number from 0 to 4294967295\n");
            return false;
        }
    }
    options.lineSeed = options.park.seed;
    options.modem.unsolicitedSeed = options.park.seed;
    if (!parser.isSet(QStringLiteral("controllers"))) {
        if (!parser.isSet(everyOption))
            return true;
        std::fprintf(stderr, "gsm-sim: --report-every needs --controllers\n");
        return false;
    }
    return loadControllers(parser.value(QStringLiteral("controllers")), options.controllers) &&
           readNumber(parser, everyOption, 0, 86400, options.park.reportEveryTicks);
}

// --profile takes one name or a comma list and may be repeated; the profiles add up.
bool readProfiles(const QCommandLineParser& parser, gsmsim::ModemSettings& modem) {
    for (const QString& value : parser.values(QStringLiteral("profile"))) {
        for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (gsmsim::applyDeviceProfile(name.trimmed().toLatin1(), modem))
                continue;
            std::fprintf(stderr, "gsm-sim: unknown --profile %s; known: %s\n",
                         qPrintable(name.trimmed()),
                         gsmsim::deviceProfileNames().join(", ").constData());
            return false;
        }
    }
    return true;
}

QList<QByteArray> toBytes(const QStringList& texts) {
    QList<QByteArray> bytes;
    for (const QString& text : texts)
        bytes.append(text.toLocal8Bit());
    return bytes;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated GSM modem on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Symbolic link to the port."), "path"},
        {QStringLiteral("received"), QStringLiteral("Append every byte received."), "file"},
        {QStringLiteral("transcript"), QStringLiteral("Append a readable transcript."), "file"},
        {QStringLiteral("control"), QStringLiteral("UNIX socket for control lines."), "path"},
        {QStringLiteral("no-stdin"), QStringLiteral("Do not read control lines from stdin.")},
        {QStringLiteral("echo-off"), QStringLiteral("Power on (and ATZ) with echo off.")},
        {QStringLiteral("silent"), QStringLiteral("Never answer commands with this prefix."),
         "cmd"},
        {QStringLiteral("error"), QStringLiteral("Answer ERROR to commands with this prefix."),
         "cmd"},
        {QStringLiteral("maker"), QStringLiteral("Answer to AT+CGMI."), "text"},
        {QStringLiteral("model"), QStringLiteral("Answer to AT+CGMM."), "text"},
        {QStringLiteral("csq"), QStringLiteral("Signal strength of AT+CSQ (0..31, 99)."), "n"},
        {QStringLiteral("capacity"), QStringLiteral("Size of the SMS store (default 30)."), "n"},
        {QStringLiteral("controllers"),
         QStringLiteral("Simulated controllers, one a line: phone password [name]."), "file"},
        {QStringLiteral("scenario-seed"),
         QStringLiteral("Seed of the controllers' events, of paced output's chunks and of "
                        "unsolicited lines (default 1)."),
         "n"},
        {QStringLiteral("report-every"),
         QStringLiteral("Mean seconds between the controllers' own events, 0 for none "
                        "(default 20)."),
         "n"},
        {QStringLiteral("baud"),
         QStringLiteral("Pace the output as a serial line of this rate; 0: unpaced (default)."),
         "n"},
        {QStringLiteral("profile"),
         QStringLiteral("Answer in the forms of a device profile: quoted-alpha, "
                        "detailed-headers, blank-lines, unsolicited, compact-csq; repeatable."),
         "names"},
    });
    parser.process(app);

    gsmsim::SimulatorOptions options;
    options.linkPath = parser.value(QStringLiteral("link"));
    options.receivedPath = parser.value(QStringLiteral("received"));
    options.transcriptPath = parser.value(QStringLiteral("transcript"));
    options.controlPath = parser.value(QStringLiteral("control"));
    options.controlOnStdin = !parser.isSet(QStringLiteral("no-stdin"));
    gsmsim::ModemSettings& modem = options.modem;
    modem.echoAtPowerOn = !parser.isSet(QStringLiteral("echo-off"));
    modem.silentCommands = toBytes(parser.values(QStringLiteral("silent")));
    modem.errorCommands = toBytes(parser.values(QStringLiteral("error")));
    if (parser.isSet(QStringLiteral("maker")))
        modem.maker = parser.value(QStringLiteral("maker")).toLocal8Bit();
    if (parser.isSet(QStringLiteral("model")))
        modem.model = parser.value(QStringLiteral("model")).toLocal8Bit();
    if (!readNumber(parser, QStringLiteral("csq"), 0, 99, modem.signalQuality) ||
        !readNumber(parser, QStringLiteral("capacity"), 1, 1000, modem.storeCapacity) ||
        !readNumber(parser, QStringLiteral("baud"), 0, 4000000, options.baud) ||
        !readProfiles(parser, modem) || !readScenario(parser, options))
        return 2;

    quitOnTerminationSignals(app);
    gsmsim::Simulator simulator(options);
    QObject::connect(&simulator, &gsmsim::Simulator::quitRequested, &app, &QCoreApplication::quit);
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "gsm-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("READY %s\n", qPrintable(simulator.portPath()));
    std::fflush(stdout);
    return app.exec();
}
