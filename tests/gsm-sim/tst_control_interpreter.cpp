// The control language of the simulator and the escapes it shares with the transcript.

#include "byte_escape.h"
#include "control_interpreter.h"

#include <QtTest>

using namespace gsmsim;

namespace {

QDateTime fixedMoment(int offsetSeconds) {
    return QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5), Qt::OffsetFromUTC, offsetSeconds);
}

} // namespace

class ControlInterpreterTest : public QObject {
    Q_OBJECT

private slots:
    void storesMessageWithGivenTimestamp();
    void stampsNowWithZoneInQuarterHours_data();
    void stampsNowWithZoneInQuarterHours();
    void convertsTextToCodePage1251WithEscapes();
    void refusesBadMessages_data();
    void refusesBadMessages();
    void startsAndEndsCalls();
    void reportsSentMessagesEscaped();
    void answersStoreCountQuitAndUnknown();
    void escapesBytesForOneLine();
    void listsControllers();
    void makesControllerReport();
};

void ControlInterpreterTest::storesMessageWithGivenTimestamp() {
    ModemModel modem;
    ControlInterpreter control(modem);
    const ControlOutcome outcome =
        control.execute("SMS +79001234567 08/12/31,12:36:00+12 12:32\\nIN3 OPEN\r\n");
    QCOMPARE(outcome.replyLines, QList<QByteArray>{"OK 1"});
    QVERIFY(!outcome.quit);
    QCOMPARE(control.execute("sms 89001234567 now  two blanks").replyLines,
             QList<QByteArray>{"OK 2"});

    const StoredMessage& first = modem.store().messages().at(1);
    QCOMPARE(first.sender, QByteArray("+79001234567"));
    QCOMPARE(first.timestamp, QByteArray("08/12/31,12:36:00+12"));
    QCOMPARE(first.text, QByteArray("12:32\nIN3 OPEN"));
    QVERIFY(!first.read);
    QCOMPARE(modem.store().messages().at(2).text, QByteArray(" two blanks"));
}

void ControlInterpreterTest::stampsNowWithZoneInQuarterHours_data() {
    QTest::addColumn<int>("offsetSeconds");
    QTest::addColumn<QByteArray>("timestamp");
    QTest::newRow("UTC+3") << 3 * 3600 << QByteArray("09/01/02,03:04:05+12");
    QTest::newRow("UTC") << 0 << QByteArray("09/01/02,03:04:05+00");
    QTest::newRow("UTC-5") << -5 * 3600 << QByteArray("09/01/02,03:04:05-20");
    QTest::newRow("UTC+5:45") << 5 * 3600 + 45 * 60 << QByteArray("09/01/02,03:04:05+23");
}

void ControlInterpreterTest::stampsNowWithZoneInQuarterHours() {
    QFETCH(int, offsetSeconds);
    QFETCH(QByteArray, timestamp);
    ModemModel modem;
    ControlInterpreter control(modem, [=] { return fixedMoment(offsetSeconds); });
    QCOMPARE(control.execute("SMS +7 NOW x").replyLines, QList<QByteArray>{"OK 1"});
    QCOMPARE(modem.store().messages().at(1).timestamp, timestamp);
}

void ControlInterpreterTest::convertsTextToCodePage1251WithEscapes() {
    ModemModel modem;
    ControlInterpreter control(modem);
    control.execute(QStringLiteral("SMS +7 now Тревога\\r\\n\\x98\\xcf\\\\end").toUtf8());
    QCOMPARE(modem.store().messages().at(1).text,
             QByteArray("\xd2\xf0\xe5\xe2\xee\xe3\xe0\r\n\x98\xcf\\end"));
}

void ControlInterpreterTest::refusesBadMessages_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("replyStart");
    QTest::newRow("no timestamp") << QByteArray("SMS +7") << QByteArray("ERROR usage");
    QTest::newRow("bad timestamp")
        << QByteArray("SMS +7 2009-01-02 x") << QByteArray("ERROR bad timestamp");
    QTest::newRow("zone without sign")
        << QByteArray("SMS +7 09/01/02,03:04:05 x") << QByteArray("ERROR bad timestamp");
    QTest::newRow("unknown escape") << QByteArray("SMS +7 now a\\tb") << QByteArray("ERROR bad");
    QTest::newRow("cut escape") << QByteArray("SMS +7 now a\\x4") << QByteArray("ERROR bad");
    QTest::newRow("trailing backslash") << QByteArray("SMS +7 now a\\") << QByteArray("ERROR bad");
    QTest::newRow("outside 1251") << QStringLiteral("SMS +7 now 日本").toUtf8()
                                  << QByteArray("ERROR bad");
    QTest::newRow("invalid UTF-8") << QByteArray("SMS +7 now \xff") << QByteArray("ERROR bad");
}

void ControlInterpreterTest::refusesBadMessages() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, replyStart);
    ModemModel modem;
    ControlInterpreter control(modem);
    const ControlOutcome outcome = control.execute(line);
    QCOMPARE(outcome.replyLines.size(), 1);
    QVERIFY2(outcome.replyLines[0].startsWith(replyStart), outcome.replyLines[0].constData());
    QCOMPARE(modem.store().count(), 0);
}

