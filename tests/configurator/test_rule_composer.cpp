#include "objects/RuleComposer.h"
#include "text/Cp1251.h"

#include <QTest>

using namespace tirvon;
using namespace tirvon::configurator;
using tirvon::text::cp;

Q_DECLARE_METATYPE(tirvon::configurator::RuleControls)

namespace {

RuleLists defaultLists() {
    return ruleLists(ini::IniDocument());
}

RuleControls controls(const char* source, const char* state, const char* target,
                      const char* targetState) {
    RuleControls c;
    c.source = cp(source);
    c.state = cp(state);
    c.target = cp(target);
    c.targetState = targetState;
    c.active = true;
    c.description = cp("Описание");
    return c;
}

} // namespace

class RuleComposerTest : public QObject {
    Q_OBJECT
private slots:
    void sourcesPutOutputs3And4First() {
        const RuleLists lists =
            ruleLists(ini::IniDocument::parse(cp("[BaseStation]\r\nOUT3_SN=LAMP\r\n")));
        QCOMPARE(lists.sources[source::Output3], cp("Выход3"));
        QCOMPARE(lists.sourceWords[source::Output3], QByteArray("LAMP"));
        QCOMPARE(lists.sources[source::Output1], cp("Выход1"));
        QCOMPARE(lists.targetWords[4], QByteArray("LAMP"));
    }

    void records_data() {
        QTest::addColumn<RuleControls>("controls");
        QTest::addColumn<QByteArray>("record");

        RuleControls alarm = controls("Вход 1", "OPEN", "Реле1", "ON");
        alarm.alarm = true;
        alarm.confirm = true;
        QTest::newRow("alarm input with confirmation")
            << alarm << cp("ALARM IN1 OPEN::RELE1 ON !::1::Описание");

        RuleControls morning = controls("ВРЕМЯ", "", "Выход5", "OFF");
        morning.stateVisible = false;
        morning.hours = 7;
        morning.minutes = 5;
        morning.seconds = 9;
        QTest::newRow("time with one-digit parts")
            << morning << cp("_TIME 07:05:09::OUT5 OFF::1::Описание");
        RuleControls noon = morning;
        noon.hours = 12, noon.minutes = 30, noon.seconds = 5;
        QTest::newRow("time after noon") << noon << cp("_TIME 12:30:05::OUT5 OFF::1::Описание");

        QTest::newRow("battery drops its word")
            << controls("Заряд батареи", "Меньше 30%", "Выход3", "ON")
            << cp("BATTERY 30%::OUT3 ON::1::Описание");
        RuleControls inactive = controls("Выход4", "OFF", "Реле2", "OFF");
        inactive.active = false;
        inactive.description.clear();
        QTest::newRow("inactive output rule") << inactive << QByteArray("OUT4 OFF::RELE2 OFF::0::");
        QTest::newRow("source and target matching no entry")
            << controls("Дверь", "OPEN", "Сирена", "ON") << cp("OPEN::ON::1::Описание");
    }
    void records() {
        QFETCH(RuleControls, controls);
        QFETCH(QByteArray, record);
        QCOMPARE(buildRule(defaultLists(), controls).format(), record);
    }

    void shown_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("source");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("targetState");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QByteArray>("description");

        QTest::newRow("alarm input")
            << QByteArray("ALARM IN2 CLOSE::OUT2 OFF !::1::d") << 1 << QByteArray("CLOSE") << 3
            << QByteArray("OFF") << true << true << QByteArray("d");
        QTest::newRow("battery level")
            << QByteArray("BATTERY 30%::RELE1 ON::0::") << 8 << cp("Меньше 30%") << 0
            << QByteArray("ON") << false << false << QByteArray();
        QTest::newRow("output 1 stands at 14")
            << QByteArray("OUT1 ON::OUT5 ON::1::x") << 14 << QByteArray("ON") << 6
            << QByteArray("ON") << false << false << QByteArray("x");
        QTest::newRow("description with marks and separators")
            << QByteArray("POWER FAULT::RELE2 ON::1::ALARM! a::b") << 9 << QByteArray("FAULT") << 1
            << QByteArray("ON") << false << false << QByteArray("ALARM! a::b");
        QTest::newRow("time") << QByteArray("_TIME 23:59:01::RELE1 OFF::1::") << 17 << QByteArray()
                              << 0 << QByteArray("OFF") << false << false << QByteArray();
    }
    void shown() {
        QFETCH(QByteArray, record);
        QFETCH(int, source);
        QFETCH(QByteArray, state);
        QFETCH(int, target);
        QFETCH(QByteArray, targetState);
        QFETCH(bool, alarm);
        QFETCH(bool, confirm);
        QFETCH(QByteArray, description);
        const ShownRule s = showRule(defaultLists(), rules::RuleRecord::parse(record));
        QCOMPARE(s.source, source);
        if (source != source::Time)
            QCOMPARE(s.state, state);
        QCOMPARE(s.target, target);
        QCOMPARE(s.targetState, targetState);
        QCOMPARE(s.alarm, alarm);
        QCOMPARE(s.confirm, confirm);
        QCOMPARE(s.description, description);
    }

    void aShownTimeRuleGivesItsClock() {
        const ShownRule s =
            showRule(defaultLists(), rules::RuleRecord::parse("_TIME 23:59:01::RELE1 OFF::1::"));
        QCOMPARE((QList<int>{s.hours, s.minutes, s.seconds}), (QList<int>{23, 59, 1}));
    }

    void theSourceDecidesTheStateControls() {
        const RuleLists lists = defaultLists();
        SourceView v = sourceView(lists, cp("Вход 8"), {});
        QCOMPARE(v.states, (QList<QByteArray>{"ON", "OFF", "OPEN", "CLOSE"}));
        QVERIFY(v.alarmEnabled && v.stateVisible && !v.timeVisible);
        v = sourceView(lists, cp("ВРЕМЯ"), v);
        QVERIFY(!v.alarmEnabled && !v.stateVisible && v.timeVisible);
        v = sourceView(lists, cp("Заряд батареи"), v);
        QCOMPARE(v.state, cp("Меньше 10%"));
        QCOMPARE(v.states.size(), 5);
        QVERIFY(!v.alarmEnabled && v.stateVisible && !v.timeVisible);
        // A text that is no entry only empties the state list.
        v = sourceView(lists, "?", v);
        QVERIFY(v.states.isEmpty() && v.stateVisible);
    }
};

QTEST_GUILESS_MAIN(RuleComposerTest)
#include "test_rule_composer.moc"
