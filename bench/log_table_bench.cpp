// Cost of the log table as it grows: one append at the start of an empty log and
// near the end of RECORDS records (it should stay flat: an append touches the new
// record and the header only, 1.2 times the first at most), opening the grid's model on that table
// and showing its last rows (it should not depend on the table's size), and a copy of 100,000
// records as the archive makes it.
//
//   log_table_bench [RECORDS [FOLDER]]   (default 1000000 records, a temporary folder)
//
// The append figure that counts is at 10000000 records (a table of 7.8 GB:
// mind the free space of FOLDER). A log of at least RECORDS records left in
// FOLDER by an earlier run is used again; it is left there for the next run.
#include "BenchSupport.h"
#include "log/LogTable.h"
#include "log/LogTableModel.h"
#include "text/Cp1251.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tirvon;
using namespace tirvon::log;
using bench::Clock;
using bench::microseconds;

namespace {

// The mean cost of one append, in microseconds, in each window of `window`
// appends while the table grows to count records.
std::vector<double> fill(LogTable& table, int count, int window) {
    std::vector<double> windows;
    Clock::time_point start = Clock::now();
    const int first = table.recordCount();
    for (int n = first; n < count; ++n) {
        table.append(bench::bigLogRecord(n));
        if ((n + 1 - first) % window == 0) {
            const Clock::time_point now = Clock::now();
            windows.push_back(microseconds(now - start) / window);
            start = now;
        }
    }
    return windows;
}

// The median of `count` windows from `first` on: one window that another
// program's burst slowed down does not count.
double median(const std::vector<double>& windows, size_t first, size_t count) {
    std::vector<double> part(windows.begin() + qsizetype(first),
                             windows.begin() + qsizetype(first + count));
    std::nth_element(part.begin(), part.begin() + qsizetype(part.size() / 2), part.end());
    return part[part.size() / 2];
}

constexpr double TargetRatio = 1.2;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bench::Arguments arguments(argc, argv);
    const int records = arguments.count(1, 1000000);
    const QString folder = arguments.folder(2);
    const QString logPath = tablePath(folder, QStringLiteral("BENCHLOG"));
    const QString smallPath = tablePath(folder, QStringLiteral("BENCH100K"));
    const QString copyPath = tablePath(folder, QStringLiteral("AB_05_06_2024"));
    const QString emptyPath = tablePath(folder, QStringLiteral("BENCHNEW"));
    constexpr int window = 10000;

    try {
        bool reused = false;
        if (argc > 2 && QFileInfo::exists(logPath))
            reused = LogTable::open(logPath, LogTable::Access::ReadOnly)->recordCount() >= records;
        if (reused) {
            std::printf("log of %d records in %s taken as it is\n",
                        LogTable::open(logPath, LogTable::Access::ReadOnly)->recordCount(),
                        qPrintable(folder));
        } else {
            LogTable::create(logPath);
            const auto fillStart = Clock::now();
            std::vector<double> windows;
            {
                const auto log = LogTable::open(logPath);
                windows = fill(*log, records, window);
            }
            const double total = microseconds(Clock::now() - fillStart) / 1e6;
            std::printf("append %d records: %.1f s, %.0f MB\n", records, total,
                        QFileInfo(logPath).size() / 1e6);
            const size_t sample = std::min<size_t>(5, windows.size() / 2);
            if (sample > 0)
                std::printf("  while filling, one append: %.2f us in the first %zu x %d records, "
                            "%.2f us in the last (medians)\n",
                            median(windows, 0, sample), sample, window,
                            median(windows, windows.size() - sample, sample));
        }

        // The figure: rounds of appends to a new empty log and to the full one,
        // one after the other, so that both see the same machine (others' load
        // changes over the minutes of the filling).
        {
            const auto full = LogTable::open(logPath);
            const int size = full->recordCount();
            std::vector<double> empty, large;
            for (int round = 0; round < 7; ++round) {
                LogTable::create(emptyPath);
                {
                    const auto fresh = LogTable::open(emptyPath);
                    empty.push_back(fill(*fresh, window, window).front());
                }
                large.push_back(fill(*full, full->recordCount() + window, window).front());
            }
            const double early = median(empty, 0, empty.size());
            const double late = median(large, 0, large.size());
            std::printf(
                "  one append, first %d records of an empty log: %7.2f us (median of %zu)\n",
                window, early, empty.size());
            std::printf("  one append, %d records after record %d:   %7.2f us (median of %zu)\n",
                        window, size, late, large.size());
            std::printf("append at %d records against an empty log: %.2fx (target <= %.1fx: %s)\n",
                        size, late / early, TargetRatio,
                        late / early <= TargetRatio ? "met" : "NOT met");
        }

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
            fill(*small, 100000, window);
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
    for (const QString& path : {smallPath, copyPath, emptyPath})
        QFile::remove(path);
    if (argc > 2)
        std::printf("%s is left for the next run: delete it after\n", qPrintable(logPath));
    return 0;
}
