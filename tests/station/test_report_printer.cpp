// The printed report read back from its PDF: what it says on which page, what
// becomes of text too long for its column, of records that cannot be read and
// of files that cannot be written, and the report window's save to PDF.
#include "ScriptedPrompt.h"
#include "log/LogTable.h"
#include "reports/ReportPrinter.h"
#include "text/Cp1251.h"
#include "windows/TForm8.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

const QString objectWord = QStringLiteral("Объект78");
const QString period = QStringLiteral("Отчет за период c 01.12.2026 по 09.12.2026");
const QDateTime madeAt(QDate(2026, 12, 9), QTime(15, 12, 4));
const QString longMail =
    QStringLiteral("Тревога: вскрытие корпуса, шлейф 3 разомкнут, питание от резерва, "
                   "связь по второму каналу, оператор уведомлен, выезд группы назначен, "
                   "отметка о прибытии ожидается, журнал дополнен записью номер 4417 конец");
const QString unbrokenBank = QString(120, QChar(0x0416)); // Ж, a letter used nowhere else

log::LogRecord record(const QString& bank, const QString& timeo, const QString& mail,
                      const QString& admin) {
    return {text::fromUnicode(bank), "10:20:30", text::fromUnicode(timeo), "09.12.26",
            text::fromUnicode(mail), false,      text::fromUnicode(admin)};
}

// A statistics copy of the log in a folder of its own.
struct Copy {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("stat.dbf"));

    explicit Copy(const QList<log::LogRecord>& records) {
        log::LogTable::create(path);
        const auto table = log::LogTable::open(path);
        for (const auto& r : records)
            table->append(r);
    }
    std::unique_ptr<log::LogTable> read() const {
        return log::LogTable::open(path, log::LogTable::Access::ReadOnly);
    }
    QString file(const QString& name) const { return dir.filePath(name); }
};

ReportHeading heading() {
    return {period, objectWord, madeAt};
}

// The text of each page of a PDF, laid out as printed.
QStringList pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The state mark printed on the line of the row whose TIMEO is timeo.
QString markOf(const QString& page, const QString& timeo) {
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (line.contains(timeo))
            return line.trimmed().section(QLatin1Char(' '), 0, 0);
    return QStringLiteral("<no row>");
}

const QStringList columnTitles{
    QStringLiteral("Сост."),       QStringLiteral("Дата"), objectWord,
    QStringLiteral("Событие"),     QStringLiteral("Ушло"), QStringLiteral("Пришло"),
    QStringLiteral("Пользователь")};

} // namespace

