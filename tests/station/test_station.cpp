// The station without any window: a fake view in place of the main window, the
// simulated modem behind the link.
#include "SimulatedModem.h"
#include "StationDesk.h"
#include "text/Cp1251.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;
using text::cp;

namespace {

const QByteArray installation =
    "[BaseStation]\r\nCOMPort=1\r\nBASE=events.dbf\r\nIN3=" + cp("Дверь") +
    "\r\nUSER1=" + cp("Сидоров") +
    "::7:::\r\n"
    "[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\n";

// The station of that configuration, logged in as Сидоров.
struct StationDesk : Desk<SimulatedModemLink> {
    StationDesk() : Desk(installation, cp("Сидоров"), "7") {}
};
struct SilentDesk : Desk<AnsweringModemLink> {
    SilentDesk() : Desk(installation, cp("Сидоров"), "7") {}
};

} // namespace

class StationTest : public QObject {
    Q_OBJECT
private slots:
    void startUpLogsInBeforeTheModemAndPollsOnlyAfterBoth() {
        StationDesk d;
        d.station.FormShow();
        QCOMPARE(d.prompt.messages, QStringList());
        const qsizetype login = d.view.events.indexOf(QStringLiteral("login"));
        const qsizetype modem = d.view.events.indexOf(QStringLiteral("modem initialisation"));
        const qsizetype port = d.view.events.indexOf(QStringLiteral("panel 3 COM1"));
        QVERIFY(login >= 0);
        QVERIFY(modem > login);
        QVERIFY(port > modem);
        QCOMPARE(d.view.panels.value(StatusPanels::ModemName), QStringLiteral("GSMSIM-VIRTUAL-1"));
        QCOMPARE(d.view.panels.value(StatusPanels::Operator),
                 QStringLiteral("Текущий администратор: Сидоров"));
        QCOMPARE(d.view.signalBar, 83);
        QCOMPARE(d.view.gauge, 100);
        QCOMPARE(d.view.rows.size(), 1);
        QVERIFY(d.view.logModel == &d.station.eventLog().model());
        QVERIFY(d.station.eventLog().isOpen());
        QVERIFY(d.station.timer1().isActive());
    }

    void aReportGoesIntoTheLogTheObjectRowAndTheAlarmList() {
        StationDesk d;
        d.station.FormShow();
        d.link->model.store().add("+79160000001", "08/12/31,12:36:00+12",
                                  "09:15\nALARM\nIN3 OPEN\nIN5 ON");
        for (int tick = 0; tick < 5; ++tick)
            d.station.Timer1Timer();

        const QList<log::LogRecord> records = d.records();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].bank, QByteArray("ATM"));
        QCOMPARE(records[0].mail, cp("Тревога!!! Дверь OPEN"));
        QCOMPARE(records[0].date, QByteArray("31.12.08"));
        QCOMPARE(records[0].time, QByteArray("12:36:00"));
        QCOMPARE(records[0].timeo, QByteArray("09:15:00"));
        QCOMPARE(records[0].admin, cp("Сидоров"));
        QCOMPARE(records[1].mail, cp("Тревога!!! None ON\r"));

        // The object's row shows the last event and the alarm; its state is kept.
        QCOMPARE(d.view.rows[0].text, QStringLiteral("Тревога!!! None ON"));
        QCOMPARE(d.view.rows[0].icon, StateIcon::Alarm);
        QCOMPARE(d.station.iniFile().readString("Bank1", "lIN3", ""), QByteArray("OPEN"));
        QCOMPARE(d.view.panelFills, 2);
        // The alarm list holds no line break of the report.
        const QList<QStringList> alarms = {
            {QStringLiteral("ATM"), QStringLiteral("Тревога!!! Дверь OPEN"),
             QStringLiteral("31.12.08 - 12:36:00")},
            {QStringLiteral("ATM"), QStringLiteral("Тревога!!! None ON"),
             QStringLiteral("31.12.08 - 12:36:00")},
        };
        QCOMPARE(d.view.alarmRows, alarms);
        QCOMPARE(d.link->model.store().count(), 0);
    }

    void closingWhileTheModemIsSilentEndsTheWaitAndTheProgramOnce() {
        SilentDesk d; // a modem that never answers
        QSignalSpy ended(&d.station, &Station::programEnded);
        d.prompt.answers = {false, true};
        QVERIFY(!d.station.FormClose()); // declined: the station goes on
        QVERIFY(!d.station.ending());
        d.pump->duringWait = [&d] {
            QVERIFY(d.station.FormClose());
        };
        d.station.SendCommand("at+csq");
        QCOMPARE(d.pump->watchdogTicks, 0);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(d.view.modalWindowsClosed, 1);
        QVERIFY(!d.link->isOpen());
        QVERIFY(!d.station.eventLog().isOpen());
        QVERIFY(!d.station.timer1().isActive());
        // Once ending, the window may close without another question.
        QVERIFY(d.station.FormClose());
        QCOMPARE(d.prompt.questions.size(), 2);
        QCOMPARE(ended.size(), 1);
    }
};

QTEST_MAIN(StationTest)
#include "test_station.moc"