void ControlInterpreterTest::startsAndEndsCalls() {
    ModemModel modem;
    ControlInterpreter control(modem);
    const ControlOutcome call = control.execute("CALL +79001234567");
    QCOMPARE(call.replyLines, QList<QByteArray>{"OK"});
    QCOMPARE(call.toStation, QByteArray("\r\nRING\r\n\r\n+CLIP: \"+79001234567\",145,,,,0\r\n"));
    QCOMPARE(control.execute("CALL +79009999999").replyLines,
             QList<QByteArray>{"ERROR call in progress"});

    const ControlOutcome hangUp = control.execute("HANGUP");
    QCOMPARE(hangUp.replyLines, QList<QByteArray>{"OK"});
    QCOMPARE(hangUp.toStation, QByteArray("\r\nNO CARRIER\r\n"));
    QCOMPARE(control.execute("HANGUP").replyLines, QList<QByteArray>{"ERROR no call"});

    QVERIFY(control.execute("CALL 9001234567 145").toStation.contains("\"9001234567\",145,"));
    control.execute("HANGUP");
    QCOMPARE(control.execute("CALL 123 abc").replyLines.value(0),
             QByteArray("ERROR bad number type abc"));
    QCOMPARE(modem.callState(), CallState::Idle);
}

void ControlInterpreterTest::reportsSentMessagesEscaped() {
    ModemModel modem;
    ControlInterpreter control(modem);
    QCOMPARE(control.execute("SENT").replyLines, QList<QByteArray>{"OK 0"});
    modem.feed("at+cmgs=+79001234567\r\n/1234 ARM\r\n\x1a\r\n");
    modem.feed("at+cmgs=8900\r\n\xd2\\\x1a");
    QCOMPARE(control.execute("SENT").replyLines,
             (QList<QByteArray>{"OK 2", "+79001234567 /1234 ARM\\r\\n", "8900 \\xD2\\\\"}));
}

void ControlInterpreterTest::answersStoreCountQuitAndUnknown() {
    ModemModel modem;
    ControlInterpreter control(modem);
    QCOMPARE(control.execute("STORE").replyLines, QList<QByteArray>{"OK 0"});
    control.execute("SMS +7 now a");
    QCOMPARE(control.execute("store\n").replyLines, QList<QByteArray>{"OK 1"});
    control.execute("SMS 79001234567 26/12/09,10:11:12+12 b");
    modem.store().remove(1);
    QCOMPARE(control.execute("STORE list").replyLines,
             (QList<QByteArray>{"OK 1", "2 79001234567 26/12/09,10:11:12+12"}));
    QVERIFY(control.execute("\r\n").replyLines.isEmpty());
    QCOMPARE(control.execute("DANCE").replyLines, QList<QByteArray>{"ERROR unknown command DANCE"});
    const ControlOutcome quit = control.execute("QUIT");
    QVERIFY(quit.quit);
    QCOMPARE(quit.replyLines, QList<QByteArray>{"OK"});
}

void ControlInterpreterTest::escapesBytesForOneLine() {
    const QByteArray raw("a \\\r\n\x1a\x7f\xcf\x00z", 10);
    const QByteArray escaped = escapeBytes(raw);
    QCOMPARE(escaped, QByteArray("a \\\\\\r\\n\\x1A\\x7F\\xCF\\x00z"));
    QCOMPARE(decodeControlText(escaped), std::optional<QByteArray>(raw));
}

void ControlInterpreterTest::listsControllers() {
    ModemModel modem;
    ControlInterpreter control(modem);
    QCOMPARE(control.execute("CONTROLLERS").replyLines, QList<QByteArray>{"OK 0"});

    ControllerPark park(modem);
    park.add({"79161110001", "4071", QStringLiteral("Банкомат ТЦ")});
    park.add({"79161110002", "", {}});
    park.add({"79161110003", "\xea\xee\xe4", "x"});
    control.attachPark(&park);
    control.execute("REPORT 79161110002 disarm");
    QCOMPARE(control.execute("controllers").replyLines,
             (QList<QByteArray>{
                 "OK 3", "79161110001 4071 armed " + QStringLiteral("Банкомат ТЦ").toUtf8(),
                 "79161110002 \"\" disarmed", "79161110003 \\xEA\\xEE\\xE4 armed x"}));
}

void ControlInterpreterTest::makesControllerReport() {
    ModemSettings settings;
    settings.storeCapacity = 2;
    ModemModel modem(settings);
    ControlInterpreter control(modem, [] { return fixedMoment(3 * 3600); });
    QCOMPARE(control.execute("REPORT 79161110001 state").replyLines,
             QList<QByteArray>{"ERROR unknown controller 79161110001"});

    ParkSettings quiet;
    quiet.reportEveryTicks = 0;
    ControllerPark park(modem, quiet);
    park.add({"79161110001", "4071", {}});
    control.attachPark(&park);
    QCOMPARE(control.execute("REPORT +79161110001 POWER").replyLines, QList<QByteArray>{"OK 1"});
    const StoredMessage& report = modem.store().messages().at(1);
    QCOMPARE(report.sender, QByteArray("+79161110001"));
    QCOMPARE(report.timestamp, QByteArray("09/01/02,03:04:05+12"));
    QCOMPARE(report.text, QByteArray("03:04\nPOWER FAULT"));

    QCOMPARE(control.execute("REPORT 79161110001").replyLines.value(0),
             QByteArray("ERROR usage: REPORT <phone> <state|alarm|test|power|arm|disarm>"));
    QCOMPARE(control.execute("REPORT 79161110001 dance").replyLines,
             QList<QByteArray>{"ERROR unknown report kind dance"});
    QCOMPARE(control.execute("REPORT 79161110009 test").replyLines,
             QList<QByteArray>{"ERROR unknown controller 79161110009"});
    QCOMPARE(control.execute("REPORT 79161110001 test").replyLines, QList<QByteArray>{"OK 2"});
    QCOMPARE(control.execute("REPORT 79161110001 test").replyLines,
             QList<QByteArray>{"ERROR store full"});
    QCOMPARE(modem.store().count(), 2);
}

QTEST_GUILESS_MAIN(ControlInterpreterTest)
#include "tst_control_interpreter.moc"
