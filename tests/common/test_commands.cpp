#include "TempIniFile.h"
#include "commands/Commands.h"
#include "rules/RuleRecord.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::commands;
using rules::RuleRecord;
using text::cp;

namespace {

using Config = TempIniFile;

const config::Signal& signal(int index) {
    return config::signalList()[size_t(index)];
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void theEnvelopeIsSlashPasswordBlankBody() {
        QCOMPARE(commandText("4071", ArmBody), QByteArray("/4071 ARM !"));
        QCOMPARE(commandText("", DisarmBody), QByteArray("/ DISARM !"));
        QCOMPARE(commandText(cp("пароль"), TestBody), "/" + cp("пароль") + " TEST");
    }

    void switchesUseTheConfiguredShortAndDisplayNames() {
        Config none("");
        QCOMPARE(switchBody(none.file, signal(8), true), QByteArray("RELE1 ON !"));
        QCOMPARE(switchBody(none.file, signal(14), false), QByteArray("OUT5 OFF !"));
        QCOMPARE(switchDescription(none.file, signal(8), true), cp("Реле 1 Включить"));
        QCOMPARE(switchDescription(none.file, signal(12), false), cp("Выход 3 Выключить"));
        Config named("[BaseStation]\r\nRELE2_SN=K2\r\nRELE2_VN=" + cp("Сирена") + "\r\n");
        QCOMPARE(switchBody(named.file, signal(9), true), QByteArray("K2 ON !"));
        QCOMPARE(switchDescription(named.file, signal(9), false), cp("Сирена Выключить"));
    }

    void theClockKeepsItsLeadingZeros() {
        QCOMPARE(clockBody(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 59))),
                 QByteArray("SETTIME 08.12.26.09:05 !"));
        QCOMPARE(clockBody(QDateTime(QDate(2026, 12, 8), QTime(14, 5))),
                 QByteArray("SETTIME 08.12.26.14:05 !"));
    }

    void testPointBodies() {
        QCOMPARE(testPointBody({{{1, "08:00"}, {0, "00:00"}, {0, "00:00"}, {1, "20:30"}}}),
                 QByteArray("TTIME 1.08:00 0.00:00 0.00:00 1.20:30 !"));
        QCOMPARE(testPointBody({{{0, "08:00"}, {0, "09:00"}, {0, "00:00"}, {0, "00:00"}}}),
                 QByteArray("TTIME OFF !"));
        QCOMPARE(testPointBody({{{-1, "08:00"}, {0, "00:00"}, {0, "00:00"}, {0, "00:00"}}}),
                 QByteArray("TTIME -1.08:00 0.00:00 0.00:00 0.00:00 !"));
    }

    void descriptionsOfThePanelsCommands() {
        QCOMPARE(description::arm(), cp("Поставить объект на охрану"));
        QCOMPARE(description::voiceConnection(), cp("Запрос на голосового соединение"));
        QCOMPARE(description::testPointsOff(), cp("Выключение точек выдачи тестового сообщения"));
    }

    void ruleRecordsSplitIntoFourFields_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("trigger");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<QByteArray>("description");
        QTest::newRow("alarm rule")
            << QByteArray("ALARM IN1 OPEN::RELE1 ON !::1::Siren on") << QByteArray("ALARM IN1 OPEN")
            << QByteArray("RELE1 ON !") << QByteArray("1") << QByteArray("Siren on");
        QTest::newRow("colons in the description")
            << QByteArray("IN1 OPEN::OUT1 ON::0::a::b:c") << QByteArray("IN1 OPEN")
            << QByteArray("OUT1 ON") << QByteArray("0") << QByteArray("a::b:c");
        QTest::newRow("two separators")
            << QByteArray("IN1 OPEN::OUT1 ON::1") << QByteArray("IN1 OPEN") << QByteArray("OUT1 ON")
            << QByteArray() << QByteArray();
        QTest::newRow("no separator") << QByteArray("IN1 OPEN") << QByteArray() << QByteArray()
                                      << QByteArray() << QByteArray();
        QTest::newRow("empty fields")
            << QByteArray("::::::") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
        // A field written with a closing colon gives it to the next field.
        QTest::newRow("trigger ending in a colon")
            << QByteArray("IN1 OPEN:::OUT1 ON::1::d") << QByteArray("IN1 OPEN")
            << QByteArray(":OUT1 ON") << QByteArray("1") << QByteArray("d");
    }
    void ruleRecordsSplitIntoFourFields() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, trigger);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, flag);
        QFETCH(QByteArray, description);
        QCOMPARE(RuleRecord::parse(value), (RuleRecord{trigger, command, flag, description}));
    }

    void aRuleIsActiveOnlyWithTheFlagOneAndMatchesByItsTrigger() {
        const RuleRecord rule = RuleRecord::parse("IN1 OPEN::RELE1 ON !::1::d");
        QVERIFY(rule.active());
        QVERIFY(rule.matches("IN1 OPEN\r"));
        QVERIFY(rule.matches("ALARM IN1 OPEN"));
        QVERIFY(!rule.matches("IN1 CLOSE"));
        QVERIFY(!RuleRecord::parse("ALARM IN1 OPEN::x::1::d").matches("IN1 OPEN"));
        QVERIFY(!RuleRecord::parse("IN1 OPEN::x::01::d").active());
        QVERIFY(!RuleRecord::parse("::x::1::d").matches("anything"));
        QVERIFY(!RuleRecord::parse("BATTERY 10%::x::1::d").matches("BATTERY 5%"));
    }

    void theStationReadsRulesUpToAGapAndAtMost500() {
        QByteArray section = "[Bank1]\r\nAction3=A::x::1::first\r\nAction4=B::y::1::"
                             "second\r\nAction6=C::z::1::after gap\r\n";
        Config gap(section);
        const auto rules = rules::stationRules(*gap.file.snapshot(), "Bank1");
        QCOMPARE(rules.size(), 2);
        QCOMPARE(rules[1].description, QByteArray("second"));
        Config empty("[Bank1]\r\nAction3=\r\nAction4=B::y::1::d\r\n");
        QVERIFY(rules::stationRules(*empty.file.snapshot(), "Bank1").isEmpty());
        QByteArray many = "[Bank1]\r\n";
        for (int n = 3; n < 603; ++n)
            many +=
                "Action" + QByteArray::number(n) + "=T" + QByteArray::number(n) + "::c::1::d\r\n";
        Config six(many);
        const auto limited = rules::stationRules(*six.file.snapshot(), "Bank1");
        QCOMPARE(limited.size(), 500);
        QCOMPARE(limited.last().trigger, QByteArray("T502"));
    }

    void timeTriggers() {
        QCOMPARE(rules::timeTrigger("_TIME 08:30:15"), QTime(8, 30, 15));
        QVERIFY(!rules::timeTrigger("_TIME 8:30:15").isValid());
        QVERIFY(!rules::timeTrigger("_TIME 25:00:00").isValid());
        QVERIFY(!rules::timeTrigger("IN1 OPEN").isValid());
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "test_commands.moc"
