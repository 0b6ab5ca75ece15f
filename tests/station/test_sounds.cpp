// The sound timer of the station with a recording player and a fake view: what
// is played, in which order and how often, as reports arrive and the operator
// acknowledges, silences and switches sound off and on.
#include "SimulatedModem.h"
#include "StationDesk.h"
#include "text/Cp1251.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

const QByteArray installation =
    "[BaseStation]\r\nCOMPort=1\r\nBASE=events.dbf\r\nUSER1=op::7:::\r\n"
    "Voice1=alarm.wav\r\nVoice2=out.wav\r\nVoice3=in.wav\r\n"
    "Voice5=mains.wav\r\n[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\n";
const QByteArray alarmReport = "09:15\nALARM\nIN3 OPEN";

// A started station whose voice folder holds beep.wav and the sounds named in
// its configuration.
struct SoundDesk : Desk<SimulatedModemLink> {
    SoundDesk() : Desk(installation, "op", "7") {
        QDir(dir.path()).mkdir(QStringLiteral("voice"));
        for (const char* name : {"beep.wav", "alarm.wav", "out.wav", "in.wav", "mains.wav"})
            putSound(name);
        station.FormShow();
        station.timer1().stop();
    }
    QString sound(const char* name) const { return dir.filePath(QStringLiteral("voice/") + name); }
    void putSound(const char* name) const {
        QFile f(sound(name));
        if (f.open(QIODevice::WriteOnly))
            f.write("RIFF....WAVE");
    }
    // The polling cycle up to the listing that reads the report.
    void receive(const QByteArray& report) {
        link->model.store().add("+79160000001", "08/12/31,12:36:00+12", report);
        for (int tick = 0; tick < 5; ++tick)
            station.Timer1Timer();
    }
    // What one tick of the sound timer plays.
    QStringList tick() {
        player->played.clear();
        station.Timer3Timer();
        return player->played;
    }
};

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT
private slots:
    void soundsPlayInKeyOrderAndTheAlarmRepeatsUntilEveryRowIsAcknowledged() {
        SoundDesk d;
        d.receive("09:15\nALARM\nIN3 OPEN\nPOWER FAULT");
        d.receive(alarmReport);
        d.station.sounds().outgoingEvent = true;
        QCOMPARE(d.tick(), QStringList({d.sound("alarm.wav"), d.sound("out.wav"), d.sound("in.wav"),
                                        d.sound("mains.wav")}));
        QVERIFY(d.station.timer3().isActive());
        while (d.view.alarmRows.size() > 1)
            d.view.alarmRows.removeFirst(); // "Принять"
        QCOMPARE(d.tick(), QStringList({d.sound("alarm.wav")}));
        d.view.alarmRows.removeFirst();
        QCOMPARE(d.tick(), QStringList());
    }

    void silencedAlarmWaitsForTheNextAlarmReport() {
        SoundDesk d;
        d.receive(alarmReport);
        d.station.N20Click();
        QCOMPARE(d.tick(), QStringList({d.sound("in.wav")}));
        d.receive(alarmReport);
        QCOMPARE(d.tick(), QStringList({d.sound("alarm.wav"), d.sound("in.wav")}));
    }

    void soundOffKeepsTheRequestsAndOnPlaysEachOnce() {
        SoundDesk d;
        d.station.N18Click();
        d.receive("09:15\nIN3 OPEN");
        d.receive("09:16\nIN3 CLOSE");
        QCOMPARE(d.tick(), QStringList());
        d.station.N17Click();
        QCOMPARE(d.tick(), QStringList({d.sound("in.wav")}));
        QCOMPARE(d.tick(), QStringList());
    }

    void eachSoundWaitsForThePreviousAndLateRequestsAreDropped() {
        SoundDesk d;
        d.receive(alarmReport);
        d.player->holdSounds = true;
        QCOMPARE(d.tick(), QStringList({d.sound("alarm.wav")}));
        QVERIFY(d.station.soundTimer().playerWait().isActive());
        // While the alarm sounds, a disarming is reported; the timer's own ticks wait.
        d.station.sounds().disarmed = true;
        QVERIFY(!d.station.timer3().isActive());
        QCOMPARE(d.tick(), QStringList());
        d.station.soundTimer().playOn();
        QCOMPARE(d.player->played, QStringList());
        d.player->finish();
        d.station.soundTimer().playOn();
        QCOMPARE(d.player->played, QStringList({d.sound("in.wav")}));
        QVERIFY(!d.station.sounds().disarmed);
        QVERIFY(d.station.sounds().alarm);
        QVERIFY(d.station.timer3().isActive());
        // The next tick first waits for the sound still playing.
        QCOMPARE(d.tick(), QStringList());
        d.player->finish();
        d.station.soundTimer().playOn();
        QCOMPARE(d.player->played, QStringList({d.sound("alarm.wav")}));
    }

    void aSoundPlayingWhileTheModemAnswersHoldsUpNoExchange() {
        SoundDesk d;
        d.receive(alarmReport);
        d.player->holdSounds = true;
        const int ticks = d.pump->watchdogTicks;
        // The sound timer ticks while the intake waits for the modem. Should its
        // queue wait there for the sound's end, the watchdog would count the time.
        d.pump->duringWait = [&d] {
            d.station.Timer3Timer();
        };
        d.pump->onSilence = [&d, ticks] {
            if (d.pump->watchdogTicks > ticks + 11)
                d.player->finish();
        };
        d.receive("09:16\nIN3 CLOSE");
        QCOMPARE(d.player->played, QStringList({d.sound("alarm.wav")}));
        QCOMPARE(d.pump->watchdogTicks, ticks);
        QCOMPARE(d.link->model.store().count(), 0);
    }

    void aMissingFilePlaysBeepAndAMissingBeepIsToldOnceUntilFound() {
        SoundDesk d;
        QFile::remove(d.sound("in.wav"));
        const auto incoming = [&d] {
            d.station.sounds().incomingEvent = true;
            return d.tick();
        };
        QCOMPARE(incoming(), QStringList({d.sound("beep.wav")}));
        QFile::remove(d.sound("beep.wav"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(incoming(), QStringList());
        QCOMPARE(d.prompt.messages, QStringList({"cannot open " + d.sound("beep.wav")}));
        d.putSound("beep.wav");
        QCOMPARE(incoming(), QStringList({d.sound("beep.wav")}));
        QFile::remove(d.sound("beep.wav"));
        incoming();
        QCOMPARE(d.prompt.messages.size(), 2);
    }

    void theEndOfTheProgramEndsTheQueue() {
        SoundDesk d;
        d.receive(alarmReport);
        d.player->holdSounds = true;
        QCOMPARE(d.tick(), QStringList({d.sound("alarm.wav")}));
        d.station.endProgram(0);
        QVERIFY(!d.station.timer3().isActive());
        QVERIFY(!d.station.soundTimer().playerWait().isActive());
        QCOMPARE(d.player->closes, 1);
    }

    void helpOpensOnlyAnExistingDocument() {
        SoundDesk d;
        d.view.events.clear();
        d.station.N4Click();
        QFile help(d.dir.filePath(QStringLiteral("help.pdf")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        d.station.N4Click();
        QCOMPARE(d.view.events, QStringList({QStringLiteral("open ") + help.fileName()}));
    }
};

QTEST_MAIN(SoundsTest)
#include "test_sounds.moc"
