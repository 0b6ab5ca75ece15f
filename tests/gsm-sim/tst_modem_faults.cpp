// The faults of real modems the control lines switch on: a modem gone silent, one that restarted
// on its own in PDU mode, and one pulled out and plugged in again.

#include "control_interpreter.h"
#include "modem_model.h"

#include <QtTest>

using namespace gsmsim;

namespace {

const QByteArray kStartUpWords = "\r\nRDY\r\n\r\nCall Ready\r\n\r\nSMS Ready\r\n";
const QByteArray kFirstEntry =
    "+CMGL: 1,\"REC UNREAD\",\"+79001234567\",,\"08/12/31,12:36:00+12\"\r\n"
    "12:32\nIN3 OPEN\r\n";

ModemSettings withProfile(const char* profile) {
    ModemSettings settings;
    applyDeviceProfile(profile, settings);
    return settings;
}

void storeFirst(ModemModel& modem) {
    modem.store().add("+79001234567", "08/12/31,12:36:00+12", "12:32\nIN3 OPEN");
}

} // namespace

class ModemFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void mutedModemIgnoresStationButStoresMessages();
    void restartComesBackInPduMode_data();
    void restartComesBackInPduMode();
    void restartDropsMessageBeingWritten();
    void formatSwitchesAndSurvivesAtz();
    void controlLinesDriveTheFaults();
};

void ModemFaultsTest::mutedModemIgnoresStationButStoresMessages() {
    ModemModel modem;
    modem.setMuted(true);
    // ATE0 would turn the echo off and the half line would join the next one if they were kept.
    QCOMPARE(modem.feed("ATE0\r\nAT+CMGD=1\r\nAT+CG"), QByteArray());
    storeFirst(modem);
    QCOMPARE(modem.startCall("+79007654321") + modem.ringTick() + modem.callerHangsUp(),
             QByteArray());
    QCOMPARE(modem.receivedBytes(), QByteArray("ATE0\r\nAT+CMGD=1\r\nAT+CG"));
    QCOMPARE(modem.transcript().size(), 1);
    modem.setMuted(false);
    QCOMPARE(modem.feed("AT\r\n"), QByteArray("AT\r\r\nOK\r\n"));
    QCOMPARE(modem.feed("at+cmgl=all\r\n"), "at+cmgl=all\r\r\n" + kFirstEntry + "\r\nOK\r\n");

    // The status lines stop, and the +CMTI of the silent time never comes.
    ModemModel chatty(withProfile("unsolicited"));
    chatty.setMuted(true);
    storeFirst(chatty);
    QCOMPARE(chatty.messageNotices() + chatty.unsolicitedTick(), QByteArray());
    chatty.setMuted(false);
    QCOMPARE(chatty.messageNotices(), QByteArray());
    QVERIFY(!chatty.unsolicitedTick().isEmpty());
}

void ModemFaultsTest::restartComesBackInPduMode_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("station's form")
        << QByteArray("at+cmgl=all") << QByteArray("\r\n+CMS ERROR: 302\r\n");
    QTest::newRow("quoted") << QByteArray("AT+CMGL=\"ALL\"")
                            << QByteArray("\r\n+CMS ERROR: 302\r\n");
    QTest::newRow("other status") << QByteArray("AT+CMGL=\"REC UNREAD\"")
                                  << QByteArray("\r\n+CMS ERROR: 302\r\n");
    QTest::newRow("pdu status, not served")
        << QByteArray("AT+CMGL=4") << QByteArray("\r\nERROR\r\n");
    QTest::newRow("format asked") << QByteArray("AT+CMGF?")
                                  << QByteArray("\r\n+CMGF: 0\r\n\r\nOK\r\n");
}

// Echo and detail fields go back to power-on; the messages stay in the modem's memory.
void ModemFaultsTest::restartComesBackInPduMode() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, answer);
    ModemModel modem;
    storeFirst(modem);
    modem.feed("ATE0\rAT+CSDH=1\r");
    modem.setMuted(true);
    QCOMPARE(modem.restart(), kStartUpWords);
    QVERIFY(!modem.muted());
    QCOMPARE(modem.feed(command + "\r\n"), command + '\r' + answer);
    QCOMPARE(modem.feed("AT+CMGF=1\r\n"), QByteArray("AT+CMGF=1\r\r\nOK\r\n"));
    QCOMPARE(modem.feed("at+cmgl=all\r\n"), "at+cmgl=all\r\r\n" + kFirstEntry + "\r\nOK\r\n");
}

