#include "FakeModemLink.h"
#include "ScriptedPump.h"
#include "TempIniFile.h"
#include "queue/OutgoingQueue.h"
#include "rules/RuleRunner.h"
#include "sound/SoundRequests.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;
using text::cp;

namespace {

struct Rules : TempIniFile {
    FakeModemLink link;
    ScriptedPump pump;
    NullExchangeView view;
    modem::ModemExchange exchange{link, view, pump};
    SoundRequests sounds;
    OutgoingQueue queue{exchange, sounds, [](int) {
                        }};
    QList<QByteArray> logged;
    QDateTime now{QDate(2026, 12, 9), QTime(8, 0, 0)};
    RuleRunner runner{
        file, queue,
        [this](const QByteArray& object, const QByteArray& date, const QByteArray& arrival,
               const QByteArray& sending, const QByteArray& text) {
            logged.append(object + " | " + date + " | " + arrival + " | " + sending + " | " + text);
        },
        [this] {
            return now;
        }};

    explicit Rules(const QByteArray& content) : TempIniFile(content) { runner.startClock(); }
    QList<QByteArray> sent() const {
        QList<QByteArray> all;
        for (const auto& e : queue.entries())
            all.append(e.number + " " + e.text);
        return all;
    }
};

const QByteArray atm = "[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\nPass=4071\r\n";

} // namespace

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void matchingRulesRunInKeyOrderAndAreLogged() {
        Rules r(atm + "Action3=IN1 OPEN::RELE1 ON !::1::" + cp("Сирена") +
                "\r\n"
                "Action4=IN2 OPEN::OUT1 ON::1::other\r\n"
                "Action5=IN1 OPEN::OUT2 ON::1::second\r\n");
        r.runner.Action("Bank1", "IN1 OPEN\r");
        QCOMPARE(r.sent(),
                 QList<QByteArray>({"79160000001 /4071 RELE1 ON !", "79160000001 /4071 OUT2 ON"}));
        QCOMPARE(r.logged, QList<QByteArray>({"ATM | 09.12.26 | 08:00:00 | 08:00:00 | " +
                                                  cp("Выполнение События: Сирена"),
                                              "ATM | 09.12.26 | 08:00:00 | 08:00:00 | " +
                                                  cp("Выполнение События: second")}));
    }

    void alarmTriggersOnlyMatchAlarmLines() {
        Rules r(atm + "Action3=IN1 OPEN::A::1::plain\r\nAction4=ALARM IN1 OPEN::B::1::alarm\r\n");
        r.runner.Action("Bank1", "ALARM IN1 OPEN");
        r.runner.Action("Bank1", "IN1 OPEN");
        QCOMPARE(r.sent(), QList<QByteArray>({"79160000001 /4071 A", "79160000001 /4071 B",
                                              "79160000001 /4071 A"}));
    }

    void inactiveAndIncompleteRecordsNeverRun() {
        Rules r(atm + "Action3=IN1 OPEN::A::0::off\r\nAction4=IN1 OPEN::B::1\r\nAction5=IN1 "
                      "OPEN::C::1::on::x\r\n");
        r.runner.Action("Bank1", "IN1 OPEN");
        QCOMPARE(r.sent(), QList<QByteArray>{"79160000001 /4071 C"});
        QCOMPARE(r.logged.size(), 1);
        QVERIFY(r.logged[0].endsWith(cp("Выполнение События: on::x")));
    }

    void aGapEndsThePassAndFiveHundredIsTheMost() {
        Rules gap(atm + "Action3=X::A::1::d\r\nAction5=X::B::1::d\r\n");
        gap.runner.Action("Bank1", "X");
        QCOMPARE(gap.sent().size(), 1);
        QByteArray many = atm;
        for (int n = 3; n < 603; ++n)
            many +=
                "Action" + QByteArray::number(n) + "=X::" + QByteArray::number(n) + "::1::d\r\n";
        Rules six(many);
        six.runner.Action("Bank1", "X");
        QCOMPARE(six.sent().size(), 500);
        QCOMPARE(six.sent().last(), QByteArray("79160000001 /4071 502"));
    }

    void aLineMentioningTimeRunsOnlyRulesItsTextHolds() {
        Rules r(atm + "Action3=IN1 OPEN::A::1::d\r\nAction4=_TIME 08:00:00::B::1::d\r\n");
        r.runner.Action("Bank1", "_TIME 08:00:00 IN2 OPEN");
        QCOMPARE(r.sent(), QList<QByteArray>{"79160000001 /4071 B"});
        r.runner.Action("Bank1", "X_TIME");
        QCOMPARE(r.sent().size(), 1);
    }

    void passwordsAndNumbersAsStored() {
        Rules r("[Bank1]\r\nAction3=X::A::1::d\r\n"
                "[Bank2]\r\nPass=\r\nAction3=X::B::1::d\r\n");
        r.runner.Action("Bank1", "X"); // no Pass key: no rules
        r.runner.Action("Bank2", "X");
        r.runner.Action("none", "X");
        QCOMPARE(r.sent(), QList<QByteArray>{"NoPhone / B"});
        QVERIFY(r.logged[0].startsWith("None | "));
    }

    void aTimeRuleRunsOnceWhenTheClockReachesIt() {
        Rules r(atm + "Action3=_TIME 08:00:05::RELE1 ON !::1::morning\r\nAction4=_TIME "
                      "08:00:06::X::0::off\r\n");
        r.now = QDateTime(QDate(2026, 12, 9), QTime(8, 0, 4));
        r.runner.checkTimeRules();
        QVERIFY(r.sent().isEmpty());
        r.now = r.now.addSecs(3); // a busy modem skipped a tick: 08:00:07
        r.runner.checkTimeRules();
        QCOMPARE(r.sent(), QList<QByteArray>{"79160000001 /4071 RELE1 ON !"});
        QCOMPARE(r.logged, QList<QByteArray>{"ATM | 09.12.26 | 08:00:07 | 08:00:07 | " +
                                             cp("Выполнение События: morning")});
        r.runner.checkTimeRules();
        r.now = QDateTime(QDate(2026, 12, 9), QTime(8, 0, 2)); // the clock set back
        r.runner.checkTimeRules();
        r.now = QDateTime(QDate(2026, 12, 9), QTime(8, 0, 9));
        r.runner.checkTimeRules();
        QCOMPARE(r.sent().size(), 1); // never twice a day
        r.now = QDateTime(QDate(2026, 12, 10), QTime(8, 0, 5));
        r.runner.checkTimeRules();
        QCOMPARE(r.sent().size(), 2); // the next day again
    }

    void aTimeThatPassedBeforeTheStartIsNotMadeUpFor() {
        Rules r(atm + "Action3=_TIME 07:59:00::A::1::d\r\nAction4=_TIME 23:59:59::B::1::late\r\n");
        r.runner.checkTimeRules();
        QVERIFY(r.sent().isEmpty());
        // Across midnight the moment of the day before still counts.
        r.now = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 58));
        r.runner.checkTimeRules();
        r.now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1));
        r.runner.checkTimeRules();
        QCOMPARE(r.sent(), QList<QByteArray>{"79160000001 /4071 B"});
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "test_rules.moc"
