// Cost of the log table as it grows: one append near the start and near the end
// of a million records (it should stay flat: an append touches the new record
// and the header only), opening the grid's model on that table and showing its
// last rows (it should not depend on the table's size), and a copy of 100,000
// records as the archive makes it.
//
//   log_table_bench [RECORDS [FOLDER]]   (default 1000000 records, a temporary folder)
#include "log/LogTable.h"
#include "log/LogTableModel.h"
#include "text/Cp1251.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace tirvon;
using namespace tirvon::log;
using Clock = std::chrono::steady_clock;

namespace {

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

LogRecord event(int n) {
    return {text::cp("Банкомат №") + QByteArray::number(n % 99 + 1),
            "12:00:01",
            "11:59:00",
            "05.06.24",
            text::cp("Тревога!!! Дверь ОТКРЫТА, событие ") + QByteArray::number(n),
            false,
            text::cp("Иванов И.И.")};
}

// Appends up to count records; the mean cost of one append in each window of
// `window` appends starting at the given record numbers.
void fill(LogTable& table, int count, int window, int lateStart, double* early, double* late) {
    Clock::time_point start;
    for (int n = table.recordCount(); n < count; ++n) {
        if (n == 0 || n == lateStart)
            start = Clock::now();
        table.append(event(n));
        if (n == window - 1 && early)
            *early = microseconds(Clock::now() - start) / window;
        if (n == lateStart + window - 1 && late)
            *late = microseconds(Clock::now() - start) / window;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir temp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    const QString logPath = tablePath(folder, QStringLiteral("BENCHLOG"));
    const QString smallPath = tablePath(folder, QStringLiteral("BENCH100K"));
    const QString copyPath = tablePath(folder, QStringLiteral("AB_05_06_2024"));
    constexpr int window = 10000;

    try {
        LogTable::create(logPath);
        double early = 0, late = 0;
        const auto fillStart = Clock::now();
        {
            const auto log = LogTable::open(logPath);
            fill(*log, records, window, records - window, &early, &late);
        }
        const double total = microseconds(Clock::now() - fillStart) / 1e6;
        std::printf("append %d records: %.1f s, %.0f MB\n", records, total,
                    QFileInfo(logPath).size() / 1e6);
        std::printf("  one append, records 1-%d:       %7.2f us\n", window, early);
        std::printf("  one append, last %d records:   %7.2f us  (%.2fx the start)\n", window, late,
                    late / early);

        const auto openStart = Clock::now();
        const auto log = LogTable::open(logPath, LogTable::Access::ReadOnly);
        LogTableModel model;
        model.setTable(log.get());
        int characters = 0;
        for (int row = model.rowCount() - 50; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column)
                characters += int(model.data(model.index(row, column)).toString().size());
        }
        const double openMs = microseconds(Clock::now() - openStart) / 1000;
        std::printf("open the model on %d records and fetch its last 50 rows: %.2f ms (%d chars)\n",
                    model.rowCount(), openMs, characters);

        LogTable::create(smallPath);
        {
            const auto small = LogTable::open(smallPath);
            fill(*small, 100000, 0, -1, nullptr, nullptr);
        }
        const auto small = LogTable::open(smallPath, LogTable::Access::ReadOnly);
        const auto copyStart = Clock::now();
        copyTable(*small, copyPath);
        const double copySeconds = microseconds(Clock::now() - copyStart) / 1e6;
        std::printf("copyTable of %d records: %.2f s (%.2f us a record)\n", small->recordCount(),
                    copySeconds, copySeconds * 1e6 / small->recordCount());
    } catch (const LogError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
