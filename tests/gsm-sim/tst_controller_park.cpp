// The controllers behind the simulated modem, driven tick by tick: answers to the station's
// commands, their own events from a seed, delivery into the modem's store, and the controllers
// file.

#include "controller_list.h"
#include "controller_park.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

using namespace gsmsim;

namespace {

const QDateTime kStart(QDate(2026, 12, 8), QTime(14, 5, 0), Qt::OffsetFromUTC, 3 * 3600);

QDateTime at(int tick) {
    return kStart.addSecs(tick);
}

ParkSettings quietPark(quint32 seed = 1) {
    ParkSettings settings;
    settings.seed = seed;
    settings.reportEveryTicks = 0;
    return settings;
}

const ControllerConfig kFirst{"79161110001", "4071", "ATM mall"};
const ControllerConfig kSecond{"79161110002", "1234", "ATM station"};

// What the station writes for one SMS: the number line, then text, CR LF and Ctrl-Z.
void stationSends(ModemModel& modem, const QByteArray& number, const QByteArray& text) {
    modem.feed("at+cmgs=" + number + "\r\n");
    modem.feed(text + "\r\n\x1a\r\n");
}

// Ticks from `from` until the store holds `count` messages; the tick that got there, or -1.
int tickUntilStored(ControllerPark& park, const ModemModel& modem, int from, int count, int limit) {
    for (int tick = from; tick < limit; ++tick) {
        park.tick(at(tick));
        if (modem.store().count() >= count)
            return tick;
    }
    return -1;
}

struct Message {
    QByteArray sender, timestamp, text;
    bool operator==(const Message&) const = default;
};

QList<Message> storedMessages(const ModemModel& modem) {
    QList<Message> messages;
    for (const auto& [index, message] : modem.store().messages())
        messages.append({message.sender, message.timestamp, message.text});
    return messages;
}

// Three controllers for a long run; the station asks for a test report now and then.
QList<Message> longRun(quint32 seed, int ticks) {
    ModemSettings modemSettings;
    modemSettings.storeCapacity = 5000;
    ModemModel modem(modemSettings);
    ParkSettings settings;
    settings.seed = seed;
    settings.reportEveryTicks = 3;
    ControllerPark park(modem, settings);
    park.add(kFirst);
    park.add(kSecond);
    park.add({"79161110003", "", {}});
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick % 100 == 50)
            stationSends(modem, "+79161110003", "/ TEST");
        park.tick(at(tick));
    }
    return storedMessages(modem);
}

bool matches(const char* pattern, const QByteArray& text) {
    return QRegularExpression(QString::fromLatin1(pattern))
        .match(QString::fromLatin1(text))
        .hasMatch();
}

} // namespace

class ControllerParkTest : public QObject {
    Q_OBJECT

private slots:
    void answersCommandAFewTicksLater();
    void answersNumbersWithAndWithoutPlus();
    void ignoresWrongPasswordsAndOtherNumbers();
    void commandsArriveInTheOrderSent();
    void answerIsListedByTheModem();
    void commandsSentBeforeTheParkAreNotTaken();
    void fullStoreHoldsReportsAndEvents();
    void reportsNowOnRequest_data();
    void reportsNowOnRequest();
    void sameSeedSameRun();
    void ownEventsUseEveryFormConsistently();
    void balanceNoticeInCodePage1251();
    void readsControllersFile();
    void refusesBadControllersFile_data();
    void refusesBadControllersFile();
};

void ControllerParkTest::answersCommandAFewTicksLater() {
    ModemModel modem;
    ControllerPark park(modem, quietPark());
    QVERIFY(park.add(kFirst));
    QVERIFY(!park.add({"79161110001", "other", {}}));

    stationSends(modem, "+79161110001", "/4071 DISARM !");
    park.tick(at(0));
    park.tick(at(1));
    QVERIFY(park.find("79161110001")->armed()); // the command is still on its way
    const int delivered = tickUntilStored(park, modem, 2, 1, 20);
    QVERIFY2(delivered >= 2 && delivered <= 4, QByteArray::number(delivered).constData());
    QVERIFY(!park.find("79161110001")->armed());
    const StoredMessage& answer = modem.store().messages().at(1);
    QCOMPARE(answer.sender, QByteArray("+79161110001"));
    QCOMPARE(answer.timestamp, serviceCentreTimestamp(at(delivered)));
    QCOMPARE(answer.text, QByteArray("14:05\nDISARM"));
    QCOMPARE(park.pendingCommands(), 0);

    for (int tick = delivered + 1; tick < 200; ++tick)
        park.tick(at(tick));
    QCOMPARE(modem.store().count(), 1); // a quiet park sends nothing of its own
}

