#include "TempIniFile.h"
#include "objects/ControlPanelData.h"
#include "objects/ObjectRegistry.h"
#include "objects/ObjectRows.h"
#include "objects/ObjectView.h"
#include "sound/SoundRequests.h"
#include "text/Cp1251.h"
#include "windows/TForm2.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace tirvon;
using namespace tirvon::station;
using text::cp;

namespace {

QByteArray u(const char* utf8) {
    return cp(utf8);
}

struct Objects : TempIniFile {
    QTreeWidget list;
    TForm2 panel;
    SoundRequests sounds;
    TreeObjectRows rows{list};
    ObjectView view{rows, panel, sounds, file};

    explicit Objects(const QByteArray& content) : TempIniFile(content) {
        list.setColumnCount(2);
        view.fill();
    }
    QString rowText(int row) const { return list.topLevelItem(row)->text(1); }
    StateIcon icon(int row) const {
        return StateIcon(list.topLevelItem(row)->data(0, StateIconRole).toInt());
    }
    QByteArray read(const QByteArray& section, const QByteArray& key) {
        return file.readString(section, key, "<absent>");
    }
};

const QByteArray twins = "[Bank4]\r\nName=Twin\r\nPhone=7004\r\nlArm=" + u("Тревога") +
                         "\r\n"
                         "[Bank2]\r\nName=Twin\r\nPhone=7002\r\n"
                         "[Bank3]\r\nPhone=7003\r\n"
                         "[Bank7]\r\nName=Other\r\nPhone=7002\r\nlArm=" +
                         u("На охране") + "\r\n";

} // namespace

class ObjectsTest : public QObject {
    Q_OBJECT
private slots:
    void lookupsTakeTheLowestSectionAndAnswerNoneOtherwise() {
        Objects o(twins);
        ObjectRegistry registry(o.file);
        QCOMPARE(registry.search_sect("Twin"), QByteArray("Bank2"));
        QCOMPARE(registry.search_sect_phone("7002"), QByteArray("Bank2"));
        QCOMPARE(registry.search_sect("twin"), QByteArray("none"));
        QCOMPARE(registry.search_sect_phone("+7002"), QByteArray("none"));
        // A section without Name is found under the look-ups' default, never as "None".
        QCOMPARE(registry.search_sect(u("Без имени")), QByteArray("Bank3"));
        QCOMPARE(registry.search_sect("None"), QByteArray("none"));
    }

    void theListShowsEveryObjectWithItsStoredState() {
        Objects o(twins);
        QCOMPARE(o.list.topLevelItemCount(), 4);
        QCOMPARE(o.list.topLevelItem(0)->text(0), QStringLiteral("Twin"));
        QCOMPARE(o.list.topLevelItem(1)->text(0), QStringLiteral("None"));
        QCOMPARE(o.icon(0), StateIcon::Disarmed);
        QCOMPARE(o.icon(2), StateIcon::Alarm);
        QCOMPARE(o.icon(3), StateIcon::Armed);
    }

    void anEventChangesEveryRowOfItsNameAndOnlyThose() {
        Objects o(twins);
        o.view.setRowText("Twin", "> IN3 OPEN", "09.12.26", "12:32:00");
        QCOMPARE(o.rowText(0), QStringLiteral("> IN3 OPEN/09.12.26/12:32:00"));
        QCOMPARE(o.rowText(2), QStringLiteral("> IN3 OPEN/09.12.26/12:32:00"));
        QCOMPARE(o.rowText(1), QString());
        QCOMPARE(o.rowText(3), QString());
        // A line break ends what the cell shows.
        o.view.setRowText("Other", "> POWER FAULT\r", "09.12.26", "12:33:00");
        QCOMPARE(o.rowText(3), QStringLiteral("> POWER FAULT"));
    }

    void anAlarmThenAnArmingTurnsTheRowRedThenGreen() {
        Objects o(twins);
        o.view.f2update("Twin");
        o.view.applyState("Twin", u("Тревога!!! Вход 3 OPEN"), "lIN3", "OPEN");
        QCOMPARE(o.icon(0), StateIcon::Alarm);
        QCOMPARE(o.icon(2), StateIcon::Alarm);
        QCOMPARE(o.read("Bank2", "lIN3"), QByteArray("OPEN"));
        QCOMPARE(o.read("Bank4", "lIN3"), QByteArray("<absent>"));
        o.view.applyState("Twin", "> ARM", "lArm", u("На охране"));
        QCOMPARE(o.icon(0), StateIcon::Armed);
        QCOMPARE(o.icon(2), StateIcon::Armed);
        QCOMPARE(o.read("Bank2", "lArm"), u("На охране"));
    }

