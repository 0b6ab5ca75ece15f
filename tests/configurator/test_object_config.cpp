#include "config/ObjectConfig.h"
#include "objects/RuleComposer.h"
#include "text/Cp1251.h"

#include <QTest>

using namespace tirvon;
using namespace tirvon::config;
using tirvon::text::cp;

namespace {

ini::IniDocument docOf(const char* utf8) {
    return ini::IniDocument::parse(cp(utf8));
}

// The keys of a new object after its name, with every configurator default.
QByteArray newObjectTail() {
    return cp(
        "Phone=7\r\nPhoneSec=7\r\nAddres=Без адреса\r\nPass=4071\r\nPassD=4071\r\n"
        "SysTest=\r\nlIN1=?\r\nlIN2=?\r\nlIN3=?\r\nlIN4=?\r\nlIN5=?\r\nlIN6=?\r\nlIN7=?\r\n"
        "lIN8=?\r\nlPOWER=?\r\nlBATTERY=?\r\nlRELE1=?\r\nlRELE2=?\r\nlOUT1=?\r\nlOUT2=?\r\n"
        "lOUT3=?\r\nlOUT4=?\r\nlOUT5=?\r\nlArm=?\r\nTALARM=-1\r\nTNOTTEST=05\r\nlTTIME=OFF\r\n");
}

} // namespace

class ObjectConfigTest : public QObject {
    Q_OBJECT
private slots:
    void aNewObjectHoldsEveryDefaultInTheOrderOfASave() {
        ini::IniDocument doc;
        doc.setValue("Bank1", key::Name, cp("Новый Объект"));
        saveObject(doc, "Bank1", loadObject(doc, "Bank1"));
        QCOMPARE(doc.serialize(), cp("[Bank1]\r\nName=Новый Объект\r\n") + newObjectTail());
    }

    void aSaveRewritesTheSectionAtTheEndWithTheStatesOfThatMoment() {
        ini::IniDocument doc = docOf("[Bank1]\r\nName=A\r\nlIN1=CLOSE\r\nlArm=Снят с охраны\r\n"
                                     "TNEWTEST=10:00:00\r\nAction3=IN1 OPEN::RELE1 ON::1::x\r\n"
                                     "Action5=POWER FAULT::OUT1 OFF::0::y\r\n"
                                     "[Bank2]\r\nName=B\r\n");
        ObjectConfig edited = loadObject(doc, "Bank1");
        QCOMPARE(edited.rules,
                 (QList<QByteArray>{"IN1 OPEN::RELE1 ON::1::x", "POWER FAULT::OUT1 OFF::0::y"}));
        // The station reports while the operator edits.
        doc.setValue("Bank1", "lIN1", "OPEN");
        doc.setValue("Bank1", "lArm", cp("На охране"));
        doc.setValue("Bank1", "lPOWER", "FAULT");
        edited.name = "A2";
        edited.rules.removeFirst();
        saveObject(doc, "Bank1", edited);

        QCOMPARE(doc.serialize(),
                 cp("[Bank2]\r\nName=B\r\n[Bank1]\r\nName=A2\r\nPhone=7\r\nPhoneSec=7\r\n"
                    "Addres=Без адреса\r\nPass=4071\r\nPassD=4071\r\n"
                    "Action3=POWER FAULT::OUT1 OFF::0::y\r\nSysTest=\r\nlIN1=OPEN\r\nlIN2=?\r\n"
                    "lIN3=?\r\nlIN4=?\r\nlIN5=?\r\nlIN6=?\r\nlIN7=?\r\nlIN8=?\r\nlPOWER=FAULT\r\n"
                    "lBATTERY=?\r\nlRELE1=?\r\nlRELE2=?\r\nlOUT1=?\r\nlOUT2=?\r\nlOUT3=?\r\n"
                    "lOUT4=?\r\nlOUT5=?\r\nlArm=На охране\r\nTALARM=-1\r\nTNOTTEST=05\r\n"
                    "lTTIME=OFF\r\n"));
    }

    void aRenamedShortNameDropsTheOldStateKey() {
        ini::IniDocument doc =
            docOf("[BaseStation]\r\nIN1_SN=D1\r\n[Bank1]\r\nName=A\r\nlIN1=OPEN\r\nlD1=CLOSE\r\n");
        saveObject(doc, "Bank1", loadObject(doc, "Bank1"));
        QVERIFY(!doc.hasKey("Bank1", "lIN1"));
        QCOMPARE(doc.value("Bank1", "lD1"), QByteArray("CLOSE"));
    }

