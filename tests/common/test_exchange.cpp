#include "FakeModemLink.h"
#include "ScriptedPump.h"
#include "modem/ModemExchange.h"

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

    void anInternationalCallerIsHandedOverAndTheBufferEmptied() {
        Bench b;
        b.link.deliver("\r\nRING\r\n\r\n+CLIP: \"+79161234567\",145,,,,0\r\n");
        QCOMPARE(b.view.calls, QList<QByteArray>{"+CLIP: \"+79161234567\""});
        QVERIFY(b.exchange.buffer().isEmpty());
    }

    void aNationalCallerStaysInTheBuffer() {
        Bench b;
        const QByteArray ring = "\r\nRING\r\n\r\n+CLIP: \"89161234567\",129,,,,0\r\n";
        b.link.deliver(ring);
        QVERIFY(b.view.calls.isEmpty());
        QCOMPARE(b.exchange.buffer(), ring);
        b.link.deliver("\r\nRING\r\n");
        QVERIFY(b.view.calls.isEmpty());
    }

    void aCallerLineInPiecesIsHandedOverOnceComplete() {
        Bench b;
        b.link.deliver("\r\nRING\r\n\r\n+CLIP: \"+7916");
        QVERIFY(b.view.calls.isEmpty());
        b.link.deliver("1234567\",145,,,,0\r\n");
        QCOMPARE(b.view.calls, QList<QByteArray>{"+CLIP: \"+79161234567\""});
    }

    void oddCallerTextsNeverReadOutOfBounds_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("handedOver");
        QTest::newRow("no +CLIP") << QByteArray("RING\"+7\",145") << QByteArray("RING\"+7\"");
        QTest::newRow("+CLIP after the type") << QByteArray("\",145 RING +CLIP: ") << QByteArray();
        QTest::newRow("only the mark") << QByteArray("RING\",145") << QByteArray("RING\"");
    }
    void oddCallerTextsNeverReadOutOfBounds() {
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, handedOver);
        Bench b;
        b.link.deliver(received);
        QCOMPARE(b.view.calls, QList<QByteArray>{handedOver});
        QVERIFY(b.exchange.buffer().isEmpty());
    }

    void theCallHandlerCanTalkToTheModemWithoutSeeingItsCallAgain() {
        struct Answering : CallHandover {
            Bench* b = nullptr;
            QList<QByteArray> calls;
            QByteArray answer;
            void inccall(const QByteArray& text) override {
                calls.append(text);
                if (calls.size() > 1)
                    return;
                // The modem rings once more before it takes the answer.
                b->arrive("\r\nRING\r\n\r\n+CLIP: \"+7901\",145\r\n");
                b->arrive("ATA\r\r\nOK\r\n");
                answer = b->exchange.sendCommand("ATA");
            }
        } answering;
        Bench b;
        answering.b = &b;
        b.exchange.setCallHandover(&answering);
        b.link.deliver("RING\r\n+CLIP: \"+7900\",145\r\n");
        QCOMPARE(answering.calls, QList<QByteArray>({"+CLIP: \"+7900\"", "+CLIP: \"+7901\""}));
        QCOMPARE(answering.answer, QByteArray("ATA\r\r\nOK\r\n"));
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
