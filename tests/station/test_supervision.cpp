// Supervision of the test messages: which points are missed, when, and how
// often, on an injected clock; and what a missed point sets going in the station.
#include "FileContent.h"
#include "StationFixture.h"
#include "supervision/TestSupervision.h"

#include <QTest>

namespace {

// Bank1 expects a test at 12:00 and Bank4 at 23:58, both within 5 minutes;
// Bank5 at 12:00 within "00"; Bank2 has the alarm off, Bank3 no active point.
const QByteArray watchedObjects =
    "[Bank1]\r\nName=ATM 1\r\nPhone=79160000001\r\nTALARM=-1\r\nTNOTTEST=05\r\n"
    "lTTIME=1.12:00 0.00:00 0.00:00 0.00:00\r\n"
    "[Bank2]\r\nName=Off\r\nTALARM=0\r\nTNOTTEST=05\r\nlTTIME=1.12:00 0.00:00 0.00:00 0.00:00\r\n"
    "[Bank3]\r\nName=Idle\r\nTALARM=-1\r\nlTTIME=OFF\r\n"
    "[Bank4]\r\nName=Night\r\nTALARM=1\r\nTNOTTEST=5\r\nlTTIME=0.12:00 2.23:58 0.00:00 0.00:00\r\n"
    "[Bank5]\r\nName=Exact\r\nTALARM=-1\r\nTNOTTEST=00\r\nlTTIME=1.12:00 0.00:00 0.00:00 "
    "0.00:00\r\n";

// "dd hh:mm:ss" of December 2026.
QDateTime at(const QString& moment) {
    return QDateTime(QDate(2026, 12, moment.left(2).toInt()),
                     QTime::fromString(moment.mid(3), QStringLiteral("hh:mm:ss")));
}

} // namespace

class SupervisionTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void theToleranceOfAPoint_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("minutes");
        QTest::newRow("two digits") << QByteArray("05") << 5;
        QTest::newRow("one digit") << QByteArray("7") << 7;
        QTest::newRow("zero") << QByteArray("00") << 1;
        QTest::newRow("empty") << QByteArray("") << 1;
        QTest::newRow("no number") << QByteArray("x5") << 1;
        QTest::newRow("negative") << QByteArray("-3") << 1;
        QTest::newRow("beyond half a day") << QByteArray("9999") << 720;
    }
    void theToleranceOfAPoint() {
        QFETCH(QByteArray, value);
        QFETCH(int, minutes);
        QCOMPARE(TestSupervision::toleranceMinutes(value), minutes);
    }

    // Steps: "r dd hh:mm:ss BankN" a report, "t …" a test report, "c dd hh:mm:ss
    // dd hh:mm:ss" checks every 30 s over that span, "restart" a new station.
    // Expected: "dd hh:mm:ss BankN hh:mm" per missed point, at the check that
    // found it.
    void whichPointsAreMissed_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("missed");
        const QString day = QStringLiteral("c 09 10:00:00 09 13:00:00");
        QTest::newRow("missed") << QStringList{"r 09 10:00:00 Bank1", day}
                                << QStringList{"09 12:05:00 Bank1 12:00"};
        QTest::newRow("met early in the tolerance")
            << QStringList{"c 09 09:00:00 09 10:00:00", "t 09 11:55:00 Bank1", day}
            << QStringList{};
        QTest::newRow("met late in the tolerance")
            << QStringList{"r 09 10:00:00 Bank1", "t 09 12:05:00 Bank1", day} << QStringList{};
        QTest::newRow("a test just before the window")
            << QStringList{"t 09 11:54:59 Bank1", day} << QStringList{"09 12:05:00 Bank1 12:00"};
        QTest::newRow("a test of another object")
            << QStringList{"r 09 10:00:00 Bank1", "t 09 12:00:00 Bank2", day}
            << QStringList{"09 12:05:00 Bank1 12:00"};
        QTest::newRow("across midnight, missed")
            << QStringList{"r 09 20:00:00 Bank4", "c 09 23:00:00 10 00:30:00"}
            << QStringList{"10 00:03:00 Bank4 23:58"};
        QTest::newRow("across midnight, met after it")
            << QStringList{"r 09 20:00:00 Bank4", "t 10 00:02:00 Bank4",
                           "c 09 23:00:00 10 00:30:00"}
            << QStringList{};
        QTest::newRow("a tolerance of 00 is a minute")
            << QStringList{"t 09 11:58:30 Bank5", "c 09 11:00:00 09 12:30:00"}
            << QStringList{"09 12:01:00 Bank5 12:00"};
        QTest::newRow("every day")
            << QStringList{"r 09 10:00:00 Bank1", "t 09 12:00:00 Bank1",
                           "c 09 11:00:00 09 12:30:00", "c 09 12:30:30 10 12:30:00"}
            << QStringList{"10 12:05:00 Bank1 12:00"};
        QTest::newRow("the clock set back an hour: one alarm")
            << QStringList{"r 09 10:00:00 Bank1", "c 09 11:00:00 09 12:30:00",
                           "c 09 11:30:00 09 12:30:00"}
            << QStringList{"09 12:05:00 Bank1 12:00"};
        QTest::newRow("the clock set forward over the window")
            << QStringList{"r 09 10:00:00 Bank1", "c 09 11:00:00 09 11:30:00",
                           "c 09 12:30:00 09 13:00:00"}
            << QStringList{};
        QTest::newRow("a restart forgets what was reported")
            << QStringList{"r 09 10:00:00 Bank1", "c 09 10:00:00 09 11:00:00", "restart", day}
            << QStringList{};
        QTest::newRow("a report after the restart")
            << QStringList{"r 09 10:00:00 Bank1", "c 09 10:00:00 09 11:00:00", "restart",
                           "r 09 11:30:00 Bank1", day}
            << QStringList{"09 12:05:00 Bank1 12:00"};
        QTest::newRow("the window closed before the start")
            << QStringList{"r 09 12:10:00 Bank1", "c 09 12:06:00 09 13:00:00"} << QStringList{};
        QTest::newRow("the alarm off, no point active")
            << QStringList{"r 09 10:00:00 Bank2", "r 09 10:00:00 Bank3", day} << QStringList{};
        QTest::newRow("no report yet") << QStringList{day} << QStringList{};
    }
    void whichPointsAreMissed() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, missed);
        const QString path = dir_.filePath(QStringLiteral("Vave_vev.ini"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(watchedObjects) == watchedObjects.size());
        f.close();
        ini::IniFile file(path);
        auto supervision = std::make_unique<TestSupervision>(file);
        QStringList found;
        for (const QString& step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            if (step == QStringLiteral("restart")) {
                supervision = std::make_unique<TestSupervision>(file);
            } else if (words[0] == QStringLiteral("c")) {
                const QDateTime end = at(words[3] + ' ' + words[4]);
                for (QDateTime t = at(words[1] + ' ' + words[2]); t <= end; t = t.addSecs(30)) {
                    for (const MissedTest& m : supervision->check(t))
                        found << t.toString(QStringLiteral("dd hh:mm:ss ")) + m.section + ' ' +
                                     m.point.toString(QStringLiteral("hh:mm"));
                }
            } else {
                supervision->reportHandled(words[3].toLatin1(), words[0] == QStringLiteral("t"),
                                           at(words[1] + ' ' + words[2]));
            }
        }
        QCOMPARE(found, missed);
    }

    void aMissedPointRaisesAnAlarmOnceWithoutRules() {
        QDateTime now = at("09 10:00:00");
        QByteArray ini = "[BaseStation]\r\nCOMPort=1\r\nVoice9=test9.wav\r\n" + watchedObjects;
        ini.replace("TNOTTEST=05\r\nlTTIME",
                    "Action3=ALARM::RELE1 ON::1::x\r\nTNOTTEST=05\r\nlTTIME");
        WindowedStation s(ini);
        QDir(s.dir.path()).mkdir(QStringLiteral("voice"));
        QFile sound(s.dir.filePath(QStringLiteral("voice/test9.wav")));
        QVERIFY(sound.open(QIODevice::WriteOnly));
        sound.close();
        s.form1->setClock([&now] { return now; });
        s.form1->FormShow();
        s.link->model.store().add("+79160000001", "26/12/09,10:00:00+12", "10:00\nIN1 ON");
        while (now < at("09 12:10:00")) {
            s.form1->Timer1Timer();
            now = now.addSecs(30);
        }
        QVERIFY2(s.prompt.messages.isEmpty(), qPrintable(s.prompt.messages.join('\n')));
        const QString alarm = QStringLiteral("Тревога!!! Нет тестового сообщения (точка 12:00)");
        QCOMPARE(s.ui().ListView2->topLevelItemCount(), 1);
        QCOMPARE(s.ui().ListView2->topLevelItem(0)->text(1), alarm);
        QCOMPARE(s.ui().ListView2->topLevelItem(0)->text(2), QStringLiteral("09.12.26 - 12:05:00"));
        const QList<log::LogRecord> records = s.records();
        QCOMPARE(records.size(), 2); // the report, then the missed point
        QCOMPARE(records[1].bank, QByteArray("ATM 1"));
        QCOMPARE(text::toUnicode(records[1].mail), alarm);
        QCOMPARE(contentOf(s.dir.filePath(QStringLiteral("Alarm.txt"))),
                 "<ATM 1><09.12.26><12:05:00><12:05:00><" +
                     text::cp("Нет тестового сообщения (точка 12:00)") + ">\r\n");
        QVERIFY(s.link->model.sentMessages().isEmpty()); // no rule ran
        QVERIFY(s.form1->sounds().alarm && s.form1->sounds().missedTest);
        s.form1->Timer3Timer();
        QVERIFY(s.player->played.contains(s.dir.filePath(QStringLiteral("voice/test9.wav"))));
    }
};

QTEST_MAIN(SupervisionTest)
#include "test_supervision.moc"
