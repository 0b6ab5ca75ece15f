// The real gsm-sim program over a real pseudo-terminal, opened the way the station opens its
// serial port. Every wait is for I/O and bounded.

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 5000;

// The station's side of the line: raw, 19200 8N1.
class Port {
public:
    explicit Port(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
        if (m_fd < 0)
            return;
        termios settings{};
        tcgetattr(m_fd, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B19200);
        tcsetattr(m_fd, TCSANOW, &settings);
    }
    ~Port() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray& bytes) {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Reads until the bytes end with terminator, or until the deadline; reads counts the reads
    // that returned bytes.
    QByteArray readUntil(const QByteArray& terminator, int* reads = nullptr) {
        QByteArray got;
        QDeadlineTimer deadline(kWaitMs);
        while (!got.endsWith(terminator) && !deadline.hasExpired()) {
            pollfd ready{m_fd, POLLIN, 0};
            if (::poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            char buffer[512];
            const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            got.append(buffer, count);
            if (reads)
                ++*reads;
        }
        return got;
    }

    // Everything that comes within ms; for a modem that should say nothing.
    QByteArray readFor(int ms) {
        QByteArray got;
        QDeadlineTimer deadline(ms);
        pollfd ready{m_fd, POLLIN, 0};
        while (::poll(&ready, 1, static_cast<int>(deadline.remainingTime())) > 0) {
            char buffer[512];
            const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            got.append(buffer, count);
        }
        return got;
    }
    // How a read ends on a port whose device went away: "EOF", "EIO", or what came instead.
    QByteArray readEnd() {
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, kWaitMs) <= 0)
            return "no hang-up";
        char buffer[512];
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count == 0)
            return "EOF";
        if (count < 0)
            return errno == EIO ? "EIO" : "errno " + QByteArray::number(errno);
        return QByteArray(buffer, count);
    }

private:
    int m_fd = -1;
};

QByteArray readLineFrom(QIODevice& device) {
    QDeadlineTimer deadline(kWaitMs);
    while (!device.canReadLine() && device.waitForReadyRead(deadline.remainingTime())) {
    }
    return device.readLine();
}

bool waitUntilReady(QProcess& simulator) {
    return readLineFrom(simulator).startsWith("READY ");
}

} // namespace

class GsmSimProgramTest : public QObject {
    Q_OBJECT

private slots:
    void servesStationAndControlOverPseudoTerminal();
    void replacesStaleLinkAndRemovesItOnTermination();
    void runsControllersFromFile();
    void pacesListingAsSerialLine();
    void staysSilentWhileMuted();
    void restartDropsPacedOutputAndComesBackInPduMode();
    void unplugHangsUpPortAndReplugServesAgain();
    void refusesBadOptions_data();
    void refusesBadOptions();
};

void GsmSimProgramTest::servesStationAndControlOverPseudoTerminal() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM1");
    const QString received = dir.filePath("received.bin");
    const QString control = dir.filePath("control.sock");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--received", received, "--control",
                                         control, "--transcript", dir.filePath("transcript")});
    QVERIFY(waitUntilReady(simulator));

    {
        Port port(link);
        QVERIFY(port.isOpen());
        QVERIFY(port.write("ATZ\r\n"));
        QCOMPARE(port.readUntil("OK\r\n"), QByteArray("ATZ\r\r\nOK\r\n"));
    } // the station closes the port and opens it again later

    QLocalSocket controlSocket;
    controlSocket.connectToServer(control);
    QVERIFY(controlSocket.waitForConnected(kWaitMs));
    controlSocket.write("SMS +79001234567 08/12/31,12:36:00+12 12:32\\nIN3 OPEN\n");
    QCOMPARE(readLineFrom(controlSocket), QByteArray("OK 1\n"));

    Port port(link);
    QVERIFY(port.isOpen());
    QVERIFY(port.write("at+cmgl=all\r\n"));
    QCOMPARE(port.readUntil("\r\n\r\nOK\r\n"),
             QByteArray("at+cmgl=all\r\r\n"
                        "+CMGL: 1,\"REC UNREAD\",\"+79001234567\",,\"08/12/31,12:36:00+12\"\r\n"
                        "12:32\nIN3 OPEN\r\n\r\nOK\r\n"));

    // Unsolicited output reaches the port as soon as the control line is taken.
    controlSocket.write("CALL +79007654321\n");
    QCOMPARE(readLineFrom(controlSocket), QByteArray("OK\n"));
    QCOMPARE(port.readUntil(",0\r\n"),
             QByteArray("\r\nRING\r\n\r\n+CLIP: \"+79007654321\",145,,,,0\r\n"));
    controlSocket.write("HANGUP\n");
    QCOMPARE(readLineFrom(controlSocket), QByteArray("OK\n"));
    QCOMPARE(port.readUntil("CARRIER\r\n"), QByteArray("\r\nNO CARRIER\r\n"));

    // Standard input is a second control channel, answered on standard output.
    simulator.write("STORE\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 1\n"));

    QFile receivedFile(received);
    QVERIFY(receivedFile.open(QIODevice::ReadOnly));
    QCOMPARE(receivedFile.readAll(), QByteArray("ATZ\r\nat+cmgl=all\r\n"));

    controlSocket.write("QUIT\n");
    QCOMPARE(readLineFrom(controlSocket), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void GsmSimProgramTest::replacesStaleLinkAndRemovesItOnTermination() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM2");
    QVERIFY(QFile::link(dir.filePath("gone"), link));
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--echo-off"});
    QVERIFY(waitUntilReady(simulator));
    QVERIFY(QFile::symLinkTarget(link).startsWith("/dev/"));

    Port port(link);
    QVERIFY(port.isOpen());
    QVERIFY(port.write("AT\r\n"));
    QCOMPARE(port.readUntil("OK\r\n"), QByteArray("\r\nOK\r\n"));

    simulator.terminate(); // SIGTERM
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QVERIFY(!QFileInfo(link).isSymLink());
}

