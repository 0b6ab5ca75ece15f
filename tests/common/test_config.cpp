#include "config/Schema.h"
#include "config/TestPoints.h"
#include "config/UserEntry.h"
#include "text/Cp1251.h"

#include <QTest>

using namespace tirvon;
using namespace tirvon::config;

class ConfigTest : public QObject {
    Q_OBJECT
private slots:
    void userEntries_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("keyCode");
        QTest::newRow("never saved")
            << QByteArray("None") << QByteArray("None") << QByteArray("None") << QByteArray("None");
        QTest::newRow("saved untouched") << QByteArray("None::None:::None") << QByteArray("None")
                                         << QByteArray("None") << QByteArray("None");
        QTest::newRow("account") << text::cp("Иванов::12:34:::A1") << text::cp("Иванов")
                                 << QByteArray("12:34") << QByteArray("A1");
        QTest::newRow("empty fields")
            << QByteArray("::::") << QByteArray() << QByteArray("") << QByteArray("");
        QTest::newRow("password with double colon")
            << QByteArray("op::a::b:::k") << QByteArray("op") << QByteArray("a::b")
            << QByteArray("k");
        QTest::newRow("no separators")
            << QByteArray("admin") << QByteArray() << QByteArray() << QByteArray("in");
    }
    void userEntries() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, keyCode);
        const UserEntry entry = UserEntry::parse(stored);
        QCOMPARE(entry.name, name);
        QCOMPARE(entry.password, password);
        QCOMPARE(entry.keyCode, keyCode);
    }

    void userEntriesWriteBackAsTheyWereRead() {
        const UserEntry entry{text::cp("Петров"), "p:w", "77"};
        QCOMPARE(entry.format(), text::cp("Петров") + "::p:w:::77");
        QCOMPARE(UserEntry::parse(entry.format()), entry);
        QCOMPARE((UserEntry{"None", "None", "None"}).format(), QByteArray("None::None:::None"));
    }

    void testPointsAreWrittenAsFourGroupsOrOff() {
        TestPoints points{};
        QCOMPARE(formatTestPoints(points), QByteArray("OFF"));
        points[0] = {1, "08:30"};
        QCOMPARE(formatTestPoints(points), QByteArray("1.08:30 0.00:00 0.00:00 0.00:00"));
        QCOMPARE(formatTestPoints(points).size(), 31);
        points[3] = {1, "23:59"};
        QCOMPARE(formatTestPoints(points), QByteArray("1.08:30 0.00:00 0.00:00 1.23:59"));
    }

    void testPointsAreReadPointByPoint() {
        const TestPoints read = parseTestPoints("1.08:30 0.12:00 7.13:15 1.23:59");
        QCOMPARE(read[0], (TestPoint{1, "08:30"}));
        QCOMPARE(read[1], (TestPoint{0, "12:00"}));
        QCOMPARE(read[2], (TestPoint{1, "13:15"})); // any digit above 1 is every day
        QCOMPARE(read[3], (TestPoint{1, "23:59"}));
        QCOMPARE(parseTestPoints(formatTestPoints(read)), read);
    }

    void offAnywhereMeansFourInactivePoints() {
        for (const QByteArray& value : {QByteArray("OFF"), QByteArray("1.08:30 OFF")}) {
            for (const TestPoint& p : parseTestPoints(value))
                QCOMPARE(p, (TestPoint{0, "00:00"}));
        }
    }

    void brokenTestPointsReadSafely() {
        const TestPoints read = parseTestPoints("x.08:30 1.0");
        QCOMPARE(read[0].dayKind, 0);
        QVERIFY(!read[0].dayKindReadable);
        QCOMPARE(read[0].time, QByteArray("08:30"));
        QCOMPARE(read[1], (TestPoint{1, "0"}));
        QCOMPARE(read[2].time, QByteArray());
        QVERIFY(!read[3].dayKindReadable);
        for (const TestPoint& p : parseTestPoints(""))
            QCOMPARE(p.dayKind, 0);
    }

    void pollListsJoinTheChosenShortNames() {
        QCOMPARE(pollList({"IN1", "IN5", "RELE1"}), QByteArray("IN1 ? IN5 ? RELE1 ?"));
        QCOMPARE(pollList({}), QByteArray());
        const QByteArray list = "IN1 ? IN5 ? RELE1 ?";
        QVERIFY(pollListHas(list, "IN5"));
        QVERIFY(!pollListHas(list, "OUT1"));
        QVERIFY(pollListHas(list, "IN")); // a reader tests for the name anywhere in the list
    }

    void signalsComeInTheirFixedOrder() {
        const auto& list = signalList();
        QCOMPARE(list.size(), size_t(15));
        QCOMPARE(list[0].id, QByteArray("IN1"));
        QCOMPARE(list[7].id, QByteArray("IN8"));
        QCOMPARE(list[8].id, QByteArray("RELE1"));
        QCOMPARE(list[10].id, QByteArray("OUT1"));
        QCOMPARE(list[14].shortNameKey(), QByteArray("OUT5_SN"));
        QCOMPARE(list[2].displayNameKey(), QByteArray("IN3_VN"));
        QCOMPARE(list[2].defaultDisplayName(false), text::cp("Вход 3"));
        QCOMPARE(list[9].defaultDisplayName(true), text::cp("Реле 2"));
        QCOMPARE(list[9].defaultDisplayName(false), text::cp("Реле2"));
        QCOMPARE(list[14].defaultDisplayName(false), text::cp("Выход5"));
        QCOMPARE(stateKey("IN1"), QByteArray("lIN1"));
    }

    void keyNamesOfTheNumberedSlots() {
        QCOMPARE(objectSection(99), QByteArray("Bank99"));
        QCOMPARE(key::user(10), QByteArray("USER10"));
        QCOMPARE(key::voice(1), QByteArray("Voice1"));
        QCOMPARE(key::action(3), QByteArray("Action3"));
    }

    void soundFilesLieInTheVoiceFolder() {
        QCOMPARE(soundFilePath(QStringLiteral("/opt/vartel/"), "beep.wav"),
                 QStringLiteral("/opt/vartel/voice/beep.wav"));
        QCOMPARE(soundFilePath(QStringLiteral("/opt/vartel/"), text::cp("тревога.wav")),
                 QStringLiteral("/opt/vartel/voice/тревога.wav"));
        QCOMPARE(soundFilePath(QStringLiteral("/p/"), "sub\\a.wav"),
                 QStringLiteral("/p/voice/sub/a.wav"));
    }
};

QTEST_GUILESS_MAIN(ConfigTest)
#include "test_config.moc"