void ControllerParkTest::answersNumbersWithAndWithoutPlus() {
    ModemModel modem;
    ControllerPark park(modem, quietPark());
    park.add(kFirst);
    park.add(kSecond);
    // The control panel sends to "+" and the number, the rules to the number alone.
    stationSends(modem, "+79161110001", "/4071 IN1 ? IN5 ?");
    stationSends(modem, "79161110002", "/1234 RELE1 ON !");
    QVERIFY(tickUntilStored(park, modem, 0, 2, 10) >= 0);
    QList<QByteArray> answers;
    for (const auto& [index, message] : modem.store().messages())
        answers.append(message.sender + ' ' + message.text);
    std::sort(answers.begin(), answers.end());
    QCOMPARE(answers, (QList<QByteArray>{"+79161110001 14:05\nIN1 CLOSE\nIN5 CLOSE",
                                         "+79161110002 14:05\nRELE1 ON"}));
}

void ControllerParkTest::ignoresWrongPasswordsAndOtherNumbers() {
    ModemModel modem;
    ControllerPark park(modem, quietPark());
    park.add(kFirst);
    park.add(kSecond);
    stationSends(modem, "+79161110001", "/1234 DISARM !"); // the other controller's password
    stationSends(modem, "+79161119999", "/4071 DISARM !");
    stationSends(modem, "NoPhone", "/4071 TEST");
    for (int tick = 0; tick < 20; ++tick)
        park.tick(at(tick));
    QCOMPARE(modem.store().count(), 0);
    QCOMPARE(park.pendingCommands(), 0);
    QVERIFY(park.find("79161110001")->armed());
}

void ControllerParkTest::commandsArriveInTheOrderSent() {
    for (quint32 seed = 1; seed <= 20; ++seed) { // delays differ from seed to seed
        ModemModel modem;
        ControllerPark park(modem, quietPark(seed));
        park.add(kFirst);
        stationSends(modem, "+79161110001", "/4071 DISARM !");
        park.tick(at(0));
        stationSends(modem, "+79161110001", "/4071 ARM !");
        stationSends(modem, "+79161110001", "/4071 TEST");
        QVERIFY(tickUntilStored(park, modem, 1, 3, 20) >= 0);
        QList<QByteArray> texts;
        for (const auto& [index, message] : modem.store().messages())
            texts.append(message.text);
        QCOMPARE(texts, (QList<QByteArray>{"14:05\nDISARM", "14:05\nARM",
                                           "TEST\n14:05\nARM\nPOWER OK\nBATTERY 100"}));
    }
}

void ControllerParkTest::answerIsListedByTheModem() {
    ModemModel modem;
    ControllerPark park(modem, quietPark());
    park.add(kFirst);
    stationSends(modem, "+79161110001", "/4071 ARM !");
    const int delivered = tickUntilStored(park, modem, 0, 1, 10);
    QVERIFY(delivered >= 0);
    QCOMPARE(modem.feed("at+cmgl=all\r\n"),
             "at+cmgl=all\r\r\n+CMGL: 1,\"REC UNREAD\",\"+79161110001\",,\"" +
                 serviceCentreTimestamp(at(delivered)) + "\"\r\n14:05\nARM\r\n\r\nOK\r\n");
}

void ControllerParkTest::commandsSentBeforeTheParkAreNotTaken() {
    ModemModel modem;
    stationSends(modem, "+79161110001", "/4071 TEST");
    ControllerPark park(modem, quietPark());
    park.add(kFirst);
    for (int tick = 0; tick < 10; ++tick)
        park.tick(at(tick));
    QCOMPARE(modem.store().count(), 0);
}

void ControllerParkTest::fullStoreHoldsReportsAndEvents() {
    ModemSettings modemSettings;
    modemSettings.storeCapacity = 1;
    ModemModel modem(modemSettings);
    ParkSettings settings;
    settings.reportEveryTicks = 1; // an event every tick, were there room
    ControllerPark park(modem, settings);
    park.add(kFirst);
    QCOMPARE(park.reportNow("79161110001", ReportKind::State, at(0)), std::optional<int>(1));
    QCOMPARE(park.reportNow("79161110001", ReportKind::Test, at(0)), std::nullopt);

    stationSends(modem, "+79161110001", "/4071 TEST");
    for (int tick = 0; tick < 30; ++tick)
        park.tick(at(tick));
    QCOMPARE(park.pendingCommands(), 1);
    QCOMPARE(modem.store().count(), 1); // and no events of its own while the store is full
    QVERIFY(modem.store().messages().at(1).text.contains("\nIN1 CLOSE\n"));

    QVERIFY(modem.store().remove(1));
    park.tick(at(30));
    QCOMPARE(park.pendingCommands(), 0);
    QVERIFY(modem.store().messages().at(1).text.startsWith("TEST\n"));
    QCOMPARE(modem.store().messages().at(1).timestamp, serviceCentreTimestamp(at(30)));
}