// The park's own ticks run on real seconds; the test asks for reports instead of waiting.
void GsmSimProgramTest::runsControllersFromFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile controllers(dir.filePath("controllers.txt"));
    QVERIFY(controllers.open(QIODevice::WriteOnly));
    controllers.write("# phone password name\n79161110001 4071 ATM mall\n79161110002 \"\"\n");
    controllers.close();
    const QString link = dir.filePath("COM1");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--controllers", controllers.fileName(),
                                         "--scenario-seed", "42", "--report-every", "0"});
    QVERIFY(waitUntilReady(simulator));

    simulator.write("CONTROLLERS\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 2\n"));
    QCOMPARE(readLineFrom(simulator), QByteArray("79161110001 4071 armed ATM mall\n"));
    QCOMPARE(readLineFrom(simulator), QByteArray("79161110002 \"\" armed\n"));
    simulator.write("REPORT 79161110002 alarm\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 1\n"));

    Port port(link);
    QVERIFY(port.isOpen());
    QVERIFY(port.write("at+cmgl=all\r\n"));
    const QByteArray listing = port.readUntil("\r\n\r\nOK\r\n");
    // The alarm's input and the controller's time are the scenario's.
    static const QRegularExpression alarmEntry(QStringLiteral(
        "^at\\+cmgl=all\r\r\n\\+CMGL: 1,\"REC UNREAD\",\"\\+79161110002\",,\"[^\"]+\"\r\n"
        "\\d\\d:\\d\\d\nALARM\nIN[1-8] OPEN\r\n\r\nOK\r\n$"));
    QVERIFY2(alarmEntry.match(QString::fromLatin1(listing)).hasMatch(), listing.constData());

    simulator.write("QUIT\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QCOMPARE(simulator.exitCode(), 0);
}