void ModemFaultsTest::restartDropsMessageBeingWritten() {
    ModemModel modem;
    modem.feed("AT+CMGS=\"+79161234567\"\r\n/1234 AR");
    modem.startCall("+79007654321");
    modem.restart();
    QCOMPARE(modem.callState(), CallState::Idle);
    QCOMPARE(modem.feed("AT\r"), QByteArray("AT\r\r\nOK\r\n"));
    QCOMPARE(modem.feed("\x1a"), QByteArray()); // no text entry left to end
    QVERIFY(modem.sentMessages().isEmpty());
}

// Power-on is text mode, as it always was; only AT+CMGF=0 or a restart brings PDU mode, and ATZ
// keeps whichever is on. Plugging in again powers on in text mode.
void ModemFaultsTest::formatSwitchesAndSurvivesAtz() {
    ModemModel modem;
    storeFirst(modem);
    QCOMPARE(modem.feed("AT+CMGF?\r"), QByteArray("AT+CMGF?\r\r\n+CMGF: 1\r\n\r\nOK\r\n"));
    QCOMPARE(modem.feed("AT+CMGF=0\r"), QByteArray("AT+CMGF=0\r\r\nOK\r\n"));
    modem.feed("ATZ\r");
    QCOMPARE(modem.feed("at+cmgl=all\r"), QByteArray("at+cmgl=all\r\r\n+CMS ERROR: 302\r\n"));
    QCOMPARE(modem.messageFormat(), MessageFormat::Pdu);
    modem.powerOn();
    QCOMPARE(modem.messageFormat(), MessageFormat::Text);
    QCOMPARE(modem.feed("at+cmgl=all\r"), "at+cmgl=all\r\r\n" + kFirstEntry + "\r\nOK\r\n");
}

void ModemFaultsTest::controlLinesDriveTheFaults() {
    ModemModel modem;
    ControlInterpreter control(modem);
    QCOMPARE(control.execute("MUTE").replyLines, QList<QByteArray>{"OK"});
    QVERIFY(modem.muted());
    QCOMPARE(control.execute("SMS +79001234567 08/12/31,12:36:00+12 x").replyLines,
             QList<QByteArray>{"OK 1"});
    QCOMPARE(control.execute("unmute").replyLines, QList<QByteArray>{"OK"});
    QVERIFY(!modem.muted());

    const ControlOutcome restart = control.execute("RESTART");
    QCOMPARE(restart.replyLines, QList<QByteArray>{"OK"});
    QCOMPARE(restart.toStation, kStartUpWords);
    QVERIFY(restart.dropPendingOutput);
    QCOMPARE(modem.messageFormat(), MessageFormat::Pdu);

    QCOMPARE(control.execute("UNPLUG").replyLines, QList<QByteArray>{"ERROR no port to unplug"});
    QList<bool> calls;
    control.setPlugHandler([&calls](bool plugIn) -> std::optional<QByteArray> {
        calls.append(plugIn);
        if (calls.size() == 3)
            return QByteArray("cannot link /x");
        return std::nullopt;
    });
    QCOMPARE(control.execute("UNPLUG").replyLines, QList<QByteArray>{"OK"});
    QCOMPARE(modem.messageFormat(), MessageFormat::Pdu); // nothing powers on while out
    QCOMPARE(control.execute("REPLUG").replyLines, QList<QByteArray>{"OK"});
    QCOMPARE(modem.messageFormat(), MessageFormat::Text);
    QCOMPARE(control.execute("REPLUG").replyLines, QList<QByteArray>{"ERROR cannot link /x"});
    QCOMPARE(calls, (QList<bool>{false, true, true}));
    QCOMPARE(modem.store().count(), 1);
}

QTEST_GUILESS_MAIN(ModemFaultsTest)
#include "tst_modem_faults.moc"