    void eachStateIconIsDrawnOnceForTheStationsLife() {
        // A new icon at each event would fill Qt's pixmap cache over months.
        const StateIcon states[] = {StateIcon::Disarmed, StateIcon::Alarm, StateIcon::Armed};
        QSet<qint64> keys;
        for (const StateIcon state : states) {
            QCOMPARE(stateIcon(state).cacheKey(), stateIcon(state).cacheKey());
            keys.insert(stateIcon(state).cacheKey());
        }
        QCOMPARE(keys.size(), 3);
    }

    void armingSoundsCompareWithThePanelAsItWasLoaded() {
        Objects o("[Bank1]\r\nName=A\r\nlArm=" + u("Снят с охраны") + "\r\n");
        o.view.f2update("A");
        o.view.applyState("A", "> ARM", "lArm", u("На охране"));
        QVERIFY(o.sounds.armed);
        QVERIFY(!o.sounds.disarmed);
        // The panel still shows the disarmed state: no disarming sound either.
        o.view.applyState("A", "> DISARM", "lArm", u("Снят с охраны"));
        QVERIFY(!o.sounds.disarmed);
        o.view.f2update("A");
        QCOMPARE(o.panel.armingText(), QStringLiteral("Снят с охраны"));
        o.view.applyState("A", "> ARM", "lArm", u("На охране"));
        o.view.f2update("A");
        o.sounds.clear();
        o.view.applyState("A", "> DISARM", "lArm", u("Снят с охраны"));
        QVERIFY(o.sounds.disarmed);
        QCOMPARE(o.icon(0), StateIcon::Disarmed);
    }

    void armingCountsOnlyUnderTheExactKey() {
        Objects o("[Bank1]\r\nName=A\r\n");
        o.view.applyState("A", "> x", "LARM", u("На охране"));
        QCOMPARE(o.icon(0), StateIcon::Disarmed);
        QCOMPARE(o.read("Bank1", "lArm"), u("На охране")); // the same key for the file
    }

    void aStateOfAnUnknownObjectIsKeptNowhere() {
        Objects o(twins);
        o.view.applyState("Ghost", "> IN1 OPEN", "lIN1", "OPEN");
        QVERIFY(!o.file.sectionExists("none"));
        QVERIFY(!o.file.snapshot()->hasKey("Bank2", "lIN1"));
    }

    void eventsOfAnObjectWithoutNameChangeNoRowButKeepItsState() {
        Objects o(twins);
        o.view.setRowText(u("Без имени"), "> IN1 OPEN", "09.12.26", "12:00:00");
        o.view.applyState(u("Без имени"), "> IN1 OPEN", "lIN1", "OPEN");
        QCOMPARE(o.rowText(1), QString());
        QCOMPARE(o.read("Bank3", "lIN1"), QByteArray("OPEN"));
    }

    void thePanelLoadsEveryFieldWithTheStationsDefaults() {
        Objects o("[Bank1]\r\nName=A\r\n");
        const ControlPanelData d = loadControlPanel(o.file, "A");
        QCOMPARE(d.name, QByteArray("A"));
        QCOMPARE(d.address, u("Без адреса"));
        QCOMPARE(d.phone, QByteArray("None"));
        QCOMPARE(d.dtmfPassword, QByteArray("None"));
        QCOMPARE(d.arming, u("Неизвестно"));
        QCOMPARE(d.power, QByteArray("None"));
        QCOMPARE(d.battery, QByteArray("None"));
        QCOMPARE(d.inputs[0].displayName, QByteArray("..."));
        QCOMPARE(d.inputs[0].state, QByteArray("?"));
        QCOMPARE(d.batteryName, u("Заряд батареи, %"));
        QCOMPARE(d.powerName, u("Внешнее питание"));
        for (const auto& p : d.testPoints)
            QCOMPARE(p, (config::TestPoint{0, "00:00"}));
        QVERIFY(!d.alarmWithoutTest);
        QCOMPARE(d.testTolerance, QByteArray("05"));
        const ControlPanelData unknown = loadControlPanel(o.file, "Ghost");
        QCOMPARE(unknown.name, u("Без имени"));
    }

