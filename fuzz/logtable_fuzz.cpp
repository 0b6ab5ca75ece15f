// A log table file on arbitrary bytes: a table copied from elsewhere, cut short
// or damaged may hold anything. Whatever it holds, opening it either fails with
// LogError or gives records that lie inside the file, the grid's model shows
// them, and a record appended to it reads back as written.
#include "log/LogTable.h"
#include "log/LogTableModel.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using tirvon::log::LogError;
using tirvon::log::LogRecord;
using tirvon::log::LogTable;
using tirvon::log::LogTableModel;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

const QString& tableFile() {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.dbf"));
    return path;
}

// A field of a table written by another program holds at most 255 bytes.
void checkRecord(const LogRecord& r) {
    for (const QByteArray* text : {&r.bank, &r.time, &r.timeo, &r.date, &r.mail, &r.admin})
        check(text->size() <= 255 && !text->endsWith(' '));
}

void readEverything(const LogTable& table, qint64 fileSize) {
    check(table.recordCount() >= 0 && table.recordCount() <= fileSize / 2);
    for (int i = 0; i < table.recordCount(); ++i)
        checkRecord(table.record(i));
    LogTableModel model;
    model.setTable(&table);
    check(model.rowCount() == table.recordCount());
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            model.data(model.index(row, column));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = tableFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        readEverything(*LogTable::open(path, LogTable::Access::ReadOnly), qint64(size));
    } catch (const LogError&) {
        return 0;
    }

    // The table opened: it takes a record in whatever layout it has.
    const LogRecord written{"BANK text", "12:00:01", "11:59:00",  "05.06.24",
                            "MAIL text", true,       "ADMIN text"};
    const auto table = LogTable::open(path);
    const int before = table->recordCount();
    table->append(written);
    check(table->recordCount() == before + 1);
    const LogRecord read = table->record(before);
    check(read.alarm);
    check(written.bank.startsWith(read.bank) && written.time.startsWith(read.time) &&
          written.timeo.startsWith(read.timeo) && written.date.startsWith(read.date) &&
          written.mail.startsWith(read.mail) && written.admin.startsWith(read.admin));
    const auto again = LogTable::open(path, LogTable::Access::ReadOnly);
    check(again->recordCount() == before + 1 && again->record(before) == read);
    return 0;
}
