#include "report/ListingEntry.h"
#include "report/ReportInterpreter.h"
#include "text/Cp1251.h"

#include <QTest>

using namespace tirvon;
using namespace tirvon::report;
using text::cp;
using Kind = ReportItem::Kind;

namespace {

// Active-state names as a configuration might hold them.
QByteArray activeStateName(const QByteArray& shortName) {
    if (shortName == "IN3")
        return cp("Дверь");
    if (shortName == "POWER")
        return cp("Питание");
    return "None";
}

QList<ReportItem> interpret(const QByteArray& text) {
    QList<ReportItem> items;
    ReportInterpreter(activeStateName, [&items](const ReportItem& item) {
        items.append(item);
    }).interpret(text);
    return items;
}

QByteArray header(const QByteArray& index, const QByteArray& status, const QByteArray& sender,
                  const QByteArray& stamp = "08/12/31,12:36:00+12") {
    return "+CMGL: " + index + ",\"" + status + "\",\"" + sender + "\",,\"" + stamp + "\"\r\n";
}

const QByteArray armed = cp("На охране");
const QByteArray disarmed = cp("Снят с охраны");

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void theWorkedExampleOfAListingEntry() {
        QByteArray listing = header("3", "REC UNREAD", "+79161234567") +
                             "12:32\nDISARM T:00000A1B2C3D\nIN3 OPEN\r\n\r\nOK\r\n";
        const auto entry = takeListingEntry(listing);
        QVERIFY(entry);
        QCOMPARE(entry->index, QByteArray("3"));
        QCOMPARE(entry->sender, QByteArray("79161234567"));
        QCOMPARE(entry->date, QByteArray("31.12.08"));
        QCOMPARE(entry->time, QByteArray("12:36:00"));
        QCOMPARE(entry->text, QByteArray("12:32\nDISARM T:00000A1B2C3D\nIN3 OPEN\r\n"));
        QCOMPARE(listing, QByteArray("\r\nOK\r\n"));

        const QList<ReportItem> items = interpret(entry->text);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0], (ReportItem{Kind::StateArming,
                                       "lArm",
                                       disarmed,
                                       cp("Снятие с охраны ключем: ") + "00000A1B2C3D",
                                       {},
                                       {},
                                       "12:32:00"}));
        QCOMPARE(items[1],
                 (ReportItem{Kind::StateSignal, "lIN3", "OPEN\r", "> " + cp("Дверь") + " OPEN\r",
                             "IN3 OPEN\r", cp("Дверь") + " OPEN\r", "12:32:00"}));
    }

    void entriesComeOutInOrderWhateverTheirStatus() {
        QByteArray listing = header("1", "REC READ", "+7001") + "10:00\nIN1 OPEN\r\n" +
                             header("12", "REC UNREAD", "+7002", "26/01/02,03:04:05+12") +
                             "TEXT\r\n" + "\r\nOK\r\n";
        const auto first = takeListingEntry(listing);
        const auto second = takeListingEntry(listing);
        QCOMPARE(first->index, QByteArray("1"));
        QCOMPARE(first->sender, QByteArray("7001"));
        QCOMPARE(second->index, QByteArray("12"));
        QCOMPARE(second->sender, QByteArray("7002"));
        QCOMPARE(second->date, QByteArray("02.01.26"));
        QCOMPARE(second->time, QByteArray("03:04:05"));
        QCOMPARE(second->text, QByteArray("TEXT\r\n"));
        QVERIFY(!listing.contains("+CMGL:"));
    }

    void aNationalSenderKeepsAllItsDigits() {
        QByteArray listing = header("2", "REC UNREAD", "89161234567") + "x\r\n";
        QCOMPARE(takeListingEntry(listing)->sender, QByteArray("89161234567"));
    }

    void brokenListingsGiveNoEntryOrShorterFields_data() {
        QTest::addColumn<QByteArray>("listing");
        QTest::newRow("header cut") << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+79");
        QTest::newRow("only the keyword") << QByteArray("+CMGL:");
        QTest::newRow("no header") << QByteArray("garbage \"\r\n text\r\n");
        QTest::newRow("empty") << QByteArray();
    }
    void brokenListingsGiveNoEntryOrShorterFields() {
        QFETCH(QByteArray, listing);
        QVERIFY(!takeListingEntry(listing));
        QVERIFY(listing.isEmpty());
    }

    // The header forms of different modems, each followed by the next entry.
    void everyHeaderFormGivesTheSameFields_data() {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("between"); // what stands before the next entry
        const QByteArray stamp = "\"08/12/31,12:36:00+12\"";
        const QByteArray sender = "\"+79161234567\"";
        QTest::newRow("empty alpha field") << "+CMGL: 5,\"REC UNREAD\"," + sender + ",," + stamp
                                           << QByteArray("10:00\nIN1 OPEN") << QByteArray();
        QTest::newRow("alpha field in quotes")
            << "+CMGL: 5,\"REC READ\"," + sender + ",\"\"," + stamp << QByteArray("10:00\nIN1 OPEN")
            << QByteArray();
        QTest::newRow("alpha name with a comma")
            << "+CMGL: 5,\"REC READ\"," + sender + ",\"Ivanov, I\"," + stamp
            << QByteArray("10:00\nIN1 OPEN") << QByteArray();
        QTest::newRow("detail fields")
            << "+CMGL: 5,\"REC UNREAD\"," + sender + ",," + stamp + ",145,14"
            << QByteArray("10:00\nIN1 OPEN") << QByteArray();
        const QByteArray posing = "hi\r\n+CMGL: 9,\"REC READ\",\"+79160000001\",,"
                                  "\"08/12/31,12:00:00+12\"\r\nALARM";
        QTest::newRow("length keeps a line break of the text")
            << "+CMGL: 5,\"REC UNREAD\"," + sender + ",," + stamp + ",145," +
                   QByteArray::number(posing.size())
            << posing << QByteArray();
        QTest::newRow("empty lines between entries")
            << "+CMGL: 5,\"REC UNREAD\"," + sender + ",\"\"," + stamp + ",145,14"
            << QByteArray("10:00\nIN1 OPEN") << QByteArray("\r\n\r\n");
        QTest::newRow("no blank after the keyword")
            << "+CMGL:5,\"REC UNREAD\"," + sender + ",," + stamp << QByteArray("10:00\nIN1 OPEN")
            << QByteArray();
    }
    void everyHeaderFormGivesTheSameFields() {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, between);
        const QByteArray next = ::header("6", "REC UNREAD", "+7002") + "x\r\n";
        QByteArray listing = header + "\r\n" + text + "\r\n" + between + next + "\r\nOK\r\n";
        const auto entry = takeListingEntry(listing);
        QVERIFY(entry && entry->readable);
        QCOMPARE(entry->index, QByteArray("5"));
        QCOMPARE(entry->sender, QByteArray("79161234567"));
        QCOMPARE(entry->date, QByteArray("31.12.08"));
        QCOMPARE(entry->time, QByteArray("12:36:00"));
        QCOMPARE(entry->text, text + "\r\n");
        QCOMPARE(entry->header, header);
        QCOMPARE(takeListingEntry(listing)->sender, QByteArray("7002"));
        QCOMPARE(listing, QByteArray("\r\nOK\r\n"));
    }

    void aLengthThatDoesNotFitTheListingIsNotTrusted_data() {
        QTest::addColumn<QByteArray>("length");
        QTest::newRow("too short") << QByteArray("3");
        QTest::newRow("too long") << QByteArray("400");
        QTest::newRow("not a number") << QByteArray("x4");
        QTest::newRow("huge") << QByteArray("99999999999999999999");
    }
    void aLengthThatDoesNotFitTheListingIsNotTrusted() {
        QFETCH(QByteArray, length);
        QByteArray listing = "+CMGL: 5,\"REC UNREAD\",\"+7001\",,\"08/12/31,12:36:00+12\",145," +
                             length + "\r\n10:00\nIN1 OPEN\r\n\r\nOK\r\n";
        QCOMPARE(takeListingEntry(listing)->text, QByteArray("10:00\nIN1 OPEN\r\n"));
        QCOMPARE(listing, QByteArray("\r\nOK\r\n"));
    }

    void headersWithoutSenderOrTimeStampAreUnreadable_data() {
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("no sender")
            << QByteArray("+CMGL: 1,\"REC UNREAD\",,,\"08/12/31,12:36:00+12\"");
        QTest::newRow("sender without quotes")
            << QByteArray("+CMGL: 1,\"REC UNREAD\",+7916,,\"08/12/31,12:36:00+12\"");
        QTest::newRow("only a plus")
            << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+\",,\"08/12/31,12:36:00+12\"");
        QTest::newRow("stamp cut") << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+79\",,\"08/12/31");
        QTest::newRow("stamp of letters")
            << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+79\",,\"aa/bb/cc,dd:ee:ff+00\"");
        QTest::newRow("no stamp") << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+79\"");
        QTest::newRow("status report form") << QByteArray("+CMGL: 1,\"REC UNREAD\",6,41,,,");
        QTest::newRow("no index") << QByteArray(
            "+CMGL: ,\"REC UNREAD\",\"+79\",,\"08/12/31,12:36:00+12\"");
        QTest::newRow("alpha without quotes")
            << QByteArray("+CMGL: 1,\"REC UNREAD\",\"+79\",Ivan,\"08/12/31,12:36:00+12\"");
    }
    void headersWithoutSenderOrTimeStampAreUnreadable() {
        QFETCH(QByteArray, header);
        QByteArray listing = header + "\r\ntext\r\n" + ::header("2", "REC READ", "+7002") + "y\r\n";
        const auto entry = takeListingEntry(listing);
        QVERIFY(entry && !entry->readable);
        QCOMPARE(entry->text, QByteArray("text\r\n"));
        const auto next = takeListingEntry(listing);
        QVERIFY(next && next->readable);
    }

    void oddHeadersStillEndTheirEntry() {
        // No time stamp, no address, no comma: fields come out short, the loop goes on.
        QByteArray listing = "+CMGL: 7\"\r\nfirst\r\n+CMGL: 8,\"x\"\r\nsecond";
        const auto a = takeListingEntry(listing);
        QCOMPARE(a->text, QByteArray("first\r\n"));
        QCOMPARE(a->date, QByteArray());
        const auto b = takeListingEntry(listing);
        QCOMPARE(b->index, QByteArray("8"));
        QCOMPARE(b->text, QByteArray("second")); // the listing was cut inside the text
        QVERIFY(listing.isEmpty());
        QVERIFY(!takeListingEntry(listing));
    }

    void textBeforeAHeaderLendsItNoField() {
        QByteArray listing = "junk \",\"+70000000000\",,\"99/99/99,99:99:99\" " +
                             header("4", "REC UNREAD", "+79160000001") + "x\r\n";
        const auto entry = takeListingEntry(listing);
        QCOMPARE(entry->index, QByteArray("4"));
        QCOMPARE(entry->sender, QByteArray("79160000001"));
        QCOMPARE(entry->date, QByteArray("31.12.08"));
    }

    void aVeryLongLineIsTakenWhole() {
        const QByteArray text = QByteArray(65536, 'A') + "\r\n";
        QByteArray listing = header("1", "REC UNREAD", "+7") + text;
        QCOMPARE(takeListingEntry(listing)->text, text);
        QVERIFY(interpret(text).size() <= 1);
    }

    void alarmValuesKeepTheirCrAndTestValuesLoseIt() {
        const QList<ReportItem> alarm = interpret("09:15\nALARM\nIN3 OPEN\nIN5 ON\r\n");
        QCOMPARE(alarm.size(), 2);
        QCOMPARE(alarm[0], (ReportItem{Kind::Alarm, "lIN3", "OPEN", cp("Тревога!!! Дверь OPEN"),
                                       "ALARM IN3 OPEN", cp("Дверь OPEN"), "09:15:00"}));
        QCOMPARE(alarm[1].stateValue, QByteArray("ON\r"));
        QCOMPARE(alarm[1].logText, cp("Тревога!!! None ON\r"));
        QCOMPARE(alarm[1].ruleEventText, QByteArray("ALARM IN5 ON\r"));

        const QList<ReportItem> test = interpret("TEST\n08:30\nIN3 CLOSE\nIN5 ON\r\n");
        QCOMPARE(test.size(), 2);
        QCOMPARE(test[0], (ReportItem{Kind::TestSignal, "lIN3", "CLOSE", "> " + cp("Дверь CLOSE"),
                                      "IN3 CLOSE", cp("Дверь CLOSE"), "08:30:00"}));
        QCOMPARE(test[1].stateValue, QByteArray("ON"));
        QCOMPARE(test[1].ruleEventText, QByteArray("IN5 ON"));
    }

    void testReportsArmAndDisarmOnlyByWholeLines() {
        const QList<ReportItem> items = interpret("TEST\n08:30\nDISARM\nARM\r\n");
        QCOMPARE(items.size(), 2);
        QCOMPARE(
            items[0],
            (ReportItem{
                Kind::TestArming, "lArm", disarmed, cp("> Снят с охраны"), {}, {}, "08:30:00"}));
        // The last line is "ARM" + CR: a signal without a short name.
        QCOMPARE(items[1], (ReportItem{Kind::TestSignal, "l", "ARM", "> None ARM", " ARM",
                                       "None ARM", "08:30:00"}));
        const QList<ReportItem> armed = interpret("TEST\n08:30\nARM\nIN1 OK\r\n");
        QCOMPARE(armed[0].stateValue, cp("На охране"));
        QCOMPARE(armed[0].logText, cp("> На охране"));
    }

    void theStationsOwnArmingFormsNeedTheLastLine() {
        QList<ReportItem> items = interpret("12:00\nARM\nIN1 OPEN\r\n");
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].stateKey, QByteArray("lIN1"));
        items = interpret("12:00\nIN1 OPEN\nARM\r\n");
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[1], (ReportItem{Kind::StateArming,
                                       "lArm",
                                       armed,
                                       cp("Постановка на охрану ДИСПЕТЧЕРОМ"),
                                       {},
                                       {},
                                       "12:00:00"}));
        items = interpret("12:00\nDISARM\r\n");
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].logText, cp("Снятие с охраны ДИСПЕТЧЕРОМ"));
        QCOMPARE(interpret("12:00\nDISARM\nIN1 OPEN\r\n").size(), 1);
    }

    void everyArmingFormOfAStateReport_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("arms");
        QTest::addColumn<QByteArray>("logText");
        QTest::newRow("dtmf") << QByteArray("DISARM DTMF:89161234567") << false
                              << cp("Снятие с охраны номером: 89161234567\r");
        QTest::newRow("sms off") << QByteArray("DISARM SMS:+7916") << false
                                 << cp("Снятие с охраны SMS с тел: +7916\r");
        QTest::newRow("key off") << QByteArray("DISARM T:0A") << false
                                 << cp("Снятие с охраны ключем: 0A\r");
        QTest::newRow("button off")
            << QByteArray("DISARM B1") << false << cp("Снятие с охраны КНОПКОЙ 1\r");
        QTest::newRow("key on") << QByteArray("ARM T:0A") << true
                                << cp("Постановка на охрану КЛЮЧЕМ: 0A\r");
        QTest::newRow("button on")
            << QByteArray("ARM B") << true << cp("Постановка на охрану КНОПКОЙ \r");
        QTest::newRow("sms on") << QByteArray("ARM SMS:+7916") << true
                                << cp("Постановка на охрану SMS с тел: +7916\r");
    }
    void everyArmingFormOfAStateReport() {
        QFETCH(QByteArray, line);
        QFETCH(bool, arms);
        QFETCH(QByteArray, logText);
        const QList<ReportItem> items = interpret("07:07\n" + line + "\r\n");
        QCOMPARE(items.size(), 1);
        QCOMPARE(
            items[0],
            (ReportItem{
                Kind::StateArming, "lArm", arms ? armed : disarmed, logText, {}, {}, "07:07:00"}));
    }

    void theTestsOfAStateReportOnlyMoveForward() {
        // The second disarming line is tried against the ARM forms, where
        // "DISARM B" is an "ARM B".
        const QList<ReportItem> items = interpret("07:07\nDISARM T:01\nDISARM B2\nIN1 OPEN\r\n");
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].stateValue, disarmed);
        QCOMPARE(items[1].stateValue, armed);
        QCOMPARE(items[1].logText, cp("Постановка на охрану КНОПКОЙ 2"));
        QCOMPARE(items[2].stateKey, QByteArray("lIN1"));
        // A signal whose words hold ARM is taken by the ARM test and makes no item.
        QCOMPARE(interpret("07:07\nWARMER ON\r\n").size(), 0);
        // After a listen line only a signal can follow.
        const QList<ReportItem> listen = interpret("07:07\nLISTEN NO\nDISARM\r\n");
        QCOMPARE(listen.size(), 2);
        QCOMPARE(listen[1].kind, Kind::StateSignal);
        QCOMPARE(listen[1].stateKey, QByteArray("l"));
    }

    void voiceConnectionLines() {
        QList<ReportItem> items = interpret("07:07\nLISTEN +79161234567\r\n");
        QCOMPARE(items, QList<ReportItem>(
                            {{Kind::Listen,
                              {},
                              {},
                              cp("> Попытка установки голосового соединения с: +79161234567\r"),
                              {},
                              {},
                              "07:07:00"}}));
        items = interpret("07:07\nLISTEN +:79161234567\r\n");
        QCOMPARE(items[0].logText,
                 cp("> Попытка установки голосового соединения с: :79161234567\r"));
        items = interpret("07:07\nLISTEN NO\r\n");
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].logText, cp("> Попытка голосового соединения провалена!"));
        QVERIFY(items[0].stateKey.isEmpty());
    }

    void powerFaultOnTheLastLine() {
        const QList<ReportItem> items = interpret("23:59\nPOWER FAULT\r\n");
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].logText, "> " + cp("Питание") + " FAULT\r");
        QCOMPARE(items[0].stateKey, QByteArray("lPOWER"));
    }

    void anEmptyLineEndsTheReportAndTheRestIsTriedAsAStateReport() {
        QCOMPARE(interpret("10:00\nIN1 OPEN\n\nIN2 OPEN\r\n").size(), 1);
        const QList<ReportItem> items = interpret("10:00\nALARM\nIN1 OPEN\n\nIN2 OPEN\r\n");
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].kind, Kind::Alarm);
        QCOMPARE(items[1].kind, Kind::StateSignal);
        QCOMPARE(items[1].controllerTime, QByteArray(":00"));
        // The rest is not a state report while it still speaks of an alarm.
        QCOMPARE(interpret("10:00\nALARM\nIN1 OPEN\n\nALARM IN2\r\n").size(), 1);
    }

    void textsWithoutLinesMakeNoItems() {
        QCOMPARE(interpret("").size(), 0);
        QCOMPARE(interpret("12:00").size(), 0);
        QCOMPARE(interpret("TEST").size(), 0);
        QCOMPARE(interpret("ALARM\r\n").size(), 0);
        // A line of a lone CR is no empty line.
        QCOMPARE(interpret("\r\n\r\n\r\n").size(), 2);
    }
};

QTEST_GUILESS_MAIN(ReportTest)
#include "test_report.moc"
