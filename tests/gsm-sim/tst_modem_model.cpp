// The simulated modem byte for byte: what the station writes and what it gets back.

#include "byte_escape.h"
#include "control_interpreter.h"
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

ModemSettings withProfiles(const QByteArrayList& profiles) {
    ModemSettings settings;
    for (const QByteArray& profile : profiles) {
        if (!applyDeviceProfile(profile, settings))
            qFatal("no profile %s", profile.constData());
    }
    return settings;
}

// Texts that look like the modem's own lines, which the station must take as text.
const QByteArray kTextLikeResult = "12:32\r\nOK\r\nRING";
const QByteArray kTextLikeCall = "+CLIP: \"+79161234567\",145,,,,0\r\nERROR";

ModemModel modemWithLookalikeTexts(ModemSettings settings) {
    ModemModel modem(std::move(settings));
    modem.store().add("+79161234567", "18/12/31,13:30:45+04", kTextLikeResult);
    modem.store().add("+79161234568", "18/12/31,13:31:00+04", kTextLikeCall);
    return modem;
}

// A status line or +CMTI, framed as the modem frames unsolicited lines.
const QString kUnsolicitedLine = QStringLiteral(
    R"((?:\r\n(?:\^RSSI:\d+|\^MODE:5,4|\^BOOT:12345678,0,0,0,6|\^SRVST:2|\+CMTI: "ME",\d+)\r\n))");

