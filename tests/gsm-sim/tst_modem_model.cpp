// The simulated modem byte for byte: what the station writes and what it gets back.

#include "modem_model.h"

#include <QtTest>

using namespace gsmsim;

namespace {

ModemModel modemWithTwoMessages() {
    ModemModel modem;
    modem.store().add("+79001234567", "08/12/31,12:36:00+12", "12:32\nDISARM T: 0042\nIN3 OPEN");
    modem.store().add("89007654321", "09/01/02,03:04:05-20", "TEST\n08:00\nARM");
    return modem;
}

QByteArray fromModem(const ModemModel& modem) {
    QByteArray all;
    for (const TrafficChunk& chunk : modem.transcript()) {
        if (chunk.direction == Direction::FromModem)
            all += chunk.bytes;
    }
    return all;
}

} // namespace

class ModemModelTest : public QObject {
    Q_OBJECT

private slots:
    void answersStartUpCommands_data();
    void answersStartUpCommands();
    void listsEmptyStoreAsBareOk_data();
    void listsEmptyStoreAsBareOk();
    void listsMessagesAndMarksThemRead();
    void deletesByIndexAndReusesLowestFreeSlot();
    void refusesMessagesBeyondCapacity();
    void sendsMessageAfterPrompt();
    void cancelsMessageWithEscape();
    void refusesSendWithoutNumber();
    void echoOffAndAtzRestoresPowerOnEcho();
    void startsWithEchoOffWhenConfigured();
    void silentAndErrorFaultsMatchCommandPrefix();
    void ringsWithCallerNumberUntilAnswered();
    void callEndsByHangUpOrCaller();
    void answersSameWhateverTheChunking_data();
    void answersSameWhateverTheChunking();
    void recordsTrafficBothWays();
};

void ModemModelTest::answersStartUpCommands_data() {
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("reset") << QByteArray("ATZ\r\n") << QByteArray("ATZ\r\r\nOK\r\n");
    QTest::newRow("plain AT") << QByteArray("AT\r\n") << QByteArray("AT\r\r\nOK\r\n");
    QTest::newRow("echo on") << QByteArray("ATE1\r\n") << QByteArray("ATE1\r\r\nOK\r\n");
    QTest::newRow("text mode") << QByteArray("AT+CMGF=1\r\n")
                               << QByteArray("AT+CMGF=1\r\r\nOK\r\n");
    QTest::newRow("storage") << QByteArray("AT+CPMS=\"ME\",\"ME\",\"MT\"\r\n")
                             << QByteArray("AT+CPMS=\"ME\",\"ME\",\"MT\"\r\r\n"
                                           "+CPMS: 0,30,0,30,0,30\r\n\r\nOK\r\n");
    QTest::newRow("single numbering")
        << QByteArray("AT+CSNS=0\r\n") << QByteArray("AT+CSNS=0\r\r\nOK\r\n");
    QTest::newRow("caller id") << QByteArray("AT+CLIP=1\r\n")
                               << QByteArray("AT+CLIP=1\r\r\nOK\r\n");
    // The station cuts maker and model from 10 characters after the echo up to "\r\n\r\n".
    QTest::newRow("maker") << QByteArray("AT+CGMI\r\n")
                           << QByteArray("AT+CGMI\r\r\nGSMSIM\r\n\r\nOK\r\n");
    QTest::newRow("model") << QByteArray("AT+CGMM\r\n")
                           << QByteArray("AT+CGMM\r\r\nVIRTUAL-1\r\n\r\nOK\r\n");
    // ... and the signal strength from 15 characters after "at+csq\r\r\n+CSQ:" up to ",".
    QTest::newRow("signal lower case")
        << QByteArray("at+csq\r\n") << QByteArray("at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    QTest::newRow("unknown command")
        << QByteArray("AT+CFUN=1\r\n") << QByteArray("AT+CFUN=1\r\r\nERROR\r\n");
    QTest::newRow("empty line") << QByteArray("\r\n") << QByteArray();
    QTest::newRow("not a command") << QByteArray("hello\r\n") << QByteArray("hello\r");
    QTest::newRow("index not a number")
        << QByteArray("at+cmgd=x\r\n") << QByteArray("at+cmgd=x\r\r\nERROR\r\n");
}

void ModemModelTest::answersStartUpCommands() {
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, expected);
    ModemModel modem;
    QCOMPARE(modem.feed(written), expected);
}

