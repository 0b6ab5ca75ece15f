// One simulated controller: the exact texts of its reports and its answers to the station's
// commands.

#include "simulated_controller.h"

#include <QtTest>

using namespace gsmsim;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(14, 5, 37), Qt::OffsetFromUTC, 3 * 3600);

SimulatedController makeController(const QByteArray& password = "4071") {
    return SimulatedController(ControllerConfig{"79161110001", password, "ATM"});
}

} // namespace

class SimulatedControllerTest : public QObject {
    Q_OBJECT

private slots:
    void stateReportListsInputsPowerAndBattery();
    void inputOpeningWhileArmedRaisesAlarm();
    void testReportCarriesArmingPowerAndBattery();
    void armingFormsEndTheReport_data();
    void armingFormsEndTheReport();
    void powerAndBatteryLines();
    void answersCommands_data();
    void answersCommands();
    void emptyPasswordIsJustTheSlashAndBlank();
    void commandWithoutConfirmationActsSilently();
    void switchedSignalsAnswerPolls();
    void setTimeMovesTheClockLine();
    void listenFailsWithoutMainsPower();
};

void SimulatedControllerTest::stateReportListsInputsPowerAndBattery() {
    SimulatedController controller = makeController();
    QCOMPARE(controller.stateReport(kNow),
             QByteArray("14:05\nIN1 CLOSE\nIN2 CLOSE\nIN3 CLOSE\nIN4 CLOSE\nIN5 CLOSE\nIN6 CLOSE\n"
                        "IN7 CLOSE\nIN8 CLOSE\nPOWER OK\nBATTERY 100"));
    controller.inputChanged(6, true, kNow);
    QVERIFY(controller.stateReport(kNow).contains("\nIN6 OPEN\n"));
}

void SimulatedControllerTest::inputOpeningWhileArmedRaisesAlarm() {
    SimulatedController controller = makeController();
    QVERIFY(controller.armed());
    QCOMPARE(controller.inputChanged(3, true, kNow), QByteArray("14:05\nALARM\nIN3 OPEN"));
    QCOMPARE(controller.signal("IN3"), QByteArray("OPEN"));
    QCOMPARE(controller.inputChanged(3, false, kNow), QByteArray("14:05\nIN3 CLOSE"));

    controller.disarm(ArmingMethod::Button, {}, kNow);
    QCOMPARE(controller.inputChanged(5, true, kNow), QByteArray("14:05\nIN5 OPEN"));
    // An explicit alarm does not ask whether the controller is armed.
    QCOMPARE(controller.alarm(8, kNow), QByteArray("14:05\nALARM\nIN8 OPEN"));
    QCOMPARE(controller.signal("IN8"), QByteArray("OPEN"));
}

void SimulatedControllerTest::testReportCarriesArmingPowerAndBattery() {
    SimulatedController controller = makeController();
    QCOMPARE(controller.testReport(kNow), QByteArray("TEST\n14:05\nARM\nPOWER OK\nBATTERY 100"));
    controller.disarm(ArmingMethod::Key, "00A1B2C3", kNow);
    controller.powerChanged(false, kNow);
    controller.batteryChanged(65, kNow);
    QCOMPARE(controller.testReport(kNow),
             QByteArray("TEST\n14:05\nDISARM\nPOWER FAULT\nBATTERY 65"));
}

void SimulatedControllerTest::armingFormsEndTheReport_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("arm");
    QTest::addColumn<QByteArray>("detail");
    QTest::addColumn<QByteArray>("report");
    const int key = int(ArmingMethod::Key), button = int(ArmingMethod::Button),
              sms = int(ArmingMethod::Sms), station = int(ArmingMethod::Station);
    QTest::newRow("key arms") << key << true << QByteArray("00A1B2C3")
                              << QByteArray("14:05\nARM T:00A1B2C3");
    QTest::newRow("key disarms") << key << false << QByteArray("7F000001")
                                 << QByteArray("14:05\nDISARM T:7F000001");
    QTest::newRow("button arms") << button << true << QByteArray() << QByteArray("14:05\nARM B");
    QTest::newRow("button disarms")
        << button << false << QByteArray() << QByteArray("14:05\nDISARM B");
    QTest::newRow("SMS arms") << sms << true << QByteArray("+79031234567")
                              << QByteArray("14:05\nARM SMS:+79031234567");
    QTest::newRow("SMS disarms") << sms << false << QByteArray("+79031234567")
                                 << QByteArray("14:05\nDISARM SMS:+79031234567");
    QTest::newRow("station arms") << station << true << QByteArray() << QByteArray("14:05\nARM");
    QTest::newRow("station disarms")
        << station << false << QByteArray() << QByteArray("14:05\nDISARM");
}