// At 19200 baud the listing comes in reads of a few bytes and takes the line's time: 10 bits a
// character. The profiles given on the command line add up.
void GsmSimProgramTest::pacesListingAsSerialLine() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM1");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE,
                    {"--link", link, "--baud", "19200", "--scenario-seed", "9", "--profile",
                     "quoted-alpha,blank-lines", "--profile", "detailed-headers"});
    QVERIFY(waitUntilReady(simulator));

    QByteArray expected = "at+cmgl=all\r\r\n";
    for (int index = 1; index <= 12; ++index) {
        const QByteArray text = "12:" + QByteArray::number(10 + index) + "\nALARM\nIN" +
                                QByteArray::number(index % 8 + 1) + " OPEN\n" +
                                QByteArray(100 + index, 'A' + index);
        const QByteArray escaped = QByteArray(text).replace('\n', "\\n");
        simulator.write("SMS +7916123450" + QByteArray::number(index % 10) +
                        " 18/12/31,13:30:45+04 " + escaped + '\n');
        QCOMPARE(readLineFrom(simulator), "OK " + QByteArray::number(index) + '\n');
        expected += "\r\n+CMGL: " + QByteArray::number(index) + ",\"REC UNREAD\",\"+7916123450" +
                    QByteArray::number(index % 10) + "\",\"\",\"18/12/31,13:30:45+04\",145," +
                    QByteArray::number(text.size()) + "\r\n" + text + "\r\n";
    }
    expected.remove(expected.indexOf("\r\n+CMGL: 1,"), 2); // the first entry follows the echo
    expected += "\r\nOK\r\n";

    Port port(link);
    QVERIFY(port.isOpen());
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(port.write("at+cmgl=all\r\n"));
    int reads = 0;
    QCOMPARE(port.readUntil("\r\n\r\nOK\r\n", &reads), expected);
    const qint64 wireMs = expected.size() * 10 * 1000 / 19200;
    QVERIFY2(elapsed.elapsed() >= wireMs * 9 / 10 && elapsed.elapsed() <= wireMs + 2000,
             qPrintable(QString("%1 ms for %2 ms on the wire").arg(elapsed.elapsed()).arg(wireMs)));
    QVERIFY2(reads >= expected.size() / 16,
             qPrintable(QString("%1 reads for %2 bytes").arg(reads).arg(expected.size())));

    simulator.write("QUIT\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QCOMPARE(simulator.exitCode(), 0);
}

