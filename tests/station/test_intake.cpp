#include "SimulatedModem.h"
#include "TempIniFile.h"
#include "intake/SmsIntake.h"
#include "log/LogError.h"
#include "sound/SoundRequests.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tirvon;
using namespace tirvon::station;
using text::cp;

namespace {

// Records what the intake set going, in order, each with how many deletions
// the modem had received by then.
class RecordingActions : public IntakeActions {
public:
    void addtables(const QByteArray& key, const QByteArray& value, const QByteArray& object,
                   const QByteArray& date, const QByteArray& arrival, const QByteArray& sending,
                   const QByteArray& logText) override {
        if (++records == failOnRecord)
            throw log::LogError(QStringLiteral("Disk full"));
        calls.append("log " + key + "=" + value + " | " + object + " | " + date + " | " + arrival +
                     " | " + sending + " | " + logText);
    }
    void addAlarmRow(const QByteArray& object, const QByteArray& logText,
                     const QByteArray& arrival) override {
        calls.append("alarm row " + object + " | " + logText + " | " + arrival);
    }
    void Action(const QByteArray& section, const QByteArray& ruleEventText) override {
        calls.append("rules " + section + " | " + ruleEventText);
    }
    void NotList(const QString& fileName, const QByteArray& line) override {
        calls.append("append " + fileName.toLatin1() + " | " + line);
    }
    void reportFailure(const QString& message) override { failures.append(message); }
    void syncLog() override {
        syncs.append(deletionsSent ? deletionsSent() : 0);
        if (failSync)
            throw log::LogError(QStringLiteral("Input/output error"));
    }
    void unreadableEntry(const report::ListingEntry& entry) override {
        unreadable.append(entry.index);
    }
    void objectReported(const QByteArray& section, bool testReport) override {
        reported.append(section + (testReport ? " test" : ""));
    }

    QList<QByteArray> calls;
    QList<int> syncs; // the deletions the modem had received at each sync
    QList<QByteArray> unreadable;
    QList<QByteArray> reported; // each object's message, "test" for a test report
    std::function<int()> deletionsSent;
    bool failSync = false;
    QStringList failures;
    int records = 0;
    int failOnRecord = 0;
};

struct Intake : TempIniFile {
    SimulatedModemLink link;
    SimulatedModemPump pump{link};
    RecordingActions actions;
    SoundRequests sounds;
    NullExchangeView view;
    modem::ModemExchange exchange{link, view, pump};
    SmsIntake intake{exchange, file, sounds, actions};

    explicit Intake(gsmsim::ModemSettings modem = {})
        : TempIniFile("[BaseStation]\r\nIN3=" + cp("Дверь") + "\r\nPOWER=" + cp("Питание") +
                      "\r\n[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\n"
                      "[Bank2]\r\nPhone=79160000002\r\n"),
          link(std::move(modem)) {
        pump.setExchange(&exchange);
        actions.deletionsSent = [this] {
            return int(link.model.receivedBytes().count("at+cmgd="));
        };
    }
    void store(const QByteArray& sender, const QByteArray& text) {
        link.model.store().add(sender, "08/12/31,12:36:00+12", text);
    }
    // One poll: the listing, handed to the intake.
    void poll() {
        const QByteArray listing = exchange.sendCommand("at+cmgl=all");
        link.written.clear();
        intake.cmgl(listing);
    }
};

} // namespace

class IntakeTest : public QObject {
    Q_OBJECT
private slots:
    void anEmptyStoreOrAnErrorChangesNothing() {
        Intake i;
        i.exchange.setSmsWork(true);
        i.intake.cmgl("at+cmgl=all\r\r\nOK\r\n");
        QVERIFY(i.exchange.smsWork()); // not touched
        i.intake.cmgl("ERROR");
        QVERIFY(i.exchange.smsWork());
        // A signal report in front of the echo leaves the store empty.
        i.intake.cmgl("\r\n^RSSI:14\r\nat+cmgl=all\r\r\nOK\r\n");
        QVERIFY(i.exchange.smsWork());
        i.exchange.setSmsWork(false);
        i.poll();
        QVERIFY(i.actions.calls.isEmpty());
        QCOMPARE(i.link.written, QByteArray());
    }