void ModemModelTest::listsEmptyStoreAsBareOk_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("station's form") << QByteArray("at+cmgl=all");
    QTest::newRow("upper case") << QByteArray("AT+CMGL=ALL");
    QTest::newRow("quoted") << QByteArray("AT+CMGL=\"ALL\"");
}

void ModemModelTest::listsEmptyStoreAsBareOk() {
    QFETCH(QByteArray, command);
    ModemModel modem;
    // The station recognises an empty store by exactly these bytes and then does nothing.
    QCOMPARE(modem.feed(command + "\r\n"), command + "\r\r\nOK\r\n");
}

void ModemModelTest::listsMessagesAndMarksThemRead() {
    ModemModel modem = modemWithTwoMessages();
    QCOMPARE(modem.feed("at+cmgl=all\r\n"),
             QByteArray("at+cmgl=all\r\r\n"
                        "+CMGL: 1,\"REC UNREAD\",\"+79001234567\",,\"08/12/31,12:36:00+12\"\r\n"
                        "12:32\nDISARM T: 0042\nIN3 OPEN\r\n"
                        "+CMGL: 2,\"REC UNREAD\",\"89007654321\",,\"09/01/02,03:04:05-20\"\r\n"
                        "TEST\n08:00\nARM\r\n"
                        "\r\nOK\r\n"));
    const QByteArray again = modem.feed("AT+CMGL=ALL\r\n");
    QCOMPARE(again.count("\"REC READ\""), 2);
    QVERIFY(!again.contains("UNREAD"));
}

void ModemModelTest::deletesByIndexAndReusesLowestFreeSlot() {
    ModemModel modem = modemWithTwoMessages();
    QCOMPARE(modem.feed("at+cmgd=1\r\n"), QByteArray("at+cmgd=1\r\r\nOK\r\n"));
    QCOMPARE(modem.feed("at+cmgd=1\r\n"), QByteArray("at+cmgd=1\r\r\n+CMS ERROR: 321\r\n"));
    QCOMPARE(modem.feed("at+cmgd=7\r\n"), QByteArray("at+cmgd=7\r\r\n+CMS ERROR: 321\r\n"));
    const QByteArray listing = modem.feed("at+cmgl=all\r\n");
    QVERIFY(!listing.contains("+CMGL: 1,"));
    QVERIFY(listing.contains("+CMGL: 2,"));

    QCOMPARE(modem.store().add("+7", "09/01/02,03:04:05+12", "x"), std::optional<int>(1));
    QCOMPARE(modem.store().add("+7", "09/01/02,03:04:05+12", "y"), std::optional<int>(3));
    QCOMPARE(modem.store().count(), 3);
}

void ModemModelTest::refusesMessagesBeyondCapacity() {
    ModemSettings settings;
    settings.storeCapacity = 2;
    ModemModel modem(settings);
    QVERIFY(modem.store().add("+1", "09/01/02,03:04:05+12", "a"));
    QVERIFY(modem.store().add("+2", "09/01/02,03:04:05+12", "b"));
    QCOMPARE(modem.store().add("+3", "09/01/02,03:04:05+12", "c"), std::nullopt);
    QCOMPARE(modem.feed("AT+CPMS=\"ME\"\r"), QByteArray("AT+CPMS=\"ME\"\r\r\n"
                                                        "+CPMS: 2,2,2,2,2,2\r\n\r\nOK\r\n"));
}