void SimulatedControllerTest::armingFormsEndTheReport() {
    QFETCH(int, method);
    QFETCH(bool, arm);
    QFETCH(QByteArray, detail);
    QFETCH(QByteArray, report);
    SimulatedController controller = makeController();
    if (arm)
        controller.disarm(ArmingMethod::Button, {}, kNow);
    const auto how = static_cast<ArmingMethod>(method);
    const QByteArray text =
        arm ? controller.arm(how, detail, kNow) : controller.disarm(how, detail, kNow);
    QCOMPARE(text, report);
    QCOMPARE(controller.armed(), arm);
}

void SimulatedControllerTest::powerAndBatteryLines() {
    SimulatedController controller = makeController();
    QCOMPARE(controller.powerChanged(false, kNow), QByteArray("14:05\nPOWER FAULT"));
    QVERIFY(!controller.powerOk());
    QCOMPARE(controller.batteryChanged(80, kNow), QByteArray("14:05\nBATTERY 80"));
    QCOMPARE(controller.battery(), 80);
    QCOMPARE(controller.powerChanged(true, kNow), QByteArray("14:05\nPOWER OK"));
    QVERIFY(controller.powerOk());
}

void SimulatedControllerTest::answersCommands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("answer"); // empty: no answer
    QTest::addColumn<bool>("armedAfter");
    // As the modem hands it over: the station's CR LF before Ctrl-Z belongs to the text.
    QTest::newRow("disarm") << QByteArray("/4071 DISARM !\r\n") << QByteArray("14:05\nDISARM")
                            << false;
    QTest::newRow("arm without line end")
        << QByteArray("/4071 ARM !") << QByteArray("14:05\nARM") << true;
    QTest::newRow("relay on") << QByteArray("/4071 RELE1 ON !\r\n") << QByteArray("14:05\nRELE1 ON")
                              << true;
    QTest::newRow("output off") << QByteArray("/4071 OUT5 OFF !\r\n")
                                << QByteArray("14:05\nOUT5 OFF") << true;
    QTest::newRow("poll list") << QByteArray("/4071 IN1 ? IN5 ? RELE1 ?\r\n")
                               << QByteArray("14:05\nIN1 CLOSE\nIN5 CLOSE\nRELE1 OFF") << true;
    QTest::newRow("poll leaves out unknown names")
        << QByteArray("/4071 IN9 ? POWER ? BATTERY ?\r\n")
        << QByteArray("14:05\nPOWER OK\nBATTERY 100") << true;
    QTest::newRow("test") << QByteArray("/4071 TEST\r\n")
                          << QByteArray("TEST\n14:05\nARM\nPOWER OK\nBATTERY 100") << true;
    QTest::newRow("listen") << QByteArray("/4071 LISTEN !\r\n")
                            << QByteArray("14:05\nLISTEN +79160000000") << true;
    QTest::newRow("test points") << QByteArray("/4071 TTIME 1.08:00 0.00:00 0.00:00 1.20:30 !\r\n")
                                 << QByteArray("14:05\nTTIME 1.08:00 0.00:00 0.00:00 1.20:30")
                                 << true;
    QTest::newRow("test points off")
        << QByteArray("/4071 TTIME OFF !\r\n") << QByteArray("14:05\nTTIME OFF") << true;
    QTest::newRow("wrong password") << QByteArray("/4072 DISARM !\r\n") << QByteArray() << true;
    QTest::newRow("password only a prefix")
        << QByteArray("/40711 DISARM !\r\n") << QByteArray() << true;
    QTest::newRow("no slash") << QByteArray("4071 DISARM !\r\n") << QByteArray() << true;
    QTest::newRow("lower case") << QByteArray("/4071 disarm !\r\n") << QByteArray() << true;
    QTest::newRow("unknown body") << QByteArray("/4071 REBOOT !\r\n") << QByteArray() << true;
    QTest::newRow("inputs cannot be switched")
        << QByteArray("/4071 IN1 ON !\r\n") << QByteArray() << true;
    QTest::newRow("poll list without marks")
        << QByteArray("/4071 IN1 IN5\r\n") << QByteArray() << true;
    QTest::newRow("bad clock") << QByteArray("/4071 SETTIME 32.12.26.09:05 !\r\n") << QByteArray()
                               << true;
}