    void threeMessagesAreDeletedInListingOrderAfterAllAreHandled() {
        Intake i;
        for (const char* line : {"10:00\nIN1 OPEN", "10:01\nIN1 CLOSE", "10:02\nIN2 OPEN"})
            i.store("+79160000001", line);
        i.link.model.store().remove(1); // the freed index 1 is the next one used
        i.store("+79160000001", "10:03\nIN4 OPEN");
        i.poll();
        QCOMPARE(i.actions.calls.size(), 6);
        QCOMPARE(
            i.actions.calls[0],
            QByteArray("log lIN4=OPEN\r | ATM | 31.12.08 | 12:36:00 | 10:03:00 | > None OPEN\r"));
        QCOMPARE(i.actions.calls[1], QByteArray("rules Bank1 | IN4 OPEN\r"));
        QCOMPARE(i.link.written, QByteArray("at+cmgd=1\r\nat+cmgd=2\r\nat+cmgd=3\r\n"));
        QCOMPARE(i.link.model.store().count(), 0);
        QVERIFY(!i.exchange.smsWork());
        QVERIFY(i.sounds.incomingEvent);
        QVERIFY(!i.sounds.alarm);
    }

    void anUnknownSenderGoesToItsListAndIsDeleted() {
        Intake i;
        i.store("+79990000000", "hello\nworld");
        i.poll();
        QCOMPARE(i.actions.calls,
                 QList<QByteArray>{
                     "append notlist.txt | 79990000000 31.12.08 12:36:00 hello\nworld\r\n"});
        QVERIFY(i.sounds.incomingEvent);
        QCOMPARE(i.link.written, QByteArray("at+cmgd=1\r\n"));
        QVERIFY(i.actions.reported.isEmpty());
    }

    void anAlarmReportOfTwoLines() {
        Intake i;
        i.store("+79160000001", "09:15\nALARM\nIN3 OPEN\nIN5 ON");
        i.poll();
        const QList<QByteArray> expected = {
            "log lIN3=OPEN | ATM | 31.12.08 | 12:36:00 | 09:15:00 | " + cp("Тревога!!! Дверь OPEN"),
            "alarm row ATM | " + cp("Тревога!!! Дверь OPEN") + " | 31.12.08 - 12:36:00",
            "rules Bank1 | ALARM IN3 OPEN",
            "append Alarm.txt | <ATM><31.12.08><12:36:00><09:15:00><" + cp("Дверь OPEN") + ">",
            "log lIN5=ON\r | ATM | 31.12.08 | 12:36:00 | 09:15:00 | " + cp("Тревога!!! None ON\r"),
            "alarm row ATM | " + cp("Тревога!!! None ON\r") + " | 31.12.08 - 12:36:00",
            "rules Bank1 | ALARM IN5 ON\r",
            "append Alarm.txt | <ATM><31.12.08><12:36:00><09:15:00><None ON\r>",
        };
        QCOMPARE(i.actions.calls, expected);
        QVERIFY(i.sounds.alarm);
        QCOMPARE(i.actions.reported, QList<QByteArray>{"Bank1"});
    }

    void aPowerFaultRaisesTheMainsSound() {
        Intake i;
        i.store("+79160000001", "23:59\nPOWER FAULT");
        i.poll();
        QVERIFY(i.sounds.mainsFailure);
        QVERIFY(i.sounds.incomingEvent);
        QCOMPARE(i.actions.calls[0],
                 "log lPOWER=FAULT\r | ATM | 31.12.08 | 12:36:00 | 23:59:00 | > " + cp("Питание") +
                     " FAULT\r");
    }