void ModemModelTest::sendsMessageAfterPrompt() {
    ModemModel modem;
    // The station writes the number line, waits for the prompt, then text, CR LF, Ctrl-Z and a
    // CR LF that reaches the modem as an empty command line.
    QCOMPARE(modem.feed("at+cmgs=+79001234567\r\n"), QByteArray("at+cmgs=+79001234567\r\r\n> "));
    QCOMPARE(modem.feed("/1234 ARM !\r\n\x1a\r\n"),
             QByteArray("/1234 ARM !\r\n\r\n+CMGS: 1\r\n\r\nOK\r\n"));
    QCOMPARE(modem.feed("AT+CMGS=\"89007654321\"\r\n"),
             QByteArray("AT+CMGS=\"89007654321\"\r\r\n> "));
    QCOMPARE(modem.feed("\xd2\xe5\xf1\xf2\x1a"),
             QByteArray("\xd2\xe5\xf1\xf2\r\n+CMGS: 2\r\n\r\nOK\r\n"));

    QCOMPARE(modem.sentMessages().size(), 2);
    QCOMPARE(modem.sentMessages()[0].number, QByteArray("+79001234567"));
    QCOMPARE(modem.sentMessages()[0].text, QByteArray("/1234 ARM !\r\n"));
    QCOMPARE(modem.sentMessages()[1].number, QByteArray("89007654321"));
    QCOMPARE(modem.sentMessages()[1].text, QByteArray("\xd2\xe5\xf1\xf2"));
    QCOMPARE(modem.feed("AT\r\n"), QByteArray("AT\r\r\nOK\r\n")); // back in command mode
}

void ModemModelTest::cancelsMessageWithEscape() {
    ModemModel modem;
    modem.feed("at+cmgs=+79001234567\r\n");
    QCOMPARE(modem.feed("never\x1b"), QByteArray("never\r\nOK\r\n"));
    QVERIFY(modem.sentMessages().isEmpty());
    QCOMPARE(modem.feed("AT\r\n"), QByteArray("AT\r\r\nOK\r\n"));
}

void ModemModelTest::refusesSendWithoutNumber() {
    ModemModel modem;
    QCOMPARE(modem.feed("at+cmgs=\r\n"), QByteArray("at+cmgs=\r\r\nERROR\r\n"));
    // Still in command mode: the text that follows is no command, the Ctrl-Z line neither.
    QCOMPARE(modem.feed("/1234 ARM\r\n\x1a\r\n"), QByteArray("/1234 ARM\r\x1a\r"));
    QVERIFY(modem.sentMessages().isEmpty());
}