void ControllerParkTest::reportsNowOnRequest_data() {
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("text"); // a pattern
    QTest::addColumn<bool>("armedAfter");
    QTest::newRow("state") << QByteArray("state")
                           << "^14:05(\\nIN[1-8] CLOSE){8}\\nPOWER OK\\nBATTERY 100$" << true;
    QTest::newRow("alarm") << QByteArray("ALARM") << "^14:05\\nALARM\\nIN[1-8] OPEN$" << true;
    QTest::newRow("test") << QByteArray("Test") << "^TEST\\n14:05\\nARM\\nPOWER OK\\nBATTERY 100$"
                          << true;
    QTest::newRow("power") << QByteArray("power") << "^14:05\\nPOWER FAULT$" << true;
    QTest::newRow("arm") << QByteArray("arm") << "^14:05\\nARM (T:[0-9A-F]{8}|B|SMS:\\+7916\\d{7})$"
                         << true;
    QTest::newRow("disarm") << QByteArray("disarm")
                            << "^14:05\\nDISARM (T:[0-9A-F]{8}|B|SMS:\\+7916\\d{7})$" << false;
}

void ControllerParkTest::reportsNowOnRequest() {
    QFETCH(QByteArray, kind);
    QFETCH(QString, text);
    QFETCH(bool, armedAfter);
    ModemModel modem;
    ControllerPark park(modem, quietPark());
    park.add(kFirst);
    const auto reportKind = reportKindFromName(kind);
    QVERIFY(reportKind);
    QCOMPARE(park.reportNow("+79161110001", *reportKind, at(0)), std::optional<int>(1));
    QCOMPARE(park.reportNow("79161119999", *reportKind, at(0)), std::nullopt);
    const StoredMessage& report = modem.store().messages().at(1);
    QCOMPARE(report.sender, QByteArray("+79161110001"));
    QCOMPARE(report.timestamp, serviceCentreTimestamp(at(0)));
    QVERIFY2(QRegularExpression(text).match(QString::fromLatin1(report.text)).hasMatch(),
             report.text.constData());
    QCOMPARE(park.find("79161110001")->armed(), armedAfter);
    QVERIFY(!reportKindFromName("battery"));
}

void ControllerParkTest::sameSeedSameRun() {
    const QList<Message> first = longRun(7, 600);
    QVERIFY(first.size() > 100);
    QCOMPARE(longRun(7, 600), first);
    QVERIFY(longRun(8, 600) != first);
}