    void statesFollowTheCurrentShortNames() {
        Objects o("[BaseStation]\r\nIN1_SN=D1\r\nIN1_VN=" + u("Дверь") +
                  "\r\nOUT3_VN=Out3\r\nOUT4_VN=Out4\r\n"
                  "BATTERY=Bat\r\nPOWER=" +
                  u("Сеть") +
                  "\r\n"
                  "[Bank1]\r\nName=A\r\nlD1=OPEN\r\nlIN1=stale\r\nlOUT3=ON\r\nlOUT4="
                  "OFF\r\nlBATTERY=80\r\n"
                  "lTTIME=1.08:30 x.09:00 0.10:15 5.23:59\r\nTALARM=-1\r\nTNOTTEST=7\r\n");
        o.view.f2update("A");
        const auto& ui = o.panel.ui();
        QCOMPARE(o.panel.windowTitle(), QStringLiteral("A"));
        QCOMPARE(ui.IN1_->text(), QStringLiteral("Дверь"));
        QCOMPARE(ui.IN_1->text(), QStringLiteral("OPEN"));
        QCOMPARE(ui.OUT3_->text(), QStringLiteral("Out3"));
        QCOMPARE(ui.OUT_3->text(), QStringLiteral("ON"));
        QCOMPARE(ui.OUT4_->text(), QStringLiteral("Out4"));
        QCOMPARE(ui.OUT_4->text(), QStringLiteral("OFF"));
        QCOMPARE(ui.OUT_5->text(), QStringLiteral("?"));
        QCOMPARE(ui.BAT->text(), QStringLiteral("Bat, %"));
        QCOMPARE(ui.lBat->text(), QStringLiteral("80"));
        QCOMPARE(ui.PIT->text(), QStringLiteral("Сеть"));
        QCOMPARE(ui.ComboBox1->currentText(), QStringLiteral("Каждый день"));
        QCOMPARE(ui.MaskEdit1->text(), QStringLiteral("08:30"));
        // A day kind that is not a digit shows as inactive, and loading goes on.
        QCOMPARE(ui.ComboBox2->currentText(), QStringLiteral("Не активна"));
        QCOMPARE(ui.MaskEdit2->text(), QStringLiteral("09:00"));
        QCOMPARE(ui.ComboBox3->currentText(), QStringLiteral("Не активна"));
        QCOMPARE(ui.ComboBox4->currentText(), QStringLiteral("Каждый день"));
        QCOMPARE(ui.MaskEdit4->text(), QStringLiteral("23:59"));
        QVERIFY(ui.CheckBox1->isChecked());
        QCOMPARE(ui.MaskEdit5->text(), QStringLiteral("7"));
        QVERIFY(!ui.GroupBox1->isHidden());
    }

    void testPointsOffShowFourInactivePoints() {
        Objects o("[Bank1]\r\nName=A\r\nlTTIME=1.08:30 0.00:00 0.00:00 "
                  "0.00:00\r\n[Bank2]\r\nName=B\r\nlTTIME=OFF\r\n");
        o.view.f2update("A");
        o.view.f2update("B");
        const auto& ui = o.panel.ui();
        for (QComboBox* c : {ui.ComboBox1, ui.ComboBox2, ui.ComboBox3, ui.ComboBox4})
            QCOMPARE(c->currentIndex(), 0);
        for (QLineEdit* e : {ui.MaskEdit1, ui.MaskEdit2, ui.MaskEdit3, ui.MaskEdit4})
            QCOMPARE(e->text(), QStringLiteral("00:00"));
    }

    void everyCommandButtonCarriesItsTag() {
        TForm2 panel;
        const QList<QPair<int, const char*>> buttons = {
            {201, "ARM"},          {202, "DISARM"},       {203, "sbRele1On"},
            {204, "sbRele2On"},    {205, "sbRele1Off"},   {206, "sbRele2Off"},
            {207, "sbOutZumOn"},   {211, "sbUnivOn"},     {212, "sbOutZumOff"},
            {216, "sbUnivOff"},    {500, "sbSetTime"},    {501, "SpeedButton1"},
            {502, "SpeedButton4"}, {503, "SpeedButton2"}, {504, "SpeedButton6"},
            {505, "SpeedButton5"}};
        for (const auto& [tag, name] : buttons)
            QCOMPARE(panel.buttonByTag(tag)->objectName(), QString::fromLatin1(name));
        QVERIFY(!panel.ui().AutoButton->isEnabled());
    }
};

QTEST_MAIN(ObjectsTest)
#include "test_objects.moc"