void ModemModelTest::echoOffAndAtzRestoresPowerOnEcho() {
    ModemModel modem;
    QCOMPARE(modem.feed("ATE0\r\n"), QByteArray("ATE0\r\r\nOK\r\n")); // echoed before it acts
    QCOMPARE(modem.feed("AT\r\n"), QByteArray("\r\nOK\r\n"));
    modem.feed("at+cmgs=+7900\r\n");
    QCOMPARE(modem.feed("text\r\n\x1a"), QByteArray("\r\n+CMGS: 1\r\n\r\nOK\r\n"));
    QCOMPARE(modem.feed("ATZ\r\n"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(modem.feed("AT\r\n"), QByteArray("AT\r\r\nOK\r\n"));
}

void ModemModelTest::startsWithEchoOffWhenConfigured() {
    ModemSettings settings;
    settings.echoAtPowerOn = false;
    ModemModel modem(settings);
    // Without the echo the station's start-up check for "ATZ\r\r\nOK\r\n" fails.
    QCOMPARE(modem.feed("ATZ\r\n"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(modem.feed("ATE1\r\n"), QByteArray("\r\nOK\r\n"));
    QCOMPARE(modem.feed("ATZ\r\n"), QByteArray("ATZ\r\r\nOK\r\n"));
    QVERIFY(!modem.echo());
}

void ModemModelTest::silentAndErrorFaultsMatchCommandPrefix() {
    ModemSettings settings;
    settings.silentCommands = {"AT+CMGL"};
    settings.errorCommands = {"at+cmgs", "AT+CSQ"};
    ModemModel modem(settings);
    QCOMPARE(modem.feed("at+cmgl=all\r\n"), QByteArray("at+cmgl=all\r"));
    QCOMPARE(modem.feed("AT+CSQ\r\n"), QByteArray("AT+CSQ\r\r\nERROR\r\n"));
    QCOMPARE(modem.feed("AT+CMGS=+7900\r\n"), QByteArray("AT+CMGS=+7900\r\r\nERROR\r\n"));
    QCOMPARE(modem.feed("AT+CGMI\r\n"), QByteArray("AT+CGMI\r\r\nGSMSIM\r\n\r\nOK\r\n"));

    modem.feed("ATE0\r\n");
    QCOMPARE(modem.feed("at+cmgl=all\r\n"), QByteArray());
}

void ModemModelTest::ringsWithCallerNumberUntilAnswered() {
    ModemModel modem;
    const QByteArray ring = "\r\nRING\r\n\r\n+CLIP: \"+79001234567\",145,,,,0\r\n";
    QCOMPARE(modem.startCall("+79001234567"), ring);
    QCOMPARE(modem.startCall("+79009999999"), QByteArray()); // one call at a time
    QCOMPARE(modem.ringTick(), ring);
    QCOMPARE(modem.callState(), CallState::Ringing);
    QCOMPARE(modem.feed("ATA\r\n"), QByteArray("ATA\r\r\nOK\r\n"));
    QCOMPARE(modem.callState(), CallState::Connected);
    QCOMPARE(modem.ringTick(), QByteArray());
    QCOMPARE(modem.feed("ATH\r\n"), QByteArray("ATH\r\r\nOK\r\n"));
    QCOMPARE(modem.callState(), CallState::Idle);

    QCOMPARE(modem.startCall("89001234567"),
             QByteArray("\r\nRING\r\n\r\n+CLIP: \"89001234567\",129,,,,0\r\n"));
    QVERIFY(!modem.callerHangsUp().isEmpty());
    QCOMPARE(modem.startCall("89001234567", 145),
             QByteArray("\r\nRING\r\n\r\n+CLIP: \"89001234567\",145,,,,0\r\n"));
}

void ModemModelTest::callEndsByHangUpOrCaller() {
    ModemModel modem;
    QCOMPARE(modem.feed("ATA\r\n"), QByteArray("ATA\r\r\nNO CARRIER\r\n"));
    QCOMPARE(modem.callerHangsUp(), QByteArray());

    modem.startCall("+79001234567");
    QCOMPARE(modem.feed("ATH\r\n"), QByteArray("ATH\r\r\nOK\r\n"));
    QCOMPARE(modem.ringTick(), QByteArray());

    modem.startCall("+79001234567");
    QCOMPARE(modem.callerHangsUp(), QByteArray("\r\nNO CARRIER\r\n"));
    QCOMPARE(modem.ringTick(), QByteArray());
    QCOMPARE(modem.feed("ATA\r\n"), QByteArray("ATA\r\r\nNO CARRIER\r\n"));
}

void ModemModelTest::answersSameWhateverTheChunking_data() {
    QTest::addColumn<int>("chunkSize");
    for (int size : {1, 2, 3, 5, 7})
        QTest::addRow("%d bytes", size) << size;
}

void ModemModelTest::answersSameWhateverTheChunking() {
    QFETCH(int, chunkSize);
    const QByteArray session = "ATZ\r\nATE1\r\nat+csq\r\nat+cmgl=all\r\nat+cmgd=1\r\n"
                               "at+cmgs=+79001234567\r\n/1234 DISARM\r\n\x1a\r\nAT+CGMM\r\n";
    ModemModel whole = modemWithTwoMessages();
    const QByteArray expected = whole.feed(session);

    ModemModel pieces = modemWithTwoMessages();
    QByteArray answer;
    for (qsizetype at = 0; at < session.size(); at += chunkSize)
        answer += pieces.feed(session.mid(at, chunkSize));
    QCOMPARE(answer, expected);
    // The LF after the CR of the at+cmgs= line is no part of the message, even when it arrives
    // on its own after the prompt.
    QCOMPARE(pieces.sentMessages().value(0).text, QByteArray("/1234 DISARM\r\n"));
}

void ModemModelTest::recordsTrafficBothWays() {
    ModemModel modem;
    QByteArray observed;
    modem.setTrafficObserver([&](Direction direction, const QByteArray& bytes) {
        observed += (direction == Direction::ToModem ? ">" : "<") + bytes;
    });
    const QByteArray first = modem.feed("AT");
    const QByteArray second = modem.feed("\r\n");
    const QByteArray ring = modem.startCall("+79001234567");

    QCOMPARE(modem.receivedBytes(), QByteArray("AT\r\n"));
    QCOMPARE(fromModem(modem), first + second + ring);
    QCOMPARE(modem.transcript().size(), 4); // ">AT", ">\r\n", "<answer", "<ring"
    QCOMPARE(modem.transcript().first().direction, Direction::ToModem);
    QCOMPARE(observed, ">AT>\r\n<AT\r\r\nOK\r\n<" + ring);
}

QTEST_GUILESS_MAIN(ModemModelTest)
#include "tst_modem_model.moc"