// Every event a controller makes of its own accord is one of the report forms the station
// reads, all forms turn up, and the reports agree with each other: alarms only while armed,
// an input opens without alarm only while disarmed, a test report tells the arming state.
void ControllerParkTest::ownEventsUseEveryFormConsistently() {
    const QList<Message> messages = longRun(3, 6000);
    const QList<QByteArray> phones = {"+79161110001", "+79161110002", "+79161110003"};
    QMap<QByteArray, bool> armed;
    for (const QByteArray& phone : phones)
        armed[phone] = true;
    QMap<QByteArray, int> seen;
    for (const Message& message : messages) {
        const QByteArray& text = message.text;
        if (!phones.contains(message.sender)) {
            QVERIFY(matches("^\\+79\\d{9}$", message.sender));
            const QString notice = QStringDecoder("windows-1251").decode(text);
            const bool isNotice = QRegularExpression(QStringLiteral("^Баланс: \\d+\\.\\d\\d р\\.$"))
                                      .match(notice)
                                      .hasMatch();
            QVERIFY2(isNotice || matches("^\\d\\d:\\d\\d\\nALARM\\nIN[1-8] OPEN$", text),
                     text.constData());
            ++seen[isNotice ? "unknown notice" : "unknown alarm"];
            continue;
        }
        bool& isArmed = armed[message.sender];
        if (text.startsWith("TEST\n")) {
            QVERIFY2(matches("^TEST\\n\\d\\d:\\d\\d\\n(ARM|DISARM)\\nPOWER (OK|FAULT)\\nBATTERY "
                             "\\d+$",
                             text),
                     text.constData());
            QCOMPARE(text.split('\n')[2], QByteArray(isArmed ? "ARM" : "DISARM"));
            ++seen["test"];
            continue;
        }
        QVERIFY2(matches("^\\d\\d:\\d\\d\\n", text), text.constData());
        const QByteArray line = text.mid(6);
        if (line.startsWith("ALARM\n")) {
            QVERIFY(matches("^ALARM\\nIN[1-8] OPEN$", line));
            QVERIFY(isArmed);
            ++seen["alarm"];
        } else if (matches("^(ARM|DISARM) (T:[0-9A-F]{8}|B|SMS:\\+7916\\d{7})$", line)) {
            isArmed = line.startsWith("ARM");
            ++seen[line.left(line.indexOf(' ') + 2)];
        } else if (matches("^IN[1-8] (OPEN|CLOSE)$", line)) {
            QVERIFY(!isArmed || line.endsWith("CLOSE"));
            ++seen[line.endsWith("OPEN") ? "input open" : "input close"];
        } else {
            QVERIFY2(matches("^(POWER (OK|FAULT)|BATTERY \\d+)$", line), line.constData());
            ++seen[line.startsWith("BATTERY") ? "battery" : line];
        }
    }
    const QList<QByteArray> forms = {"unknown notice", "unknown alarm", "test",       "alarm",
                                     "ARM T",          "ARM B",         "ARM S",      "DISARM T",
                                     "DISARM B",       "DISARM S",      "input open", "input close",
                                     "battery",        "POWER OK",      "POWER FAULT"};
    for (const QByteArray& form : forms)
        QVERIFY2(seen.value(form) > 0, form.constData());
}

void ControllerParkTest::balanceNoticeInCodePage1251() {
    QCOMPARE(balanceNotice(15240), QByteArray("\xc1\xe0\xeb\xe0\xed\xf1: 152.40 \xf0."));
    QCOMPARE(balanceNotice(105), QByteArray("\xc1\xe0\xeb\xe0\xed\xf1: 1.05 \xf0."));
}

void ControllerParkTest::readsControllersFile() {
    const auto parsed = parseControllerList("# phone password name\n"
                                            "79161110001 4071 ATM in the mall\r\n"
                                            "\n"
                                            "   79161110002\t\"\"\n"
                                            "79161110003 \xd0\xba\xd0\xbe\xd0\xb4 "
                                            "\xd0\x92\xd0\xbe\xd0\xba\xd0\xb7\xd0\xb0\xd0\xbb\n");
    QVERIFY(std::holds_alternative<QList<ControllerConfig>>(parsed));
    const auto& controllers = std::get<QList<ControllerConfig>>(parsed);
    QCOMPARE(controllers.size(), 3);
    QCOMPARE(controllers[0].phone, QByteArray("79161110001"));
    QCOMPARE(controllers[0].password, QByteArray("4071"));
    QCOMPARE(controllers[0].name, QStringLiteral("ATM in the mall"));
    QCOMPARE(controllers[1].password, QByteArray());
    QVERIFY(controllers[1].name.isEmpty());
    QCOMPARE(controllers[2].password, QByteArray("\xea\xee\xe4")); // sent in code page 1251
    QCOMPARE(controllers[2].name, QStringLiteral("Вокзал"));
}

void ControllerParkTest::refusesBadControllersFile_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("no password") << QByteArray("# x\n79161110001\n") << 2 << "want: phone";
    QTest::newRow("plus") << QByteArray("+79161110001 4071\n") << 1 << "the phone is digits";
    QTest::newRow("letters") << QByteArray("7916111000l 4071\n") << 1 << "the phone is digits";
    QTest::newRow("twice") << QByteArray("79161110001 4071 a\n\n79161110001 1 b\n") << 3
                           << "phone 79161110001 given twice";
}

void ControllerParkTest::refusesBadControllersFile() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, message);
    const auto parsed = parseControllerList(text);
    QVERIFY(std::holds_alternative<ControllerListError>(parsed));
    QCOMPARE(std::get<ControllerListError>(parsed).line, line);
    QVERIFY2(std::get<ControllerListError>(parsed).message.startsWith(message),
             qPrintable(std::get<ControllerListError>(parsed).message));
}

QTEST_GUILESS_MAIN(ControllerParkTest)
#include "tst_controller_park.moc"
