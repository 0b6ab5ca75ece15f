#include "polling/PollingCycle.h"

#include <QTest>

using tirvon::station::PollingCycle;
using tirvon::station::PollingWork;

namespace {

// Records what each tick set going, as "tick:what".
class RecordingWork : public PollingWork {
public:
    bool modemWorkInProgress() const override { return busy; }
    bool hasQueuedMessage() const override { return queued > 0; }
    void sendQueuedMessage() override {
        --queued;
        log.append(QStringLiteral("%1:send").arg(tick));
    }
    QByteArray sendCommand(const QByteArray& command) override {
        log.append(QStringLiteral("%1:%2").arg(tick).arg(QString::fromLatin1(command)));
        return "reply to " + command;
    }
    void cmgl(const QByteArray& reply) override { replies.append("cmgl " + reply); }
    void csq(const QByteArray& reply) override { replies.append("csq " + reply); }

    bool busy = false;
    int queued = 0;
    int tick = 0;
    QStringList log;
    QList<QByteArray> replies;
};

void run(PollingCycle& cycle, RecordingWork& work, int from, int to) {
    for (work.tick = from; work.tick <= to; ++work.tick)
        cycle.tick();
}

} // namespace

class PollingTest : public QObject {
    Q_OBJECT
private slots:
    void aQuietCycleListsAtFiveTenFifteenAndReadsTheSignalAtTen() {
        RecordingWork work;
        PollingCycle cycle(work);
        run(cycle, work, 1, 25);
        QCOMPARE(work.log, QStringList({"5:at+cmgl=all", "10:at+cmgl=all", "10:at+csq",
                                        "15:at+cmgl=all", "25:at+cmgl=all"}));
        QCOMPARE(work.replies,
                 QList<QByteArray>({"cmgl reply to at+cmgl=all", "cmgl reply to at+cmgl=all",
                                    "csq reply to at+csq", "cmgl reply to at+cmgl=all",
                                    "cmgl reply to at+cmgl=all"}));
    }

    void tickTwentyOneCountsAsOne() {
        RecordingWork work;
        PollingCycle cycle(work);
        run(cycle, work, 1, 20);
        QCOMPARE(cycle.count(), 0);
        run(cycle, work, 21, 21);
        QCOMPARE(cycle.count(), 1);
    }

    void aQueuedMessageGoesOutAtTheNextTickAndRestartsTheCycle() {
        RecordingWork work;
        PollingCycle cycle(work);
        run(cycle, work, 1, 7);
        work.queued = 1;
        run(cycle, work, 8, 20);
        QCOMPARE(work.log, QStringList({"5:at+cmgl=all", "8:send", "13:at+cmgl=all",
                                        "18:at+cmgl=all", "18:at+csq"}));
    }

    void noListingWhileMessagesWait() {
        RecordingWork work;
        PollingCycle cycle(work);
        work.queued = 7;
        run(cycle, work, 1, 12);
        QCOMPARE(work.log.filter(QStringLiteral("cmgl")), QStringList({"12:at+cmgl=all"}));
        QCOMPARE(work.log.filter(QStringLiteral("send")).size(), 7);
    }

    void aTickDuringModemWorkDoesNothingAndDoesNotCount() {
        RecordingWork work;
        PollingCycle cycle(work);
        run(cycle, work, 1, 4);
        work.busy = true;
        work.queued = 1;
        run(cycle, work, 5, 9);
        QCOMPARE(cycle.count(), 4);
        QVERIFY(work.log.isEmpty());
        work.busy = false;
        work.queued = 0;
        run(cycle, work, 10, 10);
        QCOMPARE(work.log, QStringList({"10:at+cmgl=all"}));
    }
};

QTEST_GUILESS_MAIN(PollingTest)
#include "test_polling.moc"