    void aTestReportStampsEverySignalLine() {
        Intake i;
        i.store("+79160000002", "TEST\n08:30\nARM\nIN1 CLOSE\nIN2 CLOSE");
        i.poll();
        QCOMPARE(i.actions.calls,
                 QList<QByteArray>({
                     "log lArm=" + cp("На охране") + " | " + cp("Без имени") +
                         " | 31.12.08 | 12:36:00 | 08:30:00 | " + cp("> На охране"),
                     "log lIN1=CLOSE | " + cp("Без имени") +
                         " | 31.12.08 | 12:36:00 | 08:30:00 | > None CLOSE",
                     "rules Bank2 | IN1 CLOSE",
                     "log lIN2=CLOSE | " + cp("Без имени") +
                         " | 31.12.08 | 12:36:00 | 08:30:00 | > None CLOSE",
                     "rules Bank2 | IN2 CLOSE",
                 }));
        QCOMPARE(i.file.readString("Bank2", "TNEWTEST", ""), QByteArray("12:36:00"));
        QVERIFY(!i.file.valueExists("Bank1", "TNEWTEST"));
        QCOMPARE(i.actions.reported, QList<QByteArray>{"Bank2 test"});
    }

    void listenAndArmingItemsAreLoggedWithoutState() {
        Intake i;
        i.store("+79160000001", "11:11\nARM B\nLISTEN NO");
        i.poll();
        QCOMPARE(i.actions.calls,
                 QList<QByteArray>({
                     "log lArm=" + cp("На охране") + " | ATM | 31.12.08 | 12:36:00 | 11:11:00 | " +
                         cp("Постановка на охрану КНОПКОЙ "),
                     "log =Act | ATM | 31.12.08 | 12:36:00 | 11:11:00 | " +
                         cp("> Попытка голосового соединения провалена!"),
                 }));
    }

    void aWatchdogDuringTheDeletionsLeavesTheRestForTheNextListing() {
        gsmsim::ModemSettings modem;
        modem.silentCommands = {"at+cmgd=2"};
        Intake i(modem);
        for (int n = 1; n <= 5; ++n)
            i.store("+79160000001", "10:0" + QByteArray::number(n) + "\nIN1 OPEN");
        i.poll();
        QCOMPARE(i.link.written, QByteArray("at+cmgd=1\r\nat+cmgd=2\r\n"));
        QVERIFY(!i.exchange.smsWork());
        QCOMPARE(i.link.model.store().count(), 4);
    }

    void aLogFailureKeepsTheFailingMessageAndTheRestInTheModem() {
        Intake i;
        for (int n = 1; n <= 4; ++n)
            i.store("+79160000001", "10:0" + QByteArray::number(n) + "\nIN1 OPEN");
        i.actions.failOnRecord = 2;
        i.poll();
        QCOMPARE(i.actions.failures, QStringList{QStringLiteral("Disk full")});
        QCOMPARE(i.link.written, QByteArray("at+cmgd=1\r\n"));
        QVERIFY(!i.exchange.smsWork());
        // The next listing handles them again, and nothing twice.
        i.actions.calls.clear();
        i.poll();
        QCOMPARE(i.actions.calls.size(), 6);
        QCOMPARE(i.link.model.store().count(), 0);
    }

    void theRecordsReachTheDiskBeforeTheFirstDeletion() {
        Intake i;
        for (int n = 1; n <= 3; ++n)
            i.store("+79160000001", "10:0" + QByteArray::number(n) + "\nIN1 OPEN");
        i.poll();
        QCOMPARE(i.actions.syncs, QList<int>{0}); // once, before any deletion
        QCOMPARE(i.link.model.store().count(), 0);

        // A disk that refuses the sync keeps every message in the modem.
        i.store("+79160000001", "10:04\nIN1 OPEN");
        i.actions.failSync = true;
        i.poll();
        QCOMPARE(i.link.written, QByteArray());
        QCOMPARE(i.link.model.store().count(), 1);
        QCOMPARE(i.actions.failures, QStringList{QStringLiteral("Input/output error")});
        QVERIFY(!i.exchange.smsWork());
    }

