#include "SimulatedModem.h"
#include "TempIniFile.h"
#include "startup/ModemStartup.h"
#include "startup/SignalQuality.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

class RecordingStartupView : public ModemStartupView, public modem::ExchangeView {
public:
    void setGauge(int percent) override { gauge.append(percent); }
    void setResultLine(const QString& text) override { resultLine = text; }
    void setModemName(const QString& text) override { name = text; }
    QString modemName() const override { return name; }
    void inform(const QString& message) override { messages.append(message); }
    void csq(const QByteArray& reply) override { csqReplies.append(reply); }
    void exchangeEnded(modem::ExchangeOutcome) override {}
    void monitorEntry(const QByteArray&) override {}

    QList<int> gauge;
    QString resultLine;
    QString name = QStringLiteral("Неопределен");
    QStringList messages;
    QList<QByteArray> csqReplies;
};

struct Startup : TempIniFile {
    StationSettings settings{file};
    SimulatedModemLink link;
    SimulatedModemPump pump{link};
    RecordingStartupView view;
    modem::ModemExchange exchange{link, view, pump};

    explicit Startup(const QByteArray& ini, gsmsim::ModemSettings modem = {})
        : TempIniFile(ini), link(std::move(modem)) {
        pump.setExchange(&exchange);
    }
    ModemStartup::Result run() { return ModemStartup(exchange, link, settings, view).run(); }
};

