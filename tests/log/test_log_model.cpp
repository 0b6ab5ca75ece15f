#include "LogSamples.h"
#include "log/LogTable.h"
#include "log/LogTableModel.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::log;
using namespace tirvon::log::samples;

namespace {

// A row of the grid as it should read: date, object, arrival, sending, event.
QStringList shown(const LogRecord& r) {
    return {text::toUnicode(r.date), text::toUnicode(r.bank), text::toUnicode(r.time),
            text::toUnicode(r.timeo), text::toUnicode(r.mail)};
}

QStringList row(const LogTableModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.data(model.index(row, column)).toString();
    return texts;
}

} // namespace

class LogModelTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    std::unique_ptr<LogTable> tableWith(const QList<LogRecord>& records) {
        const QString path = dir_.filePath(QStringLiteral("m%1.dbf").arg(++serial_));
        LogTable::create(path);
        auto table = LogTable::open(path);
        for (const LogRecord& r : records)
            table->append(r);
        return table;
    }

private slots:
    void columnsCarryTheGridTitles() {
        LogTableModel model;
        QCOMPARE(model.columnCount(), 5);
        QStringList titles;
        for (int c = 0; c < model.columnCount(); ++c)
            titles << model.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles,
                 QStringList({"Дата", "Банкомат", "Время прихода", "Время отправки", "Событие"}));
        QSignalSpy changed(&model, &QAbstractItemModel::headerDataChanged);
        model.setBankTitle(QStringLiteral("Объект"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.headerData(LogTableModel::BankColumn, Qt::Horizontal).toString(),
                 QStringLiteral("Объект"));
    }

    void rowsShowTheRecordsInTableOrder() {
        const auto table = tableWith(tricky());
        LogTableModel model;
        QCOMPARE(model.rowCount(), 0);
        model.setTable(table.get());
        QCOMPARE(model.rowCount(), tricky().size());
        for (int i = 0; i < tricky().size(); ++i)
            QCOMPARE(row(model, i), shown(tricky()[i]));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid());
        QVERIFY(!model.data(model.index(tricky().size(), 0)).isValid());
    }

    void appendedRecordsBecomeNewRows() {
        const auto table = tableWith({tricky()[0]});
        LogTableModel model;
        model.setTable(table.get());
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        table->append(tricky()[1]);
        table->append(tricky()[2]);
        model.recordsAppended();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted[0][1].toInt(), 1);
        QCOMPARE(inserted[0][2].toInt(), 2);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(row(model, 2), shown(tricky()[2]));
        model.recordsAppended();
        QCOMPARE(inserted.count(), 1);
    }

    void detachingEmptiesTheModel() {
        const auto table = tableWith(tricky());
        LogTableModel model;
        model.setTable(table.get());
        model.setTable(nullptr);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.index(0, 0)).isValid());
        model.recordsAppended();
        QCOMPARE(model.rowCount(), 0);
    }

    // More rows than the cache holds, read in an order that evicts and refills it.
    void rowsReadBackRightWhateverTheOrder() {
        QList<LogRecord> records;
        for (int i = 0; i < 1500; ++i)
            records << burstRecord(i);
        const auto table = tableWith(records);
        LogTableModel model;
        model.setTable(table.get());
        QCOMPARE(model.rowCount(), 1500);
        for (const int i : {1499, 0, 700, 1498, 1, 1200, 3, 600, 0, 1499})
            QCOMPARE(row(model, i), shown(records[i]));
        for (int i = 0; i < 1500; i += 7)
            QCOMPARE(row(model, i), shown(records[i]));
        for (int i = 1499; i >= 0; i -= 13)
            QCOMPARE(row(model, i), shown(records[i]));
    }

    // A file cut short under an open table: the rows it lost show empty.
    void rowsOfALostRecordShowEmpty() {
        const auto writer = tableWith(tricky());
        const auto table = LogTable::open(writer->path(), LogTable::Access::ReadOnly);
        QFile::resize(writer->path(), 257 + 776 * 2 + 100);
        LogTableModel model;
        model.setTable(table.get());
        QCOMPARE(model.rowCount(), tricky().size());
        QCOMPARE(row(model, 1), shown(tricky()[1]));
        QVERIFY(!model.data(model.index(2, 0)).isValid());
        QVERIFY(!model.data(model.index(4, 4)).isValid());
        // The failed read left nothing behind that passes for the record read
        // before it.
        QCOMPARE(table->record(1), tricky()[1]);
        QVERIFY_THROWS_EXCEPTION(LogError, table->record(2));
        QCOMPARE(row(model, 0), shown(tricky()[0]));
    }
};

QTEST_GUILESS_MAIN(LogModelTest)
#include "test_log_model.moc"
