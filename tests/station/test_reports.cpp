// The reports work area on statistics copies of its own: what it counts, what
// it marks in the copy and shows, and what it refuses.
#include "LogRecords.h"
#include "ScriptedPrompt.h"
#include "log/LogTable.h"
#include "log/MarkingPass.h"
#include "reports/Reports.h"
#include "text/Cp1251.h"
#include "windows/TForm5.h"
#include "windows/TForm8.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

log::LogRecord entry(const char* bank, const char* date, const char* mail) {
    return {text::cp(bank), "10:00:00", "09:59:00", date, text::cp(mail), false, "op"};
}

// The copy the rows of the build table work on.
const QList<log::LogRecord> sampleCopy = {
    entry("A", "01.03.24", "Тревога!!! Дверь ON"),        // 0
    entry("B", "01.03.24", "Тревога!!! Удар ON"),         // 1
    entry("A", "02.03.24", "Тревога!!! Дверь ON"),        // 2
    entry("A", "01.03.24", "< Тревога!!! тест сирены"),   // 3
    entry("A", "None", "Тревога!!! Дверь ON"),            // 4
    entry("A", "01.03.24", "> Дверь OPEN"),               // 5
    entry("B", "01.03.24", "Снятие с охраны ключем: 0A"), // 6
    entry("A", "28.02.24", "Выполнение События: Сирена"), // 7
    entry("B", "01.03.24", "Постановка на охрану"),       // 8
};

using Counters = std::array<int, ReportCategoryCount>;
using Shown = std::array<bool, ReportCategoryCount>;
enum { Alarms, Armings, Disarmings, Events, Incoming, Outgoing };