const QByteArray initStrings =
    "[basestation]\r\ninit1=AT+CMGF=1\r\nINIT2=AT+CPMS=\"ME\",\"ME\",\"MT\"\r\n"
    "Init3=AT+CSNS=0\r\nInit4=AT+CLIP=1\r\n";

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void theModemHearsTheStartUpSequenceByteForByte() {
        gsmsim::ModemSettings modem;
        modem.maker = "ACME";
        modem.model = "GSM-900";
        Startup s(initStrings, modem);
        QCOMPARE(s.run(), ModemStartup::Result::Ready);
        QCOMPARE(s.link.written,
                 QByteArray("ATZ\r\nATE1\r\nAT+CMGF=1\r\nAT+CPMS=\"ME\",\"ME\",\"MT\"\r\n"
                            "AT+CSNS=0\r\nAT+CLIP=1\r\nAT+CGMI\r\nAT+CGMM\r\nat+csq\r\n"));
        QCOMPARE(s.link.portName(), QStringLiteral("COM1"));
        QCOMPARE(s.view.name, QStringLiteral("ACME-GSM-900"));
        QCOMPARE(s.view.gauge, QList<int>({10, 30, 40, 50, 60, 70, 80, 100}));
        QCOMPARE(s.view.csqReplies, QList<QByteArray>{"at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n"});
        QCOMPARE(s.view.resultLine, QStringLiteral("Найден модем: ACME-GSM-900 на COM1"));
        QVERIFY(s.view.messages.isEmpty());
        QVERIFY(s.link.isOpen());
        // Nine exchanges, each ending when its final result has settled; then the
        // result stays three seconds.
        QCOMPARE(s.pump.now, 1000 + 9 * modem::ModemExchange::SettleMs + 3000);
    }

    // Modems that report their signal and mode inside every reply, and give the
    // signal without its blank.
    void otherModemsFormsStartUpAlike_data() {
        QTest::addColumn<int>("every");
        QTest::addColumn<bool>("compact");
        QTest::newRow("unsolicited at every line boundary") << 1 << false;
        QTest::newRow("unsolicited at every second boundary") << 2 << false;
        QTest::newRow("compact signal") << 0 << true;
        QTest::newRow("both") << 1 << true;
    }
    void otherModemsFormsStartUpAlike() {
        QFETCH(int, every);
        QFETCH(bool, compact);
        gsmsim::ModemSettings modem;
        modem.unsolicitedLines = every > 0;
        modem.unsolicitedInReplyEvery = every;
        modem.compactSignal = compact;
        Startup s(initStrings, modem);
        QCOMPARE(s.run(), ModemStartup::Result::Ready);
        QVERIFY(s.view.messages.isEmpty());
        QCOMPARE(s.view.name, QStringLiteral("GSMSIM-VIRTUAL-1"));
        QCOMPARE(s.view.csqReplies.size(), 1);
        const SignalQualityReading reading = readSignalQuality(s.view.csqReplies[0]);
        QCOMPARE(int(reading.kind), int(SignalQualityReading::Kind::Position));
        QCOMPARE(reading.barPosition, 83);
    }

    void thePortComesFromTheConfiguration() {
        Startup s("[BaseStation]\r\nCOMPort=7\r\n");
        s.run();
        QCOMPARE(s.link.portName(), QStringLiteral("COM7"));
    }

    void aPortThatCannotBeOpenedSendsNothing() {
        Startup s("[BaseStation]\r\nCOMPort=3\r\n");
        s.link.refuseOpen = true;
        QCOMPARE(s.run(), ModemStartup::Result::NoPort);
        QCOMPARE(s.view.messages, QStringList{QStringLiteral("Невозможно открыть порт COM3!")});
        QCOMPARE(s.link.written, QByteArray());
    }

    void aModemWithEchoOffIsNotFound() {
        gsmsim::ModemSettings modem;
        modem.echoAtPowerOn = false;
        Startup s(initStrings, modem);
        QCOMPARE(s.run(), ModemStartup::Result::NoModem);
        QCOMPARE(s.view.messages, QStringList{QStringLiteral("Модем не найден!")});
        QCOMPARE(s.link.written, QByteArray("ATZ\r\n"));
        QVERIFY(!s.link.isOpen());
    }

    void aSilentModemIsNotFoundAfterTheWatchdog() {
        gsmsim::ModemSettings modem;
        modem.silentCommands = {"ATZ"};
        Startup s(initStrings, modem);
        QCOMPARE(s.run(), ModemStartup::Result::NoModem);
        QCOMPARE(s.pump.watchdogTicks, 11);
    }

    void emptyInitStringsCostAWatchdogEachAndStartUpGoesOn() {
        Startup s(QByteArray{});
        QCOMPARE(s.run(), ModemStartup::Result::Ready);
        QCOMPARE(s.link.written,
                 QByteArray("ATZ\r\nATE1\r\n\r\n\r\n\r\n\r\nAT+CGMI\r\nAT+CGMM\r\nat+csq\r\n"));
        QCOMPARE(s.pump.watchdogTicks, 4 * 11);
        QCOMPARE(s.view.name, QStringLiteral("GSMSIM-VIRTUAL-1"));
    }

    void makerAndModelAreCutAfterTheEcho_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("AT+CGMI\r\r\nACME\r\n\r\nOK\r\n")
                               << QByteArray("ACME");
        QTest::newRow("unsolicited first")
            << QByteArray("\r\nRING\r\nAT+CGMI\r\r\nACME\r\n\r\nOK\r\n") << QByteArray("ACME");
        QTest::newRow("no empty line") << QByteArray("AT+CGMI\r\r\nACME\r\nOK\r\n") << QByteArray();
        QTest::newRow("empty line before the echo")
            << QByteArray("\r\n\r\nAT+CGMI\r\r\nACME\r\n\r\nOK\r\n") << QByteArray();
        QTest::newRow("no echo") << QByteArray("\r\nACME LTD\r\n\r\nOK\r\n") << QByteArray("D");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void makerAndModelAreCutAfterTheEcho() {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, name);
        QCOMPARE(ModemStartup::nameAfterEcho(reply, "AT+CGMI"), name);
    }

    void signalQualityMovesTheBar_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("position");
        using K = SignalQualityReading::Kind;
        QTest::newRow("17") << QByteArray("at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n")
                            << int(K::Position) << 83;
        QTest::newRow("31") << QByteArray("at+csq\r\r\n+CSQ: 31,0\r\n\r\nOK\r\n")
                            << int(K::Position) << 69;
        QTest::newRow("0") << QByteArray("at+csq\r\r\n+CSQ: 0,0\r\n\r\nOK\r\n") << int(K::Position)
                           << 100;
        QTest::newRow("unknown") << QByteArray("at+csq\r\r\n+CSQ: 99,99\r\n\r\nOK\r\n")
                                 << int(K::Position) << 1;
        QTest::newRow("error") << QByteArray("ERROR") << int(K::None) << 0;
        QTest::newRow("no OK") << QByteArray("at+csq\r\r\n+CSQ: 17,99\r\n") << int(K::None) << 0;
        QTest::newRow("no echo") << QByteArray("\r\n+CSQ: 17,99\r\n\r\nOK\r\n") << int(K::None)
                                 << 0;
        QTest::newRow("letters") << QByteArray("at+csq\r\r\n+CSQ: x7,99\r\n\r\nOK\r\n")
                                 << int(K::Unreadable) << 0;
        QTest::newRow("comma before")
            << QByteArray("+CUSD: 0,\"x\"\r\nat+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n")
            << int(K::Unreadable) << 0;
        QTest::newRow("unsolicited before")
            << QByteArray("\r\n+CMTI: \"ME\",1\r\nat+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n")
            << int(K::Position) << 83;
        QTest::newRow("unsolicited inside")
            << QByteArray("at+csq\r\r\n^RSSI:9,4\r\n\r\n+CSQ: 17,99\r\n\r\nOK\r\n")
            << int(K::Position) << 83;
        QTest::newRow("no blank") << QByteArray("at+csq\r\r\n+CSQ:4,0\r\n\r\nOK\r\n")
                                  << int(K::Position) << 96;
        QTest::newRow("no comma") << QByteArray("at+csq\r\r\n+CSQ: 17\r\n\r\nOK\r\n")
                                  << int(K::Unreadable) << 0;
    }
    void signalQualityMovesTheBar() {
        QFETCH(QByteArray, reply);
        QFETCH(int, kind);
        QFETCH(int, position);
        const SignalQualityReading reading = readSignalQuality(reply);
        QCOMPARE(int(reading.kind), kind);
        QCOMPARE(reading.barPosition, position);
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
