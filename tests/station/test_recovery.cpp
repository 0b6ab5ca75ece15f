// When the station brings the modem back, read from what the polling saw.
#include "recovery/ModemRecovery.h"

#include <QTest>

using namespace tirvon::station;
using Outcome = tirvon::modem::ExchangeOutcome;
using Cause = ModemRecovery::Cause;

Q_DECLARE_METATYPE(Cause)

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void startWordsCountOnlyBeforeTheEcho_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("restarted");
        QTest::newRow("words, then a refused listing")
            << QByteArray("\r\nRDY\r\n\r\nCall Ready\r\n\r\nSMS Ready\r\nat+cmgl=all\r\r\n"
                          "+CMS ERROR: 302\r\n")
            << true;
        QTest::newRow("one word, echo off") << QByteArray("\r\n^SYSSTART\r\n\r\nERROR\r\n") << true;
        QTest::newRow("a message text that says RDY")
            << QByteArray(
                   "at+cmgl=all\r\r\n+CMGL: 1,\"REC READ\",\"+7916\",,\"26/12/09,10:00:00+12\""
                   "\r\nRDY\r\nSMS Ready\r\n\r\nOK\r\n")
            << false;
        QTest::newRow("a word inside a line")
            << QByteArray("\r\nNOT RDY\r\nat+cmgl=all\r\r\nOK\r\n") << false;
        QTest::newRow("signal reports only")
            << QByteArray("\r\n^RSSI:14\r\nat+cmgl=all\r\r\nOK\r\n") << false;
    }
    void startWordsCountOnlyBeforeTheEcho() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, restarted);
        QCOMPARE(showsModemStart(reply, "at+cmgl=all"), restarted);
    }

    // Steps: "t" an abandoned exchange, "o" one that ended, "r" a refused
    // listing, "l" a listing read, "s" start words, "p" the port lost.
    void whatCallsForAnInitialisation_data() {
        QTest::addColumn<QByteArray>("steps");
        QTest::addColumn<Cause>("due");
        QTest::newRow("three abandoned in a row") << QByteArray("ttt") << Cause::Silent;
        QTest::newRow("an answer between them") << QByteArray("ttott") << Cause::None;
        QTest::newRow("three refused listings") << QByteArray("rrr") << Cause::Refused;
        QTest::newRow("a listing read between them") << QByteArray("rrlrr") << Cause::None;
        QTest::newRow("start words at once") << QByteArray("s") << Cause::Restarted;
        QTest::newRow("the port lost") << QByteArray("op") << Cause::PortLost;
        QTest::newRow("the first cause stays") << QByteArray("tttrrr") << Cause::Silent;
    }
    void whatCallsForAnInitialisation() {
        QFETCH(QByteArray, steps);
        QFETCH(Cause, due);
        ModemRecovery recovery;
        for (const char step : steps) {
            switch (step) {
            case 't':
                recovery.exchangeEnded(Outcome::TimedOut);
                break;
            case 'o':
                recovery.exchangeEnded(Outcome::Completed);
                break;
            case 'r':
                recovery.replyReceived("at+cmgl=all", "at+cmgl=all\r\r\n+CMS ERROR: 302\r\n");
                break;
            case 'l':
                recovery.replyReceived("at+cmgl=all", "at+cmgl=all\r\r\nOK\r\n");
                break;
            case 's':
                recovery.replyReceived("at+csq", "\r\nRDY\r\nat+csq\r\r\nOK\r\n");
                break;
            case 'p':
                recovery.portLost();
                break;
            }
        }
        QCOMPARE(recovery.due(), due);
        QCOMPARE(recovery.recovering(), due != Cause::None);
    }

    void failedAttemptsWaitLongerUpToAMinute() {
        ModemRecovery recovery;
        recovery.portLost();
        QList<int> pauses;
        for (int i = 0; i < 8; ++i)
            pauses << recovery.attemptFailed();
        QCOMPARE(pauses, QList<int>({2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
        recovery.recovered();
        QCOMPARE(recovery.due(), Cause::None);
        QVERIFY(!recovery.recovering());
        recovery.portLost();
        QCOMPARE(recovery.attemptFailed(), 2000);
    }
};

QTEST_GUILESS_MAIN(RecoveryTest)
#include "test_recovery.moc"
