#include "FakeModemLink.h"
#include "ScriptedPump.h"
#include "modem/ModemExchange.h"
#include "modem/ReplyLines.h"

#include <QTest>

using namespace tirvon::modem;

namespace {

class RecordingView : public ExchangeView, public CallHandover {
public:
    void exchangeEnded(ExchangeOutcome outcome) override { outcomes.append(outcome); }
    void monitorEntry(const QByteArray& buffer) override { monitor.append(buffer); }
    void inccall(const QByteArray& callerText) override { calls.append(callerText); }

    QList<ExchangeOutcome> outcomes;
    QList<QByteArray> monitor;
    QList<QByteArray> calls;
};

struct Bench {
    FakeModemLink link;
    RecordingView view;
    ScriptedPump pump;
    ModemExchange exchange{link, view, pump};

    Bench() { exchange.setCallHandover(&view); }
    void arrive(const QByteArray& bytes) {
        pump.then([this, bytes] { link.deliver(bytes); });
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            pump.then([this] { exchange.onWatchdogTick(); });
    }
};

} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void aCommandGoesOutWithCrLfAndCompletesOnOk() {
        Bench b;
        b.arrive("at+csq\r\r\n+CSQ: 17,99\r\n");
        b.arrive("\r\nOK\r\n");
        const QByteArray reply = b.exchange.sendCommand("at+csq");
        QCOMPARE(b.link.written, QByteArray("at+csq\r\n"));
        QCOMPARE(reply, QByteArray("at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n"));
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::Completed});
        QVERIFY(b.exchange.buffer().isEmpty());
        QVERIFY(!b.exchange.busy());
        QVERIFY(!b.exchange.watchdogTimer().isActive());
    }

    void okWinsOverErrorInTheSameBuffer() {
        Bench b;
        b.arrive("+CME ERROR: 10\r\n\r\nOK\r\n");
        QCOMPARE(b.exchange.sendCommand("AT"), QByteArray("+CME ERROR: 10\r\n\r\nOK\r\n"));
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::Completed});
    }

    void errorAlreadyInTheBufferEndsTheExchangeAtOnce() {
        Bench b;
        b.link.deliver("\r\nERROR\r\n"); // unsolicited, before the command
        b.pump.now += 1000;
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), QByteArray("\r\nERROR\r\n"));
        QCOMPARE(b.pump.waits, 0);
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::Failed});
        QVERIFY(!b.exchange.busy());
        // The modem's own answer lands in the emptied buffer and opens the next reply.
        b.link.deliver("at+cmgl=all\r\r\nOK\r\n");
        QCOMPARE(b.exchange.buffer(), QByteArray("at+cmgl=all\r\r\nOK\r\n"));
    }

    void okAlreadyInTheBufferCompletesAtOnceWithTheOldText() {
        Bench b;
        b.link.deliver(
            "at+csq\r\r\n+CSQ: 9,99\r\n\r\nOK\r\n"); // late answer to an abandoned exchange
        b.pump.now += 1000;
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"),
                 QByteArray("at+csq\r\r\n+CSQ: 9,99\r\n\r\nOK\r\n"));
        QCOMPARE(b.pump.waits, 0);
        b.arrive("at+cmgl=all\r\r\nOK\r\n");
        QCOMPARE(b.exchange.sendCommand("AT"), QByteArray("at+cmgl=all\r\r\nOK\r\n"));
    }

    void cmsErrorFailsTheExchangeInRedBold() {
        Bench b;
        b.arrive("at+cmgd=3\r\r\n+CMS ERROR: 321\r\n");
        QCOMPARE(b.exchange.sendCommand("at+cmgd=3"),
                 QByteArray("at+cmgd=3\r\r\n+CMS ERROR: 321\r\n"));
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::Failed});
        QVERIFY(!b.exchange.busy());
        QVERIFY(!b.exchange.watchdogTimer().isActive());
    }

    void unsolicitedTextStandsInFrontOfTheReply() {
        Bench b;
        b.link.deliver("\r\n+CMTI: \"ME\",4\r\n\r\nRING\r\n");
        b.arrive("at+csq\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
        QCOMPARE(
            b.exchange.sendCommand("at+csq"),
            QByteArray("\r\n+CMTI: \"ME\",4\r\n\r\nRING\r\nat+csq\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n"));
    }

    void theWatchdogGivesUpOnTheEleventhTick() {
        Bench b;
        b.exchange.setSmsWork(true);
        b.ticks(10);
        b.pump.then([&b] {
            QVERIFY(b.exchange.busy()); // still waiting after ten ticks
            QVERIFY(b.view.outcomes.isEmpty());
            b.exchange.onWatchdogTick();
        });
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), QByteArray());
        QCOMPARE(b.exchange.watchdogCount(), 11);
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::TimedOut});
        QVERIFY(!b.exchange.smsWork());
        QVERIFY(!b.exchange.busy());
        QVERIFY(!b.exchange.watchdogTimer().isActive());
    }

    void anAbandonedExchangeReturnsWhatArrived() {
        Bench b;
        b.arrive("at+cmgl=all\r\r\n+CMGL: 1,");
        b.ticks(11);
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), QByteArray("at+cmgl=all\r\r\n+CMGL: 1,"));
        QVERIFY(b.exchange.buffer().isEmpty());
    }

    void anEmptyCommandIsCrLfAlone() {
        Bench b;
        b.ticks(11);
        QCOMPARE(b.exchange.sendCommand(""), QByteArray());
        QCOMPARE(b.link.written, QByteArray("\r\n"));
    }

    void eachNewExchangeRestartsTheWatchdogCount() {
        Bench b;
        b.ticks(5);
        b.arrive("\r\nOK\r\n");
        b.exchange.sendCommand("AT");
        QCOMPARE(b.exchange.watchdogCount(), 5);
        b.ticks(10);
        b.arrive("\r\nOK\r\n");
        b.exchange.sendCommand("AT");
        QCOMPARE(b.view.outcomes,
                 QList<ExchangeOutcome>({ExchangeOutcome::Completed, ExchangeOutcome::Completed}));
    }

    void aNestedExchangeTakesTheReplyAndTheOuterEndsAtOnce() {
        Bench b;
        b.pump.then([&b] {
            b.arrive("ATA\r\r\nOK\r\n");
            QCOMPARE(b.exchange.sendCommand("ATA"), QByteArray("ATA\r\r\nOK\r\n"));
        });
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), QByteArray());
        QCOMPARE(b.link.written, QByteArray("at+cmgl=all\r\nATA\r\n"));
        QVERIFY(!b.exchange.busy());
    }

    void theMonitorGetsTheWholeBufferAtEveryNotification() {
        Bench b;
        b.link.deliver("\r\nRI");
        b.link.deliver("NG\r\n");
        b.link.deliver("+CMTI:");
        QCOMPARE(b.view.monitor,
                 QList<QByteArray>({"\r\nRI", "\r\nRING\r\n", "\r\nRING\r\n+CMTI:"}));
        QCOMPARE(b.view.monitor[0].size(), 4);
        QCOMPARE(b.view.monitor[1].size(), 8);
        QCOMPARE(b.view.monitor[2].size(), 14);
    }

    // Where a reply ends: -1 for no end yet, else the length of the reply and
    // whether it is "OK".
    void theClosingFinalResult_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << QByteArray("AT\r\r\nOK\r\n") << 9 << true;
        QTest::newRow("error") << QByteArray("AT\r\r\nERROR\r\n") << 12 << false;
        QTest::newRow("cms error") << QByteArray("\r\n+CMS ERROR: 321\r\n") << 19 << false;
        QTest::newRow("cme error") << QByteArray("\r\n+CME ERROR: 10\r\n") << 18 << false;
        QTest::newRow("error text, then ok")
            << QByteArray("\r\nERROR x\r\n\r\nOK\r\n") << 17 << true;
        QTest::newRow("ok line, then more") << QByteArray("\r\nOK\r\nIN1 OPEN\r\n") << -1 << false;
        QTest::newRow("line not complete") << QByteArray("\r\nOK") << -1 << false;
        QTest::newRow("word inside a line") << QByteArray("\r\nNOT OK\r\n") << -1 << false;
        QTest::newRow("error inside a line") << QByteArray("x ERROR\r\n") << -1 << false;
        QTest::newRow("unsolicited after ok")
            << QByteArray("\r\nOK\r\n\r\n^RSSI:14\r\n\r\nRDY\r\n") << 6 << true;
        QTest::newRow("call after ok")
            << QByteArray("\r\nOK\r\n\r\nRING\r\n\r\n+CLIP: \"+7\",145\r\n") << 6 << true;
        QTest::newRow("caller hung up after ok")
            << QByteArray("at+cmgd=10\r\r\nOK\r\n\r\nNO CARRIER\r\n") << 17 << true;
        QTest::newRow("only unsolicited") << QByteArray("\r\n^MODE:5\r\n") << -1 << false;
        QTest::newRow("nothing") << QByteArray() << -1 << false;
        QTest::newRow("bare line end") << QByteArray("\r\n") << -1 << false;
    }
    void theClosingFinalResult() {
        QFETCH(QByteArray, received);
        QFETCH(int, end);
        QFETCH(bool, ok);
        const auto result = closingFinalResult(received);
        QCOMPARE(result ? int(result->end) : -1, end);
        if (result)
            QCOMPARE(result->ok, ok);
    }

    void theClosingCall_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("caller"); // empty: no call
        QTest::addColumn<int>("start");
        const QByteArray ring = "\r\nRING\r\n\r\n+CLIP: \"+79161234567\",145,,,,0\r\n";
        QTest::newRow("ring") << ring << QByteArray("+CLIP: \"+79161234567\"") << 0;
        QTest::newRow("after a reply")
            << "AT\r\r\nOK\r\n" + ring << QByteArray("+CLIP: \"+79161234567\"") << 9;
        QTest::newRow("rings repeated")
            << ring + ring << QByteArray("+CLIP: \"+79161234567\"") << 0;
        QTest::newRow("unsolicited between")
            << QByteArray("RING\r\n^RSSI:9\r\n+CLIP: \"+7900\",145\r\n\r\n^MODE:5\r\n")
            << QByteArray("+CLIP: \"+7900\"") << 0;
        QTest::newRow("caller hung up before it was taken")
            << ring + "\r\nNO CARRIER\r\n"
            << QByteArray("+CLIP: \"+79161234567\"") << 0;
        QTest::newRow("national number")
            << QByteArray("RING\r\n+CLIP: \"8916\",129\r\n") << QByteArray() << 0;
        QTest::newRow("no ring") << QByteArray("\r\n+CLIP: \"+7900\",145\r\n") << QByteArray() << 0;
        QTest::newRow("more text after") << ring + "+CMGL: 4,\"REC UNREAD\"\r\n"
                                         << QByteArray() << 0;
        QTest::newRow("ring inside a line")
            << QByteArray("x RING\r\n+CLIP: \"+7900\",145\r\n") << QByteArray() << 0;
        QTest::newRow("not complete") << ring.chopped(1) << QByteArray() << 0;
        QTest::newRow("type without quote")
            << QByteArray("RING\r\n+CLIP: +7900,145\r\n") << QByteArray() << 0;
    }
    void theClosingCall() {
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, caller);
        QFETCH(int, start);
        const auto call = closingIncomingCall(received);
        QCOMPARE(call ? call->callerText : QByteArray(), caller);
        if (call)
            QCOMPARE(int(call->start), start);
    }

    void unsolicitedLinesLeaveTheReplyAsIfTheyHadNotCome_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("inside") << QByteArray("ATZ\r\r\n^RSSI:14\r\n\r\nOK\r\n")
                                << QByteArray("ATZ\r\r\nOK\r\n");
        QTest::newRow("after a response line")
            << QByteArray("AT+CGMI\r\r\nACME\r\n\r\n^MODE:5,4\r\n\r\nOK\r\n")
            << QByteArray("AT+CGMI\r\r\nACME\r\n\r\nOK\r\n");
        QTest::newRow("in front") << QByteArray("\r\n+CMTI: \"ME\",3\r\nATZ\r\r\nOK\r\n")
                                  << QByteArray("ATZ\r\r\nOK\r\n");
        QTest::newRow("two in a row")
            << QByteArray("at+csq\r\r\n^BOOT:1,0\r\n\r\n^SRVST:2\r\n\r\n+CSQ: 4,0\r\n\r\nOK\r\n")
            << QByteArray("at+csq\r\r\n+CSQ: 4,0\r\n\r\nOK\r\n");
        QTest::newRow("banners after the result")
            << QByteArray("ATZ\r\r\nOK\r\n\r\nRDY\r\n\r\nCall Ready\r\n\r\nSMS Ready\r\n")
            << QByteArray("ATZ\r\r\nOK\r\n");
        QTest::newRow("unframed") << QByteArray("ATZ\r\r\nOK\r\n^RSSI:3\r\n")
                                  << QByteArray("ATZ\r\r\nOK\r\n");
        QTest::newRow("a line that only starts alike")
            << QByteArray("x^RSSI\r\nRDY now\r\n") << QByteArray("x^RSSI\r\nRDY now\r\n");
        QTest::newRow("not a complete line")
            << QByteArray("OK\r\n^RSSI") << QByteArray("OK\r\n^RSSI");
    }
    void unsolicitedLinesLeaveTheReplyAsIfTheyHadNotCome() {
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, reply);
        QCOMPARE(withoutUnsolicited(received), reply);
    }

    void aListingEndsOnlyOnItsOwnFinalResult() {
        // Texts of strangers that hold the modem's words, arriving a few bytes at
        // a time, as a serial port delivers them.
        const QByteArray listing =
            "at+cmgl=all\r\r\n"
            "+CMGL: 1,\"REC UNREAD\",\"+79990000001\",,\"08/12/31,12:36:00+12\"\r\nERROR\r\n"
            "+CMGL: 2,\"REC UNREAD\",\"+79990000002\",,\"08/12/31,12:36:00+12\"\r\n"
            "x\r\nOK\r\n"
            "+CMGL: 3,\"REC UNREAD\",\"+79990000003\",,\"08/12/31,12:36:00+12\"\r\n"
            "\r\nRING\r\n\r\n+CLIP: \"+79161234567\",145,,,,0\r\n"
            "+CMGL: 4,\"REC UNREAD\",\"+79160000001\",,\"08/12/31,12:36:00+12\"\r\n"
            "10:00\nIN1 OPEN\r\n\r\nOK\r\n";
        Bench b;
        for (qsizetype at = 0; at < listing.size(); at += 5) {
            const QByteArray piece = listing.mid(at, 5);
            b.pump.then([&b, piece] {
                b.pump.now += 3; // 5 characters at 19200 baud
                b.link.deliver(piece);
            });
        }
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), listing);
        QCOMPARE(b.view.outcomes, QList<ExchangeOutcome>{ExchangeOutcome::Completed});
        QVERIFY(b.view.calls.isEmpty());
        QVERIFY(b.pump.script.empty());
    }

    void aFinalResultCountsOnlyOnceTheLineHasSettled() {
        Bench b;
        b.arrive("at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
        // More comes within the settle time: the OK was no final result.
        b.pump.then([&b] {
            b.pump.now += ModemExchange::SettleMs - 1;
            b.link.deliver("more\r\n");
        });
        b.pump.then([&b] { b.link.deliver("\r\nOK\r\n"); });
        const qint64 start = b.pump.now;
        QCOMPARE(b.exchange.sendCommand("at+csq"),
                 QByteArray("at+csq\r\r\n+CSQ: 17,99\r\n\r\nOK\r\nmore\r\n\r\nOK\r\n"));
        QCOMPARE(b.pump.now, start + 2 * ModemExchange::SettleMs - 1);
    }

    void whatFollowsTheFinalResultStaysForTheNextReply() {
        Bench b;
        b.arrive("AT\r\r\nOK\r\n\r\n^RSSI:14\r\n");
        QCOMPARE(b.exchange.sendCommand("AT"), QByteArray("AT\r\r\nOK\r\n"));
        QCOMPARE(b.exchange.buffer(), QByteArray("\r\n^RSSI:14\r\n"));
    }

    void aCallIsTakenOnceTheLineIsQuiet() {
        Bench b;
        b.link.deliver("\r\nRING\r\n\r\n+CLIP: \"+7916");
        b.link.deliver("1234567\",145,,,,0\r\n");
        b.exchange.onLineQuiet();
        QVERIFY(b.view.calls.isEmpty()); // not yet quiet for long enough
        b.pump.now += ModemExchange::SettleMs;
        b.exchange.onLineQuiet();
        QCOMPARE(b.view.calls, QList<QByteArray>{"+CLIP: \"+79161234567\""});
        QVERIFY(b.exchange.buffer().isEmpty());
        b.exchange.onLineQuiet();
        QCOMPARE(b.view.calls.size(), 1);
    }

    void aCallRightAfterAFinalResultRingsWhenTheExchangeEnds() {
        Bench b;
        b.arrive("at+cmgd=1\r\r\nOK\r\n\r\nRING\r\n\r\n+CLIP: \"+7900\",145,,,,0\r\n");
        QCOMPARE(b.exchange.sendCommand("at+cmgd=1"), QByteArray("at+cmgd=1\r\r\nOK\r\n"));
        QCOMPARE(b.view.calls, QList<QByteArray>{"+CLIP: \"+7900\""});
        QVERIFY(b.exchange.buffer().isEmpty());
    }

    void noCallIsTakenWhileAnExchangeWaits() {
        Bench b;
        b.pump.then([&b] {
            b.link.deliver("\r\nRING\r\n\r\n+CLIP: \"+7900\",145,,,,0\r\n");
            b.pump.now += ModemExchange::SettleMs;
            b.exchange.onLineQuiet();
            QVERIFY(b.view.calls.isEmpty());
        });
        b.ticks(11);
        b.exchange.sendCommand("at+cmgs=1");
        QVERIFY(b.view.calls.isEmpty()); // the abandoned exchange took the text
    }

    void aNationalCallerStaysInTheBuffer() {
        Bench b;
        const QByteArray ring = "\r\nRING\r\n\r\n+CLIP: \"89161234567\",129,,,,0\r\n";
        b.link.deliver(ring);
        b.pump.now += ModemExchange::SettleMs;
        b.exchange.onLineQuiet();
        QVERIFY(b.view.calls.isEmpty());
        QCOMPARE(b.exchange.buffer(), ring);
    }

    void theCallHandlerCanTalkToTheModemWithoutSeeingItsCallAgain() {
        struct Answering : CallHandover {
            Bench* b = nullptr;
            QList<QByteArray> calls;
            QByteArray answer;
            void inccall(const QByteArray& text) override {
                calls.append(text);
                b->arrive("ATA\r\r\nOK\r\n");
                answer = b->exchange.sendCommand("ATA");
            }
        } answering;
        Bench b;
        answering.b = &b;
        b.exchange.setCallHandover(&answering);
        b.link.deliver("RING\r\n+CLIP: \"+7900\",145\r\n");
        b.pump.now += ModemExchange::SettleMs;
        b.exchange.onLineQuiet();
        QCOMPARE(answering.calls, QList<QByteArray>({"+CLIP: \"+7900\""}));
        QCOMPARE(answering.answer, QByteArray("ATA\r\r\nOK\r\n"));
        QVERIFY(b.exchange.buffer().isEmpty());
    }

    void nulBytesNeverReachTheBuffer() {
        Bench b;
        b.link.deliver(QByteArray("O\0K", 3));
        b.link.deliver(QByteArray(1, '\0'));
        QCOMPARE(b.exchange.buffer(), QByteArray("OK"));
        QCOMPARE(b.view.monitor, QList<QByteArray>{"OK"});
    }

    void aShutDownEndsEveryWaitAtOnce() {
        Bench b;
        // A silent modem: the program ends during the wait, then a delay follows.
        b.pump.then([&b] { b.exchange.shutDown(); });
        QCOMPARE(b.exchange.sendCommand("at+cmgl=all"), QByteArray());
        const qint64 now = b.pump.now;
        b.exchange.delay(5000);
        QCOMPARE(b.pump.now, now);
        QCOMPARE(b.exchange.sendCommand("ATZ"), QByteArray());
        QCOMPARE(b.link.written, QByteArray("at+cmgl=all\r\n")); // nothing more went out
        QVERIFY(!b.exchange.busy());
        QVERIFY(!b.exchange.watchdogTimer().isActive());
        QVERIFY(b.pump.script.empty());
    }

    void delayZeroHandlesEventsTwiceWithoutSleeping() {
        Bench b;
        b.exchange.delay(0);
        QCOMPARE(b.pump.passes, 2);
        QCOMPARE(b.pump.waits, 0);
    }

    void delayWaitsUntilItsTimeHandlingWhatComes() {
        Bench b;
        const qint64 start = b.pump.now;
        b.pump.then([&b] {
            b.pump.now += 700;
            b.link.deliver("x");
        });
        b.pump.then([&b] { b.pump.now += 700; });
        b.exchange.delay(2000);
        QCOMPARE(b.pump.now, start + 2000);
        QCOMPARE(b.exchange.buffer(), QByteArray("x"));
        QCOMPARE(b.pump.passes, 2);
    }

    void resetEmptiesTheBufferAndClearsBothFlags() {
        Bench b;
        b.link.deliver("junk");
        b.exchange.setSmsWork(true);
        b.exchange.reset();
        QVERIFY(b.exchange.buffer().isEmpty());
        QVERIFY(!b.exchange.smsWork());
        QVERIFY(!b.exchange.busy());
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "test_exchange.moc"