    void aConfigurationThatCannotBeWrittenKeepsEveryMessageInTheModem() {
        Intake i;
        // An old file, so the listing reads the parse kept from before.
        const timespec past[2] = {{1, 0}, {1, 0}};
        const QByteArray path = QFile::encodeName(i.file.path());
        QCOMPARE(::utimensat(AT_FDCWD, path.constData(), past, 0), 0);
        QVERIFY(i.file.sectionExists("Bank2"));
        const QByteArray before = i.file.snapshot()->serialize();
        i.store("+79160000001", "10:01\nIN1 OPEN");
        i.store("+79160000002", "TEST\n08:30\nARM");
        // From now on the file can no longer be read whole, so not rewritten.
        const auto saved = std::exchange(ini::detail::readWholeFile,
                                         [](const QByteArray&, QByteArray&) { return EIO; });
        i.poll();
        ini::detail::readWholeFile = saved;
        QCOMPARE(i.link.written, QByteArray());
        QCOMPARE(i.link.model.store().count(), 2);
        QCOMPARE(i.actions.failures.size(), 1);
        QVERIFY(i.actions.failures.first().contains(i.file.path()));
        QVERIFY(!i.exchange.smsWork());
        QCOMPARE(i.file.snapshot()->serialize(), before);
        // Once it can, the next listing writes the test time and deletes both.
        i.poll();
        QCOMPARE(i.file.readString("Bank2", "TNEWTEST", ""), QByteArray("12:36:00"));
        QCOMPARE(i.link.model.store().count(), 0);
    }

    void anEntryWithoutSenderOrTimeStampStaysInTheModemAndIsToldOnce() {
        Intake i;
        const QByteArray listing =
            "at+cmgl=all\r\r\n"
            "+CMGL: 4,\"REC UNREAD\",,,\"08/12/31,12:36:00+12\"\r\nno sender\r\n"
            "+CMGL: 5,\"REC UNREAD\",\"+79160000001\",,\"garbled\"\r\nno stamp\r\n"
            "+CMGL: 6,\"REC UNREAD\",\"+79160000001\",,\"08/12/31,12:36:00+12\"\r\n"
            "10:00\nIN1 OPEN\r\n\r\nOK\r\n";
        i.intake.cmgl(listing);
        QCOMPARE(i.actions.unreadable, QList<QByteArray>({"4", "5"}));
        QCOMPARE(i.link.written, QByteArray("at+cmgd=6\r\n"));
        QCOMPARE(i.actions.calls.size(), 2); // only message 6: its record and its rules
        i.intake.cmgl(listing);
        QCOMPARE(i.actions.unreadable.size(), 2); // not told again while they stay
    }

    void anIncompleteOrEchoLessListingHandlesNothing() {
        Intake i;
        i.intake.cmgl("at+cmgl=all\r\r\n+CMGL: 1,\"REC "
                      "UNREAD\",\"+79160000001\",,\"08/12/31,12:36:00+12\"\r\n10:00\nIN1 OPEN\r\n");
        QVERIFY(i.actions.calls.isEmpty());
        QVERIFY(!i.exchange.smsWork());
        i.intake.cmgl(
            "\r\n+CMGL: 1,\"REC UNREAD\",\"+79160000001\",,\"08/12/31,12:36:00+12\"\r\n10:00\nIN1 "
            "OPEN\r\n\r\nOK\r\n");
        QVERIFY(i.actions.calls.isEmpty());
        QCOMPARE(i.link.written, QByteArray());
        QVERIFY(!i.exchange.smsWork());
    }
};

QTEST_GUILESS_MAIN(IntakeTest)
#include "test_intake.moc"