    void pollLists_data() {
        QTest::addColumn<QByteArray>("shortNames"); // BaseStation lines
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QList<int>>("ticked"); // signal indexes

        QTest::newRow("inputs 1, 5 and relay 1")
            << QByteArray() << QByteArray("IN1 ? IN5 ? RELE1 ?") << QList<int>{0, 4, 8};
        QTest::newRow("none") << QByteArray() << QByteArray() << QList<int>{};
        QTest::newRow("last output") << QByteArray() << QByteArray("OUT5 ?") << QList<int>{14};
        QTest::newRow("renamed signals") << QByteArray("IN2_SN=DOOR\r\nOUT1_SN=SIREN\r\n")
                                         << QByteArray("DOOR ? SIREN ?") << QList<int>{1, 10};
    }
    void pollLists() {
        QFETCH(QByteArray, shortNames);
        QFETCH(QByteArray, stored);
        QFETCH(QList<int>, ticked);
        ini::IniDocument doc = ini::IniDocument::parse("[BaseStation]\r\n" + shortNames +
                                                       "[Bank1]\r\nSysTest=" + stored + "\r\n");
        const ObjectConfig loaded = loadObject(doc, "Bank1");
        std::array<bool, 15> expected{};
        for (int i : ticked)
            expected[i] = true;
        QCOMPARE(loaded.polled, expected);
        QCOMPARE(pollListOf(expected, config::shortNames(doc)), stored);
    }

    void aShortNameInsideAnotherTicksBoth() {
        const ini::IniDocument doc =
            docOf("[BaseStation]\r\nIN1_SN=D1\r\nIN2_SN=D10\r\n[Bank1]\r\nSysTest=D10 ?\r\n");
        const ObjectConfig loaded = loadObject(doc, "Bank1");
        QVERIFY(loaded.polled[0]);
        QVERIFY(loaded.polled[1]);
    }

    void testPointsAndAlarm_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("talarm");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<QByteArray>("savedAs");
        QTest::newRow("inactive points are OFF") << QByteArray("0.08:30 0.00:00 0.12:00 0.00:00")
                                                 << QByteArray("0") << false << QByteArray("OFF");
        QTest::newRow("one active point")
            << QByteArray("1.08:30 0.00:00 0.00:00 0.00:00") << QByteArray("-1") << true
            << QByteArray("1.08:30 0.00:00 0.00:00 0.00:00");
        QTest::newRow("higher day kind means every day")
            << QByteArray("7.23:59 0.00:00 0.00:00 0.00:00") << QByteArray("5") << true
            << QByteArray("1.23:59 0.00:00 0.00:00 0.00:00");
        QTest::newRow("TALARM not a number reads true")
            << QByteArray("OFF") << QByteArray("yes") << true << QByteArray("OFF");
    }
    void testPointsAndAlarm() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, talarm);
        QFETCH(bool, alarm);
        QFETCH(QByteArray, savedAs);
        ini::IniDocument doc = ini::IniDocument::parse("[Bank1]\r\nName=A\r\nlTTIME=" + stored +
                                                       "\r\nTALARM=" + talarm + "\r\n");
        const ObjectConfig loaded = loadObject(doc, "Bank1");
        QCOMPARE(loaded.alarmWithoutTest, alarm);
        saveObject(doc, "Bank1", loaded);
        QCOMPARE(doc.value("Bank1", key::lTTIME), savedAs);
        QCOMPARE(doc.value("Bank1", key::TALARM), QByteArray(alarm ? "-1" : "0"));
    }

    void freeSectionsAndNames() {
        ini::IniDocument doc = docOf("[Bank1]\r\nName=A\r\n[Bank2]\r\n[Bank3]\r\nPhone=1\r\n");
        // A section without keys is not present; one without a name has the default.
        QCOMPARE(firstFreeObject(doc), std::optional<int>(2));
        QCOMPARE(findObjectByName(doc, cp("Без имени")), std::optional<int>(3));
        QCOMPARE(findObjectByName(doc, "a"), std::nullopt);
        for (int n = 1; n <= LastObject; ++n)
            doc.setValue(objectSection(n), key::Name, "x");
        QCOMPARE(firstFreeObject(doc), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(ObjectConfigTest)
#include "test_object_config.moc"