void SimulatedControllerTest::answersCommands() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, answer);
    QFETCH(bool, armedAfter);
    SimulatedController controller = makeController();
    QCOMPARE(controller.takeCommand(command, kNow).value_or(QByteArray()), answer);
    QCOMPARE(controller.armed(), armedAfter);
}

void SimulatedControllerTest::emptyPasswordIsJustTheSlashAndBlank() {
    SimulatedController controller = makeController("");
    QVERIFY(!controller.takeCommand("/4071 DISARM !\r\n", kNow));
    QCOMPARE(controller.takeCommand("/ DISARM !\r\n", kNow), QByteArray("14:05\nDISARM"));
}

void SimulatedControllerTest::commandWithoutConfirmationActsSilently() {
    SimulatedController controller = makeController();
    QVERIFY(!controller.takeCommand("/4071 DISARM\r\n", kNow));
    QVERIFY(!controller.armed());
    QVERIFY(!controller.takeCommand("/4071 OUT2 ON\r\n", kNow));
    QCOMPARE(controller.signal("OUT2"), QByteArray("ON"));
    QVERIFY(!controller.takeCommand("/4071 TTIME 1.08:00 0.00:00 0.00:00 0.00:00\r\n", kNow));
    QCOMPARE(controller.takeCommand("/4071 TTIME OFF !", kNow), QByteArray("14:05\nTTIME OFF"));
}

void SimulatedControllerTest::switchedSignalsAnswerPolls() {
    SimulatedController controller = makeController();
    controller.takeCommand("/4071 RELE2 ON !\r\n", kNow);
    controller.inputChanged(2, true, kNow);
    QCOMPARE(controller.takeCommand("/4071 IN2 ? RELE2 ? OUT1 ?\r\n", kNow),
             QByteArray("14:05\nIN2 OPEN\nRELE2 ON\nOUT1 OFF"));
}

void SimulatedControllerTest::setTimeMovesTheClockLine() {
    SimulatedController controller = makeController();
    QCOMPARE(controller.takeCommand("/4071 SETTIME 08.12.26.09:05 !\r\n", kNow),
             QByteArray("09:05\nPOWER OK\nBATTERY 100"));
    QVERIFY(controller.stateReport(kNow.addSecs(59)).startsWith("09:05\n"));
    QVERIFY(controller.stateReport(kNow.addSecs(60)).startsWith("09:06\n"));
    QVERIFY(controller.powerChanged(false, kNow.addSecs(3600)).startsWith("10:05\n"));
    // The clock runs on over midnight.
    QVERIFY(controller.takeCommand("/4071 SETTIME 07.12.26.23:59 !\r\n", kNow));
    QVERIFY(controller.testReport(kNow.addSecs(60)).startsWith("TEST\n00:00\n"));
}

void SimulatedControllerTest::listenFailsWithoutMainsPower() {
    SimulatedController controller(ControllerConfig{"79161110001", "4071", {}}, "79035550000");
    QCOMPARE(controller.takeCommand("/4071 LISTEN !\r\n", kNow),
             QByteArray("14:05\nLISTEN +79035550000"));
    controller.powerChanged(false, kNow);
    QCOMPARE(controller.takeCommand("/4071 LISTEN !\r\n", kNow), QByteArray("14:05\nLISTEN NO"));
}

QTEST_GUILESS_MAIN(SimulatedControllerTest)
#include "tst_simulated_controller.moc"
