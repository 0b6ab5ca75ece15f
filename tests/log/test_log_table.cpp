#include "LogSamples.h"
#include "log/LogTable.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace tirvon;
using namespace tirvon::log;
using namespace tirvon::log::samples;

namespace {

quint32 number(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

void setNumber(QByteArray& bytes, int at, int size, quint32 value) {
    for (int i = 0; i < size; ++i, value >>= 8)
        bytes[at + i] = char(value & 0xff);
}

// The field list of a dBASE header as "NAME type size" strings, read by hand.
QStringList describedFields(const QByteArray& file) {
    QStringList fields;
    for (int at = 32; at + 32 <= file.size() && file[at] != 0x0d; at += 32) {
        const QByteArray name = file.mid(at, 11);
        fields << QStringLiteral("%1 %2 %3")
                      .arg(QString::fromLatin1(name.left(name.indexOf('\0'))))
                      .arg(QChar(file[at + 11]))
                      .arg(quint8(file[at + 16]));
    }
    return fields;
}

// A dBASE III file made by hand: the given fields (name, type, size), records
// given as raw bytes after their deletion mark.
QByteArray handMadeTable(const QList<std::tuple<QByteArray, char, int>>& fields,
                         const QList<QByteArray>& records = {}) {
    int recordLength = 1;
    for (const auto& [name, type, size] : fields)
        recordLength += size;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    QByteArray file(32, '\0');
    file[0] = 0x03;
    setNumber(file, 4, 4, quint32(records.size()));
    setNumber(file, 8, 2, quint32(headerLength));
    setNumber(file, 10, 2, quint32(recordLength));
    for (const auto& [name, type, size] : fields) {
        QByteArray d(32, '\0');
        d.replace(0, name.size(), name);
        d[11] = type;
        d[16] = char(size);
        file += d;
    }
    file += char(0x0d);
    for (const QByteArray& r : records)
        file += ' ' + r.leftJustified(recordLength - 1, ' ', true);
    return file + char(0x1a);
}

const QList<std::tuple<QByteArray, char, int>> LogFieldList = {
    {"BANK", 'C', 250}, {"TIME", 'C', 8},  {"TIMEO", 'C', 8},   {"DATE", 'C', 8},
    {"MAIL", 'C', 250}, {"ALARM", 'L', 1}, {"ADMIN", 'C', 250},
};

// The copy made the plain way, one record at a time through the table's reading
// and appending: what the copy in blocks must write, byte for byte.
void copyRecordByRecord(const LogTable& source, const QString& target) {
    LogTable::create(target);
    const auto copy = LogTable::open(target);
    for (int i = 0; i < source.recordCount(); ++i) {
        LogRecord r = source.record(i);
        if (r.time.isEmpty())
            r.time = "No Name";
        for (QByteArray* text : {&r.timeo, &r.date, &r.mail, &r.admin}) {
            if (text->isEmpty())
                *text = "None";
        }
        r.alarm = false;
        copy->append(r);
    }
}

// A table's bytes without the date of its last change, which depends on the day.
QByteArray undated(QByteArray file) {
    if (file.size() >= 4)
        file.replace(1, 3, QByteArray(3, '\0'));
    return file;
}

// Marks records of a table file as deleted (the first byte of the record).
QByteArray withDeleted(QByteArray file, const QList<int>& records) {
    const int header = int(number(file, 8, 2));
    const int length = int(number(file, 10, 2));
    for (const int r : records)
        file[header + r * length] = '*';
    return file;
}

// The largest file this process may write, lowered for one test and restored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

class LogTableTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    QString freshPath() { return dir_.filePath(QStringLiteral("t%1.dbf").arg(++serial_)); }

    QString tableWith(const QList<LogRecord>& records) {
        const QString path = freshPath();
        LogTable::create(path);
        const auto table = LogTable::open(path);
        for (const LogRecord& r : records)
            table->append(r);
        return path;
    }

    // Files a half-done creation or copy would leave behind.
    QStringList leftovers() const {
        QStringList hidden = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
        hidden.removeIf([](const QString& name) { return !name.startsWith(QLatin1Char('.')); });
        return hidden;
    }

private slots:
    void newTableHasTheLogFieldsAndCodePage1251() {
        const QString path = freshPath();
        LogTable::create(path);
        const QByteArray file = contentOf(path);
        QVERIFY(file.size() >= 257);
        QCOMPARE(quint8(file[0]), quint8(0x03));
        QCOMPARE(number(file, 4, 4), 0u);
        QCOMPARE(number(file, 8, 2), 32u + 7 * 32 + 1);
        QCOMPARE(number(file, 10, 2), 1u + 250 + 8 + 8 + 8 + 250 + 1 + 250);
        QCOMPARE(quint8(file[29]), quint8(201));
        QCOMPARE(describedFields(file),
                 QStringList({"BANK C 250", "TIME C 8", "TIMEO C 8", "DATE C 8", "MAIL C 250",
                              "ALARM L 1", "ADMIN C 250"}));
        QCOMPARE(LogTable::open(path)->recordCount(), 0);
    }

    void everyFieldRoundTripsExactly() {
        const QList<LogRecord> records = tricky();
        const QString path = freshPath();
        LogTable::create(path);
        {
            const auto table = LogTable::open(path);
            for (int i = 0; i < records.size(); ++i) {
                table->append(records[i]);
                QCOMPARE(table->recordCount(), i + 1);
                QCOMPARE(table->record(i), records[i]);
            }
        }
        const auto again = LogTable::open(path, LogTable::Access::ReadOnly);
        QCOMPARE(again->recordCount(), int(records.size()));
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(again->record(i), records[i]);
        // The file holds what a dBASE reader expects: header, records, end mark.
        const QByteArray file = contentOf(path);
        QCOMPARE(number(file, 4, 4), quint32(records.size()));
        QCOMPARE(file.size(), 257 + 776 * records.size() + 1);
        QCOMPARE(file.back(), char(0x1a));
        QCOMPARE(file.mid(257, 1 + 250), ' ' + records[0].bank.leftJustified(250, ' '));
    }

    void textsAreCutToTheirFieldsInBytes() {
        const QByteArray russian300 = text::cp("Щ").repeated(150) + text::cp("ю").repeated(150);
        QCOMPARE(russian300.size(), 300);
        LogRecord record{russian300, "12:34:56:78", "01:02:03 extra", "01.02.2024",
                         russian300, true,          russian300};
        const QString path = tableWith({record, tricky()[0]});
        const auto table = LogTable::open(path, LogTable::Access::ReadOnly);
        const LogRecord stored = table->record(0);
        QCOMPARE(stored.bank, russian300.left(250));
        QCOMPARE(stored.mail, text::cp("Щ").repeated(150) + text::cp("ю").repeated(100));
        QCOMPARE(stored.admin, russian300.left(250));
        QCOMPARE(stored.time, QByteArray("12:34:56"));
        QCOMPARE(stored.timeo, QByteArray("01:02:03"));
        QCOMPARE(stored.date, QByteArray("01.02.20"));
        QVERIFY(stored.alarm);
        // Nothing spilled into the next record.
        QCOMPARE(table->record(1), tricky()[0]);
    }

    void alarmReadsTheLogicalValuesOfOtherWriters() {
        QList<QByteArray> rows;
        const QByteArray marks = "TtYyFfNn? ";
        for (const char mark : marks)
            rows << QByteArray(250 + 8 + 8 + 8 + 250, ' ') + mark + QByteArray(250, ' ');
        const QString path = freshPath();
        QVERIFY(putContent(path, handMadeTable(LogFieldList, rows)));
        const auto table = LogTable::open(path, LogTable::Access::ReadOnly);
        QString seen;
        for (int i = 0; i < table->recordCount(); ++i)
            seen += table->record(i).alarm ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(seen, QStringLiteral("1111000000"));
    }

    void tablesWithOtherFieldOrderOrExtraFieldsAreReadAndWritten() {
        const QString path = freshPath();
        QVERIFY(putContent(
            path, handMadeTable({{"ADMIN", 'C', 20},
                                 {"EXTRA", 'N', 5},
                                 {"DATE", 'C', 8},
                                 {"bank", 'C', 30},
                                 {"ALARM", 'L', 1},
                                 {"MAIL", 'C', 40},
                                 {"TIMEO", 'C', 8},
                                 {"TIME", 'C', 8}},
                                {"oper" + QByteArray(16, ' ') + "   42" + "01.01.24" + "  lead"})));
        const auto table = LogTable::open(path);
        const LogRecord first = table->record(0);
        QCOMPARE(first.admin, QByteArray("oper"));
        QCOMPARE(first.date, QByteArray("01.01.24"));
        QCOMPARE(first.bank, QByteArray("  lead"));
        LogRecord next = tricky()[0];
        table->append(next);
        next.admin = next.admin.left(20);
        next.mail = next.mail.left(40);
        QCOMPARE(table->record(1), next);
        QCOMPARE(LogTable::open(path, LogTable::Access::ReadOnly)->record(1), next);
    }

    void tablePathAddsTheExtensionOnlyWhenMissing() {
        QCOMPARE(tablePath("/opt/x/", "LOG"), QStringLiteral("/opt/x/LOG.dbf"));
        QCOMPARE(tablePath("/opt/x", "AB_01_02_2024"), QStringLiteral("/opt/x/AB_01_02_2024.dbf"));
        QCOMPARE(tablePath("/opt/x/", "base.DBF"), QStringLiteral("/opt/x/base.DBF"));
        QCOMPARE(tablePath("/opt/x.d/", "log"), QStringLiteral("/opt/x.d/log.dbf"));
    }

    void createReplacesATableThatIsNotInUse() {
        const QString path = tableWith(tricky());
        LogTable::create(path);
        QCOMPARE(LogTable::open(path)->recordCount(), 0);
        QVERIFY(leftovers().isEmpty());
    }

    void anOpenLogIsLockedAgainstWritersAndReplacement() {
        const QString path = tableWith({tricky()[0]});
        {
            const auto station = LogTable::open(path);
            for (const auto& attempt : std::initializer_list<std::function<void()>>{
                     [&] { LogTable::open(path); }, [&] { LogTable::create(path); },
                     [&] {
                         LogTable::remove(path);
                     }}) {
                try {
                    attempt();
                    QFAIL("a table in use was opened, replaced or deleted");
                } catch (const LogError& e) {
                    QVERIFY2(e.message().contains(path) && e.message().contains("in use"),
                             qPrintable(e.message()));
                }
            }
            // Readers are welcome while the station writes.
            const auto reader = LogTable::open(path, LogTable::Access::ReadOnly);
            QCOMPARE(reader->record(0), tricky()[0]);
            station->append(tricky()[1]);
            QCOMPARE(station->recordCount(), 2);
        }
        QCOMPARE(LogTable::open(path)->recordCount(), 2);
        QVERIFY(leftovers().isEmpty());
        LogTable::remove(path);
        QVERIFY(!QFile::exists(path));
        QVERIFY_THROWS_EXCEPTION(LogError, LogTable::remove(path));
        QVERIFY_THROWS_EXCEPTION(LogError, LogTable::open(path));
        QVERIFY_THROWS_EXCEPTION(LogError, LogTable::open(path, LogTable::Access::ReadOnly));
    }

    void readOnlyTablesRefuseAppendsAndRangeIsChecked() {
        const QString path = tableWith({tricky()[0]});
        const auto table = LogTable::open(path, LogTable::Access::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(LogError, table->append(tricky()[1]));
        QVERIFY_THROWS_EXCEPTION(LogError, table->record(-1));
        QVERIFY_THROWS_EXCEPTION(LogError, table->record(1));
        QByteArray raw(2 * 776, '\0');
        QVERIFY_THROWS_EXCEPTION(LogError, table->appendRecords(raw.constData(), 1));
        QVERIFY_THROWS_EXCEPTION(LogError, table->readRecords(0, 2, raw.data()));
        QVERIFY_THROWS_EXCEPTION(LogError, table->readRecords(-1, 1, raw.data()));
        table->readRecords(0, 1, raw.data());
        QCOMPARE(raw.left(1 + 250), ' ' + tricky()[0].bank.leftJustified(250, ' '));
        QCOMPARE(table->recordCount(), 1);
    }

    void createInAMissingFolderFails() {
        QVERIFY_THROWS_EXCEPTION(LogError, LogTable::create(dir_.filePath("no/such/t.dbf")));
    }

    void damagedFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray good = handMadeTable(LogFieldList, {"x", "y"});
        auto changed = [&](int at, int size, quint32 value) {
            QByteArray bytes = good;
            setNumber(bytes, at, size, value);
            return bytes;
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("ten bytes") << good.left(10);
        QTest::newRow("header cut") << good.left(100);
        QTest::newRow("text file") << QByteArray("BANK;TIME;DATE\n").repeated(40);
        QTest::newRow("foreign version") << changed(0, 1, 0x30);
        QTest::newRow("header past the end") << changed(8, 2, 4000);
        QTest::newRow("header without a field") << changed(8, 2, 33);
        QTest::newRow("fields longer than records") << changed(10, 2, 700);
        QTest::newRow("more records counted than held") << changed(4, 4, 3);
        QTest::newRow("count past int") << changed(4, 4, 0x80000001u);
        QTest::newRow("field list without end") << changed(32 + 7 * 32, 1, 'X');
        QTest::newRow("zero-size field") << changed(32 + 16, 1, 0);
        QTest::newRow("early end of field list") << changed(64, 1, 0x0d);
        QTest::newRow("no ADMIN field") << handMadeTable(LogFieldList.mid(0, 6), {"x"});
        auto textAlarm = LogFieldList;
        textAlarm[5] = {"ALARM", 'C', 1};
        QTest::newRow("ALARM as text") << handMadeTable(textAlarm);
        QByteArray garbage(4096, '\0');
        QRandomGenerator random(1251);
        for (char& c : garbage)
            c = char(random.bounded(256));
        garbage[0] = 0x03;
        QTest::newRow("garbage after a version byte") << garbage;
    }

    void damagedFilesAreRefused() {
        QFETCH(QByteArray, content);
        const QString path = freshPath();
        QVERIFY(putContent(path, content));
        for (const auto access : {LogTable::Access::ReadOnly, LogTable::Access::Append}) {
            try {
                LogTable::open(path, access);
                QFAIL("a damaged table was opened");
            } catch (const LogError& e) {
                QVERIFY2(e.message().contains(path), qPrintable(e.message()));
            }
        }
        QCOMPARE(contentOf(path), content);
    }

    // Cut at every length, a table is refused or reads the records it holds.
    void everyCutOfATableIsRefusedOrReadsWhatItHolds() {
        const QList<LogRecord> records = tricky().mid(0, 3);
        const QByteArray whole = contentOf(tableWith(records));
        const QString path = freshPath();
        int opened = 0;
        for (qsizetype length = 0; length <= whole.size(); ++length) {
            QByteArray cut = whole.left(length);
            // A count that matches the records left makes the cut readable.
            if (length >= 32)
                setNumber(cut, 4, 4, quint32(qMax<qsizetype>(0, length - 257) / 776));
            QVERIFY(putContent(path, cut));
            try {
                const auto table = LogTable::open(path, LogTable::Access::ReadOnly);
                for (int i = 0; i < table->recordCount(); ++i)
                    QCOMPARE(table->record(i), records[i]);
                ++opened;
            } catch (const LogError&) {
                QVERIFY(length < 257);
            }
        }
        QCOMPARE(opened, int(whole.size()) - 257 + 1);
    }

    // Any value in any header byte: refused, or read within the file. The bytes
    // that only carry a date or are reserved change nothing.
    void everyHeaderByteMayHoldAnything() {
        const QList<LogRecord> records = tricky().mid(0, 2);
        const QByteArray whole = contentOf(tableWith(records));
        const QString path = freshPath();
        for (int at = 0; at < 257; ++at) {
            const bool irrelevant = (at >= 1 && at <= 3) || (at >= 12 && at <= 31);
            for (const quint8 value : {0x00, 0x01, 0x0d, 0x20, 0x7f, 0x80, 0xfe, 0xff}) {
                QByteArray bytes = whole;
                bytes[at] = char(value);
                QVERIFY(putContent(path, bytes));
                try {
                    const auto table = LogTable::open(path, LogTable::Access::ReadOnly);
                    // Every record has its deletion mark and at least one byte.
                    QVERIFY(qint64(table->recordCount()) * 2 <= bytes.size());
                    for (int i = 0; i < table->recordCount(); ++i) {
                        const LogRecord r = table->record(i);
                        if (irrelevant)
                            QCOMPARE(r, records[i]);
                    }
                    if (irrelevant)
                        QCOMPARE(table->recordCount(), 2);
                } catch (const LogError& e) {
                    QVERIFY2(!irrelevant, qPrintable(e.message()));
                }
            }
        }
    }

    void aRefusedWriteLeavesTheTableCountingWhatWasWritten_data() {
        QTest::addColumn<int>("room");
        QTest::addColumn<bool>("inBlock");
        QTest::newRow("part of a record") << 300 << false;
        QTest::newRow("a record without the end mark") << 776 - 1 << false;
        QTest::newRow("part of a block") << 776 + 300 << true;
        QTest::newRow("a block without the end mark") << 2 * 776 - 1 << true;
    }

    // A failed append is not counted, by the table or by its header; a record
    // that is counted was reported as appended.
    void aRefusedWriteLeavesTheTableCountingWhatWasWritten() {
        QFETCH(int, room);
        QFETCH(bool, inBlock);
        const QString path = tableWith({tricky()[0], tricky()[1]});
        const qint64 before = QFileInfo(path).size();
        const auto table = LogTable::open(path);
        // Two records as stored, for the append of a block.
        QByteArray two(2 * 776, '\0');
        table->readRecords(0, 2, two.data());
        const auto appendOnce = [&] {
            if (inBlock)
                table->appendRecords(two.constData(), 2);
            else
                table->append(tricky()[2]);
        };
        {
            FileSizeLimit limit(rlim_t(before + room));
            QVERIFY_THROWS_EXCEPTION(LogError, appendOnce());
            QCOMPARE(table->recordCount(), 2);
            QCOMPARE(number(contentOf(path), 4, 4), 2u);
            QVERIFY_THROWS_EXCEPTION(LogError, appendOnce());
            QCOMPARE(number(contentOf(path), 4, 4), 2u);
        }
        QCOMPARE(LogTable::open(path, LogTable::Access::ReadOnly)->recordCount(), 2);
        QCOMPARE(table->record(1), tricky()[1]);
        // Space again: the table goes on where it stood.
        table->append(tricky()[3]);
        table->append(tricky()[4]);
        const auto reader = LogTable::open(path, LogTable::Access::ReadOnly);
        QCOMPARE(reader->recordCount(), 4);
        QCOMPARE(reader->record(2), tricky()[3]);
        QCOMPARE(reader->record(3), tricky()[4]);
    }

    void theCopyInBlocksWritesWhatTheCopyRecordByRecordWrote_data() {
        QTest::addColumn<QByteArray>("log");
        const QByteArray blank(250 + 8 + 8 + 8 + 250, ' ');
        // Trailing NULs count as blanks, inner ones and leading blanks stay;
        // fields full to their last byte; blanks only; a set mark.
        const QList<QByteArray> raw = {
            QByteArray(250, '\0') + QByteArray(8, '\0') + QByteArray("1\0 \0", 4) +
                QByteArray(4, '\0') + QByteArray("  \0", 3) + QByteArray(5, ' ') +
                QByteArray("a\0b", 3) + QByteArray(247, '\0') + 'T' + QByteArray(250, '\0'),
            QByteArray(250, 'W') + "12345678" + "87654321" + "31.12.99" + QByteArray(250, 'm') +
                'F' + QByteArray(250, 'z'),
            blank + 'T' + QByteArray(250, ' '),
            blank + '?' + " x",
        };
        QTest::newRow("records of every kind, two deleted")
            << withDeleted(handMadeTable(LogFieldList, raw), {0, 2});
        QByteArray station;
        {
            const QString path = freshPath();
            LogTable::create(path);
            const auto table = LogTable::open(path);
            for (const LogRecord& r : tricky())
                table->append(r);
            for (int i = 0; table->recordCount() < 2 * 4096 + 3; ++i)
                table->append(burstRecord(i));
            table->append({});
            station = contentOf(path);
        }
        QTest::newRow("a station's log over three blocks, deleted in each")
            << withDeleted(station, {0, 4095, 4096, 8195});
        // Another order, a field the log does not use, fields narrower and wider
        // than the copy's: texts are cut to the copy's fields.
        QTest::newRow("a table of another layout") << withDeleted(
            handMadeTable(
                {{"ADMIN", 'C', 20},
                 {"EXTRA", 'N', 5},
                 {"DATE", 'C', 10},
                 {"bank", 'C', 254},
                 {"ALARM", 'L', 1},
                 {"MAIL", 'C', 3},
                 {"TIMEO", 'C', 8},
                 {"TIME", 'C', 12}},
                {"oper" + QByteArray(16, ' ') + "   42" + "01.01.2024" + QByteArray(254, 'b') +
                     "T" + "mmm" + "        " + QByteArray("12:00:00\0\0\0\0", 12),
                 QByteArray(20, ' ') + "99999" + "          " + QByteArray(251, ' ') + "abc" + "Y",
                 {}}),
            {1});
        QTest::newRow("an empty log") << handMadeTable(LogFieldList);
    }

    void theCopyInBlocksWritesWhatTheCopyRecordByRecordWrote() {
        QFETCH(QByteArray, log);
        const QString source = freshPath();
        QVERIFY(putContent(source, log));
        const auto table = LogTable::open(source, LogTable::Access::ReadOnly);
        const QString expected = freshPath();
        copyRecordByRecord(*table, expected);
        const QString target = freshPath();
        copyTable(*table, target);
        const QByteArray copy = contentOf(target);
        QCOMPARE(copy.size(), contentOf(expected).size());
        QCOMPARE(undated(copy), undated(contentOf(expected)));
        QCOMPARE(LogTable::open(target, LogTable::Access::ReadOnly)->recordCount(),
                 table->recordCount());
        QVERIFY(leftovers().isEmpty());
    }

    void aCopyTheDiskRefusesSaysSoAndKeepsTheOldCopy_data() {
        QTest::addColumn<int>("room");
        QTest::newRow("in the first block") << 100000;
        QTest::newRow("in a later block") << 4096 * 776 + 100000;
        QTest::newRow("at the end mark") << 257 + 5000 * 776;
    }

    void aCopyTheDiskRefusesSaysSoAndKeepsTheOldCopy() {
        QFETCH(int, room);
        const QString source = freshPath();
        LogTable::create(source);
        {
            const auto table = LogTable::open(source);
            for (int i = 0; i < 5000; ++i)
                table->append(burstRecord(i));
        }
        const QString target = tableWith({tricky()[0]});
        const QByteArray before = contentOf(target);
        {
            FileSizeLimit limit{rlim_t(room)};
            QVERIFY_THROWS_EXCEPTION(
                LogError, copyTable(*LogTable::open(source, LogTable::Access::ReadOnly), target));
        }
        QCOMPARE(contentOf(target), before);
        QVERIFY(leftovers().isEmpty());
        copyTable(*LogTable::open(source, LogTable::Access::ReadOnly), target);
        QCOMPARE(LogTable::open(target, LogTable::Access::ReadOnly)->record(4999),
                 burstRecord(4999));
    }

    void aCopyFillsEmptyFieldsAndClearsTheMark() {
        LogRecord empty;
        empty.alarm = true;
        LogRecord full = tricky()[0];
        full.alarm = true;
        const QString source = tableWith({empty, full, tricky()[1]});
        const QString target = dir_.filePath("statistica.dbf");
        copyTable(*LogTable::open(source, LogTable::Access::ReadOnly), target);
        const auto copy = LogTable::open(target, LogTable::Access::ReadOnly);
        QCOMPARE(copy->recordCount(), 3);
        QCOMPARE(copy->record(0),
                 (LogRecord{"", "No Name", "None", "None", "None", false, "None"}));
        full.alarm = false;
        QCOMPARE(copy->record(1), full);
        QCOMPARE(copy->record(2), tricky()[1]);
        QCOMPARE(describedFields(contentOf(target)), describedFields(contentOf(source)));
        QCOMPARE(quint8(contentOf(target)[29]), quint8(201));
    }

    void aSecondArchiveOfTheDayReplacesTheFirst() {
        const QString source = tableWith({tricky()[0]});
        const QString archive = dir_.filePath("AB_05_06_2024.dbf");
        const auto station = LogTable::open(source);
        copyTable(*station, archive);
        QCOMPARE(LogTable::open(archive)->recordCount(), 1);
        station->append(tricky()[1]);
        station->append(tricky()[2]);
        copyTable(*station, archive);
        const auto copy = LogTable::open(archive, LogTable::Access::ReadOnly);
        QCOMPARE(copy->recordCount(), 3);
        QCOMPARE(copy->record(2), tricky()[2]);
        QCOMPARE(station->recordCount(), 3);
        QVERIFY(leftovers().isEmpty());
    }

    void aCopyOfAnEmptyLogIsAnEmptyTable() {
        const QString target = dir_.filePath("empty-copy.dbf");
        copyTable(*LogTable::open(tableWith({})), target);
        QCOMPARE(LogTable::open(target)->recordCount(), 0);
    }

    void aCopyOntoATableInUseChangesNothing() {
        const QString source = tableWith({tricky()[0], tricky()[1]});
        const QString target = tableWith({tricky()[2]});
        const QByteArray before = contentOf(target);
        const auto busy = LogTable::open(target);
        QVERIFY_THROWS_EXCEPTION(
            LogError, copyTable(*LogTable::open(source, LogTable::Access::ReadOnly), target));
        QCOMPARE(contentOf(target), before);
        QVERIFY(leftovers().isEmpty());
    }
};

QTEST_GUILESS_MAIN(LogTableTest)
#include "test_log_table.moc"