void GsmSimProgramTest::staysSilentWhileMuted() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM1");
    const QString received = dir.filePath("received.bin");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--received", received});
    QVERIFY(waitUntilReady(simulator));
    Port port(link);
    QVERIFY(port.isOpen());

    simulator.write("MUTE\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(port.write("AT\r\nATE0\r\n"));
    simulator.write("SMS +79001234567 08/12/31,12:36:00+12 12:32\\nIN3 OPEN\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 1\n"));
    simulator.write("CALL +79007654321\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QCOMPARE(port.readFor(500), QByteArray());
    simulator.write("HANGUP\nUNMUTE\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));

    // The echo is still on: ATE0 was not executed.
    QVERIFY(port.write("at+cmgl=all\r\n"));
    QCOMPARE(port.readUntil("\r\n\r\nOK\r\n"),
             QByteArray("at+cmgl=all\r\r\n"
                        "+CMGL: 1,\"REC UNREAD\",\"+79001234567\",,\"08/12/31,12:36:00+12\"\r\n"
                        "12:32\nIN3 OPEN\r\n\r\nOK\r\n"));
    QFile receivedFile(received);
    QVERIFY(receivedFile.open(QIODevice::ReadOnly));
    QCOMPARE(receivedFile.readAll(), QByteArray("AT\r\nATE0\r\nat+cmgl=all\r\n"));

    simulator.write("QUIT\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
}

// A listing on its way at 19200 baud is cut off by the restart; the start-up words follow at
// once, and the modem wants text mode switched on again before it lists.
void GsmSimProgramTest::restartDropsPacedOutputAndComesBackInPduMode() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM1");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--baud", "19200"});
    QVERIFY(waitUntilReady(simulator));
    constexpr int kMessages = 12;
    for (int index = 1; index <= kMessages; ++index) {
        simulator.write("SMS +79161234567 18/12/31,13:30:45+04 " + QByteArray(150, 'A') + '\n');
        QCOMPARE(readLineFrom(simulator), "OK " + QByteArray::number(index) + '\n');
    }
    Port port(link);
    QVERIFY(port.isOpen());
    QVERIFY(port.write("at+cmgl=all\r\n"));
    QByteArray got;
    QDeadlineTimer deadline(kWaitMs);
    while (!got.contains("+CMGL: 2,") && !deadline.hasExpired())
        got += port.readFor(20);
    QVERIFY2(got.contains("+CMGL: 2,"), got.constData());
    simulator.write("RESTART\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    got += port.readUntil("SMS Ready\r\n");
    QVERIFY2(got.endsWith("\r\nRDY\r\n\r\nCall Ready\r\n\r\nSMS Ready\r\n"), got.constData());
    // The second entry was on its way when the line came; the rest of the listing is lost.
    QVERIFY2(!got.contains("+CMGL: 4,"), got.constData());

    QVERIFY(port.write("at+cmgl=all\r\n"));
    QCOMPARE(port.readUntil("302\r\n"), QByteArray("at+cmgl=all\r\r\n+CMS ERROR: 302\r\n"));
    QVERIFY(port.write("AT+CMGF=1\r\n"));
    QCOMPARE(port.readUntil("OK\r\n"), QByteArray("AT+CMGF=1\r\r\nOK\r\n"));
    QVERIFY(port.write("at+cmgl=all\r\n"));
    const QByteArray listing = port.readUntil("\r\n\r\nOK\r\n");
    QVERIFY2(listing.endsWith("\r\n\r\nOK\r\n"), listing.constData());
    QCOMPARE(listing.count("\r\n+CMGL: "), kMessages);

    simulator.write("QUIT\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
}

// A port the station keeps open on the pulled-out device only ever reports the hang-up; a new
// open of the link reaches the modem plugged in again, with the store of before and after.
void GsmSimProgramTest::unplugHangsUpPortAndReplugServesAgain() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("COM1");
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, {"--link", link, "--echo-off"});
    QVERIFY(waitUntilReady(simulator));
    simulator.write("SMS +79001234567 now before\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 1\n"));
    Port old(link);
    QVERIFY(old.isOpen());
    QVERIFY(old.write("ATE1\r\n"));
    QCOMPARE(old.readUntil("OK\r\n"), QByteArray("\r\nOK\r\n"));

    simulator.write("UNPLUG\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(!QFileInfo(link).isSymLink());
    const QByteArray end = old.readEnd();
    QVERIFY2(end == "EOF" || end == "EIO", end.constData());
    QVERIFY(!Port(link).isOpen());
    simulator.write("SMS +79001234567 now while out\nUNPLUG\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK 2\n"));
    QCOMPARE(readLineFrom(simulator), QByteArray("ERROR already unplugged\n"));

    simulator.write("REPLUG\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(QFile::symLinkTarget(link).startsWith("/dev/"));
    Port port(link);
    QVERIFY(port.isOpen());
    QVERIFY(port.write("AT\r\n")); // echo off again, as at power-on
    QCOMPARE(port.readUntil("OK\r\n"), QByteArray("\r\nOK\r\n"));
    QVERIFY(port.write("at+cmgl=all\r\n"));
    const QByteArray listing = port.readUntil("\r\n\r\nOK\r\n");
    QVERIFY2(listing.contains("before\r\n") && listing.contains("while out\r\n"),
             listing.constData());
    const QByteArray stillGone = old.readEnd();
    QVERIFY2(stillGone == "EOF" || stillGone == "EIO", stillGone.constData());

    simulator.write("QUIT\n");
    QCOMPARE(readLineFrom(simulator), QByteArray("OK\n"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void GsmSimProgramTest::refusesBadOptions_data() {
    QTest::addColumn<QByteArray>("file"); // empty: no controllers file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("pace without controllers")
        << QByteArray() << QStringList{"--report-every", "3"} << QByteArray("needs --controllers");
    QTest::newRow("unknown profile")
        << QByteArray() << QStringList{"--profile", "blank-lines,fancy"}
        << QByteArray("unknown --profile fancy");
    QTest::newRow("bad rate") << QByteArray() << QStringList{"--baud", "-300"}
                              << QByteArray("--baud");
    QTest::newRow("bad line") << QByteArray("79161110001 4071\n+7916 1\n") << QStringList{}
                              << QByteArray("controllers.txt:2: the phone is digits");
    QTest::newRow("empty file") << QByteArray("# nobody\n") << QStringList{}
                                << QByteArray("names no controller");
    QTest::newRow("bad seed") << QByteArray("79161110001 4071\n")
                              << QStringList{"--scenario-seed", "-1"}
                              << QByteArray("--scenario-seed");
    QTest::newRow("bad pace") << QByteArray("79161110001 4071\n")
                              << QStringList{"--report-every", "x"} << QByteArray("--report-every");
}

void GsmSimProgramTest::refusesBadOptions() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (!file.isEmpty()) {
        QFile controllers(dir.filePath("controllers.txt"));
        QVERIFY(controllers.open(QIODevice::WriteOnly));
        controllers.write(file);
        options << "--controllers" << controllers.fileName();
    }
    QProcess simulator;
    simulator.start(GSM_SIM_EXECUTABLE, options << "--link" << dir.filePath("COM1"));
    QVERIFY(simulator.waitForFinished(kWaitMs));
    QCOMPARE(simulator.exitCode(), 2);
    const QByteArray error = simulator.readAllStandardError();
    QVERIFY2(error.contains(message), error.constData());
    QVERIFY(!QFileInfo::exists(dir.filePath("COM1")));
}

QTEST_GUILESS_MAIN(GsmSimProgramTest)
#include "tst_gsm_sim_program.moc"