Shown shown(std::initializer_list<int> categories) {
    Shown s{};
    for (const int c : categories)
        s[size_t(c)] = true;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(ReportRequest)
Q_DECLARE_METATYPE(Counters)

class ReportsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString copyWith(const QList<log::LogRecord>& records) {
        const QString path = dir_.filePath(QStringLiteral("statistica%1.dbf").arg(++serial_));
        log::LogTable::create(path);
        const auto table = log::LogTable::open(path);
        for (const log::LogRecord& r : records)
            table->append(r);
        return path;
    }

    QString iniWith(const QByteArray& content) {
        const QString path = dir_.filePath(QStringLiteral("Vave_vev%1.ini").arg(++serial_));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void aDateReadsAsTheStationReadsOne_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("log form") << QByteArray("05.03.24") << QDate(2024, 3, 5);
        QTest::newRow("short date form") << QByteArray("05.03.2024") << QDate(2024, 3, 5);
        QTest::newRow("single digits, blanks") << QByteArray(" 5.3.7 ") << QDate(2007, 3, 5);
        QTest::newRow("empty date of a copy") << QByteArray("None") << QDate();
        QTest::newRow("empty") << QByteArray("") << QDate();
        QTest::newRow("no such day") << QByteArray("30.02.24") << QDate();
        QTest::newRow("month 13") << QByteArray("01.13.24") << QDate();
        QTest::newRow("three-digit year") << QByteArray("01.03.124") << QDate();
        QTest::newRow("no year") << QByteArray("01.03") << QDate();
        QTest::newRow("empty day") << QByteArray(".03.24") << QDate();
        QTest::newRow("a fourth part") << QByteArray("01.03.24.5") << QDate();
        QTest::newRow("sign") << QByteArray("+1.03.24") << QDate();
        QTest::newRow("long digits") << QByteArray("001.03.24") << QDate();
    }
    void aDateReadsAsTheStationReadsOne() {
        QFETCH(QByteArray, text);
        QFETCH(QDate, date);
        QCOMPARE(readReportDate(text).value_or(QDate()), date);
    }

    void anAcknowledgementNamesTheAlarmAndNoMarker_data() {
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<QString>("logged");
        QTest::newRow("a signal") << "Тревога!!! Дверь OPEN"
                                  << "Принята тревога: Дверь OPEN";
        QTest::newRow("no alarm prefix") << "Удар ON"
                                         << "Принята тревога: Удар ON";
        QTest::newRow("the markers of commands and reports") << "Тревога!!! x > 5 < 3"
                                                             << "Принята тревога: x >5 <3";
        QTest::newRow("a marker made by defusing one") << ">  >  x"
                                                       << "Принята тревога: >>x";
        QTest::newRow("the words of the other kinds")
            << "Тревога!!! Тревога!!! Постановка на охрану, Снятие с охраны, "
               "Выполнение События: y"
            << "Принята тревога: тревога!!! постановка на охрану, снятие с охраны, "
               "выполнение События: y";
    }
    void anAcknowledgementNamesTheAlarmAndNoMarker() {
        QFETCH(QString, alarm);
        QFETCH(QString, logged);
        const QByteArray text = acknowledgementText(text::fromUnicode(alarm));
        QCOMPARE(text::toUnicode(text), logged);
        for (const ReportCategory& category : reportCategories())
            QVERIFY(!text.contains(category.sought));
    }

    void aBuildCountsEverythingAndMarksTheChoice_data() {
        QTest::addColumn<ReportRequest>("request");
        QTest::addColumn<Counters>("counters");
        QTest::addColumn<std::vector<int>>("marked");
        const QString all = Reports::AllObjects;
        QTest::newRow("nothing shown")
            << ReportRequest{all, true, {}, {}, shown({})} << Counters{} << std::vector<int>{};
        // The counter takes every day and object; the mark one day of one object.
        QTest::newRow("alarms of one day and one object")
            << ReportRequest{"A", false, "01.03.2024", "01.03.2024", shown({Alarms})}
            << Counters{5, 0, 0, 0, 0, 0} << std::vector<int>{0, 3};
        QTest::newRow("a period of two days")
            << ReportRequest{"A", false, "01.03.2024", "02.03.24", shown({Alarms})}
            << Counters{5, 0, 0, 0, 0, 0} << std::vector<int>{0, 2, 3};
        // An unreadable date is in the whole period, in no chosen one.
        QTest::newRow("the whole period")
            << ReportRequest{all, true, {}, {}, shown({Alarms})} << Counters{5, 0, 0, 0, 0, 0}
            << std::vector<int>{0, 1, 2, 3, 4};
        QTest::newRow("an alarm sent by the operator counts twice, listed once")
            << ReportRequest{all, true, {}, {}, shown({Alarms, Outgoing})}
            << Counters{5, 0, 0, 0, 0, 1} << std::vector<int>{0, 1, 2, 3, 4};
        QTest::newRow("incoming are the controllers' reports")
            << ReportRequest{all, true, {}, {}, shown({Incoming})} << Counters{0, 0, 0, 0, 1, 0}
            << std::vector<int>{5};
        QTest::newRow("every kind, one object")
            << ReportRequest{"B",
                             true,
                             {},
                             {},
                             shown({Alarms, Armings, Disarmings, Events, Incoming, Outgoing})}
            << Counters{5, 1, 1, 1, 1, 1} << std::vector<int>{1, 6, 8};
        QTest::newRow("an object nobody has") << ReportRequest{"C", true, {}, {}, shown({Alarms})}
                                              << Counters{5, 0, 0, 0, 0, 0} << std::vector<int>{};
    }
    void aBuildCountsEverythingAndMarksTheChoice() {
        QFETCH(ReportRequest, request);
        QFETCH(Counters, counters);
        QFETCH(std::vector<int>, marked);
        ScriptedPrompt prompt;
        ini::IniFile ini(iniWith({}));
        Reports reports(ini, prompt);
        const QString copy = copyWith(sampleCopy);
        reports.setCopyPath(copy);
        // Marks of an earlier build are overwritten.
        QVERIFY(reports.build({Reports::AllObjects, true, {}, {}, shown({Alarms, Incoming})}));
        QVERIFY(reports.build(request));
        QVERIFY2(prompt.messages.isEmpty(), qPrintable(prompt.messages.join('\n')));
        QCOMPARE(reports.counters(), counters);
        QCOMPARE(reports.marked(), marked);
        QCOMPARE(reports.grid().rowCount(), int(marked.size()));
        if (!marked.empty()) {
            const log::LogRecord& first = sampleCopy[marked.front()];
            QCOMPARE(reports.grid().index(0, 2).data().toString(), text::toUnicode(first.mail));
            QCOMPARE(reports.grid().index(0, 5).data().toString(), QStringLiteral("op"));
        }
        reports.close();
        const QList<log::LogRecord> stored = logRecords(copy);
        for (int i = 0; i < stored.size(); ++i) {
            log::LogRecord expected = sampleCopy[i];
            expected.alarm = std::find(marked.begin(), marked.end(), i) != marked.end();
            QCOMPARE(stored[i], expected);
        }
    }

    void marksReachEveryBlockOfALargeCopy() {
        QList<log::LogRecord> records;
        const int count = 2 * log::MarkingPass::BlockRecords + 3;
        for (int i = 0; i < count; ++i)
            records.append(entry(i % 7 == 0 ? "A" : "B", "01.03.24", "Тревога!!! x"));
        ScriptedPrompt prompt;
        ini::IniFile ini(iniWith({}));
        Reports reports(ini, prompt);
        const QString copy = copyWith(records);
        reports.setCopyPath(copy);
        QVERIFY(reports.build({"A", true, {}, {}, shown({Alarms})}));
        QCOMPARE(reports.counters()[Alarms], count);
        reports.close();
        const QList<log::LogRecord> stored = logRecords(copy);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(stored[i].alarm, i % 7 == 0);
            QCOMPARE(stored[i].mail, records[i].mail);
        }
    }

    void missingOrInvertedDatesAndAMissingCopyStopTheBuild_data() {
        QTest::addColumn<ReportRequest>("request");
        QTest::addColumn<bool>("withCopy");
        QTest::addColumn<QString>("message");
        const QString dates = QStringLiteral(
            "Не указана одна из дат, либо дата начала отчета больше даты окончания!");
        QTest::newRow("no end date")
            << ReportRequest{"A", false, "01.03.2024", "", shown({Alarms})} << true << dates;
        QTest::newRow("start after end")
            << ReportRequest{"A", false, "02.03.2024", "01.03.2024", shown({Alarms})} << true
            << dates;
        QTest::newRow("typed nonsense")
            << ReportRequest{"A", false, "01.03.2024", "завтра", shown({Alarms})} << true << dates;
        QTest::newRow("no copy yet")
            << ReportRequest{"A", true, {}, {}, shown({Alarms})} << false << QString();
    }
    void missingOrInvertedDatesAndAMissingCopyStopTheBuild() {
        QFETCH(ReportRequest, request);
        QFETCH(bool, withCopy);
        QFETCH(QString, message);
        ScriptedPrompt prompt;
        ini::IniFile ini(iniWith({}));
        Reports reports(ini, prompt);
        const QString copy = withCopy ? copyWith(sampleCopy) : dir_.filePath("absent.dbf");
        reports.setCopyPath(copy);
        QVERIFY(reports.build({"A", true, {}, {}, shown({Alarms})}) == withCopy);
        prompt.messages.clear();
        QVERIFY(!reports.build(request));
        QCOMPARE(prompt.messages.size(), 1);
        if (!message.isEmpty())
            QCOMPARE(prompt.messages[0], message);
        else
            QVERIFY(prompt.messages[0].contains(QStringLiteral("absent.dbf")));
        QCOMPARE(reports.grid().rowCount(), 0);
        QVERIFY(reports.marked().empty());
        QVERIFY(!reports.copy());
    }

    void theObjectFilterListsEachObjectOnceEveryTimeItIsShown() {
        ScriptedPrompt prompt;
        ini::IniFile ini(iniWith("[Bank3]\r\nName=" + text::cp("Вокзал") +
                                 "\r\n[Bank1]\r\nName=ATM 1\r\n[Bank5]\r\nPhone=1\r\n"
                                 "[Bank7]\r\nName=ATM 1\r\n[BaseStation]\r\nName=x\r\n"));
        Reports reports(ini, prompt);
        TForm5 window;
        TForm8 printout;
        window.attach(reports, printout, prompt);
        const QStringList expected{"Все", "ATM 1", "Вокзал", "None"};
        QCOMPARE(reports.objectFilter(), expected);
        window.FormShow();
        window.ui().ComboBox1->setCurrentIndex(2);
        window.FormShow();
        QStringList items;
        for (int i = 0; i < window.ui().ComboBox1->count(); ++i)
            items << window.ui().ComboBox1->itemText(i);
        QCOMPARE(items, expected);
        // The choice stays while the window exists.
        QCOMPARE(window.request().object, QStringLiteral("Вокзал"));
    }
};

QTEST_MAIN(ReportsTest)
#include "test_reports.moc"