class TestReportPrinter : public QObject {
    Q_OBJECT
private slots:
    void aReportHoldsItsHeadingAndEveryField() {
        const Copy copy({record(QStringLiteral("Сбербанк Тверская 7"), QStringLiteral("10:00:01"),
                                QStringLiteral("Вход в режим охраны"), QStringLiteral("Петров")),
                         record(unbrokenBank, QStringLiteral("10:00:02"), longMail,
                                QStringLiteral("Сидорова Анна Павловна, старшая смена")),
                         record(QStringLiteral("Почта 105"), QStringLiteral("10:00:03"),
                                QStringLiteral("Снятие с охраны"), QStringLiteral("Иванов"))});
        StateMark mark;
        const QString pdf = copy.file(QStringLiteral("r.pdf"));
        QVERIFY(saveReportPdf(pdf, heading(), *copy.read(), {0, 1, 2}, mark));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 1);
        const QString& page = pages[0];
        for (const QString& expected :
             QStringList{QStringLiteral("Отчет"), period,
                         QStringLiteral("Время формирования отчета - 09.12.2026 15:12:04"),
                         QStringLiteral("В отчет выведено строк - 3"),
                         QStringLiteral("Сбербанк Тверская 7"), QStringLiteral("Почта 105"),
                         QStringLiteral("Вход в режим охраны"), QStringLiteral("Снятие с охраны"),
                         QStringLiteral("09.12.26"), QStringLiteral("10:20:30"),
                         QStringLiteral("Петров"), QStringLiteral("Иванов"),
                         QStringLiteral("старшая смена")} +
                 columnTitles)
            QVERIFY2(page.contains(expected), qPrintable(expected));
        QVERIFY(!page.contains(QStringLiteral("Банк")));
        // The long event wraps onto several lines and keeps every word, in order.
        qsizetype at = 0;
        const QStringList words = longMail.split(QLatin1Char(' '));
        for (const QString& word : words) {
            at = page.indexOf(word, at);
            QVERIFY2(at >= 0, qPrintable(word));
        }
        QVERIFY(page.mid(page.indexOf(words.first()), at - page.indexOf(words.first()))
                    .contains(QLatin1Char('\n')));
        // The word longer than its column is broken, not cut.
        QCOMPARE(page.count(QChar(0x0416)), unbrokenBank.size());
        QVERIFY(!page.contains(unbrokenBank));
        // The state marks: "-" for the first row of the run, "Ок" after it.
        QCOMPARE(markOf(page, QStringLiteral("10:00:01")), QStringLiteral("-"));
        QCOMPARE(markOf(page, QStringLiteral("10:00:02")), QStringLiteral("Ок"));
        QCOMPARE(markOf(page, QStringLiteral("10:00:03")), QStringLiteral("Ок"));
        QVERIFY(mark.printed());
        // A second report of the run starts with "Ок".
        QVERIFY(saveReportPdf(pdf, heading(), *copy.read(), {2, 0}, mark));
        const QString again = pdfPages(pdf).value(0);
        QCOMPARE(markOf(again, QStringLiteral("10:00:03")), QStringLiteral("Ок"));
        QCOMPARE(markOf(again, QStringLiteral("10:00:01")), QStringLiteral("Ок"));
        QVERIFY(again.indexOf(QStringLiteral("Почта 105")) <
                again.indexOf(QStringLiteral("Сбербанк")));
    }

    void aLongReportRepeatsHeaderAndFooterOnEveryPage() {
        QList<log::LogRecord> records;
        std::vector<int> rows;
        for (int n = 0; n < 100; ++n) {
            const QString no = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
            records.append(record(
                QStringLiteral("Банкомат у вокзала номер ") + no, QStringLiteral("11:00:00"),
                QStringLiteral("Событие ") + no + QStringLiteral(": ") + longMail.left(60 + n),
                QStringLiteral("Оператор") + no));
            rows.push_back(n);
        }
        const Copy copy(records);
        StateMark mark;
        const QString pdf = copy.file(QStringLiteral("long.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        setUpReportPage(printer);
        const int painted = paintReport(printer, heading(), *copy.read(), rows, mark);
        const QStringList pages = pdfPages(pdf);
        QVERIFY(pages.size() >= 3);
        QCOMPARE(painted, pages.size());
        for (int p = 0; p < pages.size(); ++p) {
            const QString& page = pages[p];
            QVERIFY(page.contains(QStringLiteral("Стр. - %1").arg(p + 1)));
            QVERIFY(page.contains(QStringLiteral("Руководитель отдела")));
            QVERIFY(page.contains(QStringLiteral("Главный инженер")));
            for (const QString& title : columnTitles)
                QVERIFY2(page.contains(title), qPrintable(title));
            QCOMPARE(page.contains(QStringLiteral("Время формирования отчета")), p == 0);
            QCOMPARE(page.contains(period), p == 0);
            // No row runs into the footer.
            QString footer = page.mid(page.indexOf(QStringLiteral("Руководитель отдела")));
            for (const QString& caption :
                 {QStringLiteral("Руководитель отдела"), QStringLiteral("Главный инженер"),
                  QStringLiteral("Стр. - %1").arg(p + 1)})
                footer.remove(caption);
            QCOMPARE(footer.trimmed(), QString());
        }
        // Every row is printed once, whole on one page, in order.
        int lastPage = 0;
        for (int n = 0; n < 100; ++n) {
            const QString no = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
            QList<int> on;
            for (int p = 0; p < pages.size(); ++p)
                if (pages[p].contains(QStringLiteral("Событие ") + no))
                    on.append(p);
            QCOMPARE(on.size(), 1);
            QVERIFY(on[0] >= lastPage);
            lastPage = on[0];
            QVERIFY(pages[on[0]].contains(QStringLiteral("Оператор") + no));
            QVERIFY(pages[on[0]].contains(longMail.left(60 + n).split(QLatin1Char(' ')).last()));
        }
    }

    void anUnreadableRecordPrintsAsAnEmptyRow() {
        const Copy copy({record(QStringLiteral("Касса 1"), QStringLiteral("10:00:01"),
                                QStringLiteral("Первое"), QStringLiteral("Петров")),
                         record(QStringLiteral("Касса 2"), QStringLiteral("10:00:02"),
                                QStringLiteral("Второе"), QStringLiteral("Иванов"))});
        StateMark mark;
        const QString pdf = copy.file(QStringLiteral("r.pdf"));
        QVERIFY(saveReportPdf(pdf, heading(), *copy.read(), {0, 7, 1}, mark));
        const QString page = pdfPages(pdf).value(0);
        QVERIFY(page.contains(QStringLiteral("В отчет выведено строк - 3")));
        QCOMPARE(markOf(page, QStringLiteral("10:00:01")), QStringLiteral("-"));
        QCOMPARE(markOf(page, QStringLiteral("10:00:02")), QStringLiteral("Ок"));
        const QStringList lines = page.split(QLatin1Char('\n'));
        const int first = lines.indexOf(QRegularExpression(QStringLiteral(".*Первое.*")));
        const int second = lines.indexOf(QRegularExpression(QStringLiteral(".*Второе.*")));
        QCOMPARE(lines.mid(first + 1, second - first - 1).join(QString()).trimmed(),
                 QStringLiteral("Ок"));
    }

    void aReportThatCannotBeWrittenLeavesNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("withRows");
        QTest::newRow("folder missing") << QStringLiteral("nowhere/r.pdf") << true;
        QTest::newRow("no rows") << QStringLiteral("r.pdf") << false;
    }
    void aReportThatCannotBeWrittenLeavesNoFile() {
        QFETCH(QString, name);
        QFETCH(bool, withRows);
        const Copy copy({record(QStringLiteral("Касса"), QStringLiteral("10:00:01"),
                                QStringLiteral("Первое"), QStringLiteral("Петров"))});
        StateMark mark;
        const std::vector<int> rows = withRows ? std::vector<int>{0} : std::vector<int>{};
        QVERIFY(!saveReportPdf(copy.file(name), heading(), *copy.read(), rows, mark));
        QVERIFY(!QFile::exists(copy.file(name)));
        QVERIFY(!QFile::exists(copy.file(name + QStringLiteral(".tmp"))));
        QCOMPARE(QDir(copy.dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("stat.dbf")});
    }

    void thePreviewSavesThePdfTheOperatorPicks_data() {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved") << QStringLiteral("out.pdf") << true << QString();
        QTest::newRow("cancelled") << QString() << false << QString();
        QTest::newRow("unwritable") << QStringLiteral("nowhere/out.pdf") << false
                                    << QStringLiteral("Не удалось записать файл ");
    }
    void thePreviewSavesThePdfTheOperatorPicks() {
        QFETCH(QString, picked);
        QFETCH(bool, saved);
        QFETCH(QString, message);
        const Copy copy({record(QStringLiteral("Касса"), QStringLiteral("10:00:01"),
                                QStringLiteral("Первое"), QStringLiteral("Петров"))});
        const auto table = copy.read();
        const std::vector<int> rows{0};
        TForm8 form;
        form.setObjectWord(QStringLiteral("Терминал"));
        ScriptedPrompt prompt;
        prompt.pickedFile = picked.isEmpty() ? QString() : copy.file(picked);
        StateMark mark;
        QPrinter printer(QPrinter::HighResolution);
        setUpReportPage(printer);
        const auto dialog =
            form.makePreview(printer, heading(), *table, rows, mark, prompt, nullptr);
        QVERIFY(qFuzzyCompare(dialog->findChild<QPrintPreviewWidget*>()->zoomFactor(), 0.8));
        auto* save = dialog->findChild<QAction*>(QStringLiteral("savePdfAction"));
        QVERIFY(save);
        save->trigger();
        QCOMPARE(prompt.pickedIn.size(), 1);
        QVERIFY(prompt.pickedIn[0].endsWith(QStringLiteral(".pdf|PDF (*.pdf)")));
        QCOMPARE(QFile::exists(prompt.pickedFile), saved);
        QCOMPARE(prompt.messages,
                 message.isEmpty() ? QStringList{} : QStringList{message + prompt.pickedFile});
        if (saved) {
            const QString page = pdfPages(prompt.pickedFile).value(0);
            QVERIFY(page.contains(QStringLiteral("Терминал")));
            QVERIFY(!page.contains(objectWord));
        }
    }
};

QTEST_MAIN(TestReportPrinter)
#include "test_report_printer.moc"