// The pieces of a reply in order with an unsolicited line at every every-th boundary between
// them, and nowhere else.
QRegularExpression piecesWithLines(const QByteArrayList& pieces, int every) {
    QString pattern = QStringLiteral("^");
    for (qsizetype at = 0; at < pieces.size(); ++at) {
        if (at > 0 && at % every == 0)
            pattern += kUnsolicitedLine;
        pattern += QRegularExpression::escape(QString::fromLatin1(pieces[at]));
    }
    return QRegularExpression(pattern + '$');
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
    void answersInEachProfile_data();
    void answersInEachProfile();
    void switchesDetailFieldsAtRunTime_data();
    void switchesDetailFieldsAtRunTime();
    void listsLookalikeTextsVerbatim_data();
    void listsLookalikeTextsVerbatim();
    void putsUnsolicitedLinesBetweenPieces_data();
    void putsUnsolicitedLinesBetweenPieces();
    void repeatsUnsolicitedLinesForTheSameSeed();
    void noticesEveryStoredMessageOnce();
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
    // Installers' init strings ask for the detail fields; every profile takes the command.
    QTest::newRow("details on") << QByteArray("AT+CSDH=1\r\n")
                                << QByteArray("AT+CSDH=1\r\r\nOK\r\n");
    QTest::newRow("details out of range")
        << QByteArray("AT+CSDH=2\r\n") << QByteArray("AT+CSDH=2\r\r\nERROR\r\n");
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

void ModemModelTest::answersInEachProfile_data() {
    QTest::addColumn<QByteArrayList>("profiles");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected");
    const auto listing = [](const char* first, const char* second, const char* between) {
        return "at+cmgl=all\r\r\n" + QByteArray(first) + "\r\n12:32\nDISARM T: 0042\nIN3 OPEN\r\n" +
               between + second + "\r\nTEST\n08:00\nARM\r\n\r\nOK\r\n";
    };
    const QByteArray plain =
        listing(R"(+CMGL: 1,"REC UNREAD","+79001234567",,"08/12/31,12:36:00+12")",
                R"(+CMGL: 2,"REC UNREAD","89007654321",,"09/01/02,03:04:05-20")", "");
    const QByteArray cmgl = "at+cmgl=all";
    QTest::newRow("plain listing") << QByteArrayList{} << cmgl << plain;
    QTest::newRow("quoted alpha")
        << QByteArrayList{"quoted-alpha"} << cmgl
        << listing(R"(+CMGL: 1,"REC UNREAD","+79001234567","","08/12/31,12:36:00+12")",
                   R"(+CMGL: 2,"REC UNREAD","89007654321","","09/01/02,03:04:05-20")", "");
    // Address type 145 for an international sender, 129 otherwise; the length in bytes.
    QTest::newRow("detailed headers")
        << QByteArrayList{"detailed-headers"} << cmgl
        << listing(R"(+CMGL: 1,"REC UNREAD","+79001234567",,"08/12/31,12:36:00+12",145,29)",
                   R"(+CMGL: 2,"REC UNREAD","89007654321",,"09/01/02,03:04:05-20",129,14)", "");
    QTest::newRow("blank lines")
        << QByteArrayList{"blank-lines"} << cmgl
        << listing(R"(+CMGL: 1,"REC UNREAD","+79001234567",,"08/12/31,12:36:00+12")",
                   R"(+CMGL: 2,"REC UNREAD","89007654321",,"09/01/02,03:04:05-20")", "\r\n");
    QTest::newRow("all listing forms")
        << QByteArrayList{"blank-lines", "detailed-headers", "quoted-alpha"} << cmgl
        << listing(R"(+CMGL: 1,"REC UNREAD","+79001234567","","08/12/31,12:36:00+12",145,29)",
                   R"(+CMGL: 2,"REC UNREAD","89007654321","","09/01/02,03:04:05-20",129,14)",
                   "\r\n");
    QTest::newRow("compact signal") << QByteArrayList{"compact-csq"} << QByteArray("AT+CSQ")
                                    << QByteArray("AT+CSQ\r\r\n+CSQ:17,0\r\n\r\nOK\r\n");
    QTest::newRow("compact signal, plain listing")
        << QByteArrayList{"compact-csq"} << cmgl << plain;
}

void ModemModelTest::answersInEachProfile() {
    QFETCH(QByteArrayList, profiles);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    ModemModel modem(withProfiles(profiles));
    modem.store().add("+79001234567", "08/12/31,12:36:00+12", "12:32\nDISARM T: 0042\nIN3 OPEN");
    modem.store().add("89007654321", "09/01/02,03:04:05-20", "TEST\n08:00\nARM");
    QCOMPARE(modem.feed(command + "\r\n"), expected);
}

void ModemModelTest::switchesDetailFieldsAtRunTime_data() {
    QTest::addColumn<bool>("atPowerOn");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<bool>("details");
    QTest::newRow("plain") << false << QByteArrayList{} << false;
    QTest::newRow("switched on") << false << QByteArrayList{"AT+CSDH=1"} << true;
    QTest::newRow("on, then reset") << false << QByteArrayList{"AT+CSDH=1", "ATZ"} << false;
    QTest::newRow("profile") << true << QByteArrayList{} << true;
    QTest::newRow("profile, off") << true << QByteArrayList{"at+csdh=0"} << false;
    QTest::newRow("profile, off, reset") << true << QByteArrayList{"AT+CSDH=0", "ATZ"} << true;
}

void ModemModelTest::switchesDetailFieldsAtRunTime() {
    QFETCH(bool, atPowerOn);
    QFETCH(QByteArrayList, commands);
    QFETCH(bool, details);
    ModemSettings settings;
    settings.detailsAtPowerOn = atPowerOn;
    ModemModel modem(settings);
    modem.store().add("+79001234567", "08/12/31,12:36:00+12", "ARM");
    for (const QByteArray& command : commands)
        QVERIFY(modem.feed(command + "\r").endsWith("\r\nOK\r\n"));
    QCOMPARE(modem.feed("AT+CSDH?\r"),
             "AT+CSDH?\r\r\n+CSDH: " + QByteArray(details ? "1" : "0") + "\r\n\r\nOK\r\n");
    const QByteArray header = "+CMGL: 1,\"REC UNREAD\",\"+79001234567\",,\"08/12/31,12:36:00+12\"" +
                              QByteArray(details ? ",145,3" : "") + "\r\nARM\r\n";
    QCOMPARE(modem.feed("at+cmgl=all\r"), "at+cmgl=all\r\r\n" + header + "\r\nOK\r\n");
}

void ModemModelTest::listsLookalikeTextsVerbatim_data() {
    QTest::addColumn<QByteArray>("escaped"); // as written on the control line
    QTest::addColumn<QByteArray>("text");    // as the modem lists it
    QTest::newRow("final results") << QByteArray(R"(12:32\r\nOK\r\n\r\nERROR\r\nIN3 OPEN)")
                                   << QByteArray("12:32\r\nOK\r\n\r\nERROR\r\nIN3 OPEN");
    QTest::newRow("ring and caller")
        << QByteArray(R"(\r\nRING\r\n\r\n+CLIP: "+79161234567",145,,,,0\r\n)")
        << QByteArray("\r\nRING\r\n\r\n+CLIP: \"+79161234567\",145,,,,0\r\n");
}

void ModemModelTest::listsLookalikeTextsVerbatim() {
    QFETCH(QByteArray, escaped);
    QFETCH(QByteArray, text);
    ModemModel modem;
    ControlInterpreter control(modem);
    QCOMPARE(control.execute("SMS +79161234567 18/12/31,13:30:45+04 " + escaped).replyLines,
             QByteArrayList{"OK 1"});
    QCOMPARE(modem.feed("at+cmgl=all\r\n"),
             "at+cmgl=all\r\r\n"
             "+CMGL: 1,\"REC UNREAD\",\"+79161234567\",,\"18/12/31,13:30:45+04\"\r\n" +
                 text + "\r\n\r\nOK\r\n");
}

void ModemModelTest::putsUnsolicitedLinesBetweenPieces_data() {
    QTest::addColumn<QByteArrayList>("profiles");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArrayList>("pieces");
    const QByteArray first =
        "+CMGL: 1,\"REC UNREAD\",\"+79161234567\",,\"18/12/31,13:30:45+04\"\r\n" + kTextLikeResult +
        "\r\n";
    const QByteArray second =
        "+CMGL: 2,\"REC UNREAD\",\"+79161234568\",,\"18/12/31,13:31:00+04\"\r\n" + kTextLikeCall +
        "\r\n";
    // The banner lines only ever follow the reset's OK.
    QTest::newRow("reset") << QByteArrayList{} << QByteArray("ATZ")
                           << QByteArrayList{"ATZ\r", "\r\nOK\r\n", "\r\nRDY\r\n",
                                             "\r\nCall Ready\r\n", "\r\nSMS Ready\r\n"};
    QTest::newRow("maker") << QByteArrayList{} << QByteArray("AT+CGMI")
                           << QByteArrayList{"AT+CGMI\r", "\r\nGSMSIM\r\n", "\r\nOK\r\n"};
    QTest::newRow("not a command")
        << QByteArrayList{} << QByteArray("hello") << QByteArrayList{"hello\r"};
    // Between entries, never between an entry's header and its text nor inside the text.
    QTest::newRow("listing") << QByteArrayList{} << QByteArray("at+cmgl=all")
                             << QByteArrayList{"at+cmgl=all\r", "\r\n" + first, second,
                                               "\r\nOK\r\n"};
    QTest::newRow("spaced listing")
        << QByteArrayList{"blank-lines"} << QByteArray("at+cmgl=all")
        << QByteArrayList{"at+cmgl=all\r", "\r\n" + first, "\r\n" + second, "\r\nOK\r\n"};
}

void ModemModelTest::putsUnsolicitedLinesBetweenPieces() {
    QFETCH(QByteArrayList, profiles);
    QFETCH(QByteArray, command);
    QFETCH(QByteArrayList, pieces);
    ModemSettings settings = withProfiles(profiles + QByteArrayList{"unsolicited"});

    for (int every : {1, 2}) {
        settings.unsolicitedInReplyEvery = every;
        ModemModel modem = modemWithLookalikeTexts(settings);
        const QByteArray reply = modem.feed(command + "\r\n");
        QVERIFY2(piecesWithLines(pieces, every).match(QString::fromLatin1(reply)).hasMatch(),
                 qPrintable(QString::number(every) + ": " + escapeBytes(reply)));
    }
}

void ModemModelTest::repeatsUnsolicitedLinesForTheSameSeed() {
    const auto session = [](quint32 seed) {
        ModemSettings settings = withProfiles({"unsolicited"});
        settings.unsolicitedSeed = seed;
        ModemModel modem = modemWithLookalikeTexts(settings);
        QByteArray output;
        for (int round = 0; round < 10; ++round)
            output += modem.feed("ATZ\r\nAT+CGMI\r\nat+cmgl=all\r\n") + modem.unsolicitedTick();
        return output;
    };
    QCOMPARE(session(5), session(5));
    QVERIFY(session(5) != session(6));
}

// Counted by arrival, not by slot: a message in a freed slot is news too.
void ModemModelTest::noticesEveryStoredMessageOnce() {
    ModemModel plain;
    plain.store().add("+79161234567", "18/12/31,13:30:45+04", "ARM");
    QCOMPARE(plain.messageNotices() + plain.unsolicitedTick(), QByteArray());

    ModemModel modem(withProfiles({"unsolicited"}));
    modem.store().add("+79161234567", "18/12/31,13:30:45+04", "ARM");
    modem.store().add("+79161234567", "18/12/31,13:31:00+04", "DISARM");
    QCOMPARE(modem.messageNotices(), QByteArray("\r\n+CMTI: \"ME\",1\r\n\r\n+CMTI: \"ME\",2\r\n"));
    QCOMPARE(modem.messageNotices(), QByteArray());
    modem.feed("AT+CMGD=1\r");
    modem.store().add("+79161234567", "18/12/31,13:32:00+04", "TEST");
    QCOMPARE(modem.messageNotices(), QByteArray("\r\n+CMTI: \"ME\",1\r\n"));

    // While the station writes a message, nothing comes between its bytes.
    modem.feed("AT+CMGS=\"+79161234567\"\r");
    modem.store().add("+79161234567", "18/12/31,13:33:00+04", "IN3 OPEN");
    QCOMPARE(modem.messageNotices() + modem.unsolicitedTick(), QByteArray());
    QVERIFY(modem.feed("/1234 ARM\x1a").startsWith("/1234 ARM\r\n+CMGS: 1\r\n"));
    QCOMPARE(modem.messageNotices(), QByteArray("\r\n+CMTI: \"ME\",3\r\n"));
    const QString between = QString::fromLatin1(modem.unsolicitedTick());
    QVERIFY(QRegularExpression('^' + kUnsolicitedLine + '$').match(between).hasMatch());
}

QTEST_GUILESS_MAIN(ModemModelTest)
#include "tst_modem_model.moc"
