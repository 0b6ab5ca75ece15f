// The log tables as other programs see them: an independent dBASE reader, and
// a writer killed in the middle of its work.
#include "IndependentDbfReader.h"
#include "LogSamples.h"
#include "log/LogTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::log;
using namespace tirvon::log::samples;

class LogInteropTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    IndependentDbfReader reader_{QStringLiteral(DBF_READER)};

    // What the reader script makes of a table.
    QJsonObject independentRead(const QString& path) { return reader_.read(path); }

    static QJsonArray asJson(const LogRecord& r) {
        auto s = [](const QByteArray& bytes) {
            return QJsonValue(text::toUnicode(bytes));
        };
        return {s(r.bank), s(r.time), s(r.timeo), s(r.date), s(r.mail), r.alarm, s(r.admin)};
    }

private slots:
    void anIndependentReaderSeesEveryField() {
        if (!reader_.available())
            QSKIP("python3 with dbfread is not installed (scripts/test installs it)");
        const QString path = dir_.filePath(QStringLiteral("LOG.dbf"));
        LogTable::create(path);
        QList<LogRecord> records = tricky();
        LogRecord cut = tricky()[0];
        cut.mail = text::cp("Ы").repeated(300);
        records << cut;
        {
            const auto table = LogTable::open(path);
            for (const LogRecord& r : records)
                table->append(r);
        }
        records.last().mail = text::cp("Ы").repeated(250);

        const QJsonObject read = independentRead(path);
        QCOMPARE(read.value("language_driver").toInt(), 201);
        QCOMPARE(read.value("record_count").toInt(), records.size());
        const QJsonArray fields = read.value("fields").toArray();
        QCOMPARE(QJsonDocument(fields).toJson(QJsonDocument::Compact),
                 QByteArray(R"([["BANK","C",250],["TIME","C",8],["TIMEO","C",8],["DATE","C",8],)"
                            R"(["MAIL","C",250],["ALARM","L",1],["ADMIN","C",250]])"));
        const QJsonArray rows = read.value("records").toArray();
        QCOMPARE(rows.size(), records.size());
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(rows[i].toArray(), asJson(records[i]));
    }

    // Readers of a live log (a copy, a report) open it between two appends of
    // the station or in the middle of one.
    void readersOpenTheLogWhileItIsWritten() {
        const QString path = dir_.filePath(QStringLiteral("live.dbf"));
        LogTable::create(path);
        QProcess writer;
        writer.start(QStringLiteral(LOG_BURST), {path, QStringLiteral("100000000")});
        QVERIFY(writer.waitForReadyRead(60000));
        int last = 0;
        for (int round = 0; round < 300; ++round) {
            writer.readAllStandardOutput();
            const auto reader = LogTable::open(path, LogTable::Access::ReadOnly);
            QVERIFY(reader->recordCount() >= last);
            last = reader->recordCount();
            QCOMPARE(reader->record(last - 1), burstRecord(last - 1));
        }
        QCOMPARE(writer.state(), QProcess::Running);
        writer.kill();
        QVERIFY(writer.waitForFinished(60000));
    }

    void aKilledWriterLosesNoReturnedAppend() {
        const QString path = dir_.filePath(QStringLiteral("crash.dbf"));
        LogTable::create(path);
        QProcess writer;
        writer.start(QStringLiteral(LOG_BURST), {path, QStringLiteral("100000000")});
        QVERIFY(writer.waitForStarted());
        QByteArray reported;
        while (reported.count('\n') < 500) {
            QVERIFY2(writer.waitForReadyRead(60000), writer.readAllStandardError().constData());
            reported += writer.readAllStandardOutput();
        }
        writer.kill();
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        reported += writer.readAllStandardOutput();
        const QList<QByteArray> lines = reported.trimmed().split('\n');
        const int returned = lines.last().toInt() + 1;
        QCOMPARE(lines.first(), QByteArray("0"));
        QCOMPARE(lines.size(), returned);

        int held = 0;
        {
            const auto table = LogTable::open(path);
            held = table->recordCount();
            QVERIFY2(held >= returned,
                     qPrintable(QStringLiteral("%1 of %2").arg(held).arg(returned)));
            QVERIFY(held <= returned + 1);
            for (int i = 0; i < held; ++i)
                QCOMPARE(table->record(i), burstRecord(i));
            // The station starts again and logs on after the last record.
            table->append(burstRecord(held));
        }
        const auto again = LogTable::open(path, LogTable::Access::ReadOnly);
        QCOMPARE(again->recordCount(), held + 1);
        QCOMPARE(again->record(held), burstRecord(held));

        if (!reader_.available())
            QSKIP("python3 with dbfread is not installed (scripts/test installs it)");
        const QJsonArray rows = independentRead(path).value("records").toArray();
        QCOMPARE(rows.size(), held + 1);
        for (int i = 0; i <= held; ++i)
            QCOMPARE(rows[i].toArray(), asJson(burstRecord(i)));
    }
};

QTEST_GUILESS_MAIN(LogInteropTest)
#include "test_log_interop.moc"
