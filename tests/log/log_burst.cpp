// Appends numbered records to a log table as fast as it can and reports every
// append that returned, one number a line, written out at once. The crash test
// kills it in the middle of the burst.
#include "LogSamples.h"
#include "log/LogTable.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: log_burst TABLE COUNT\n");
        return 2;
    }
    using tirvon::log::LogTable;
    try {
        const auto table = LogTable::open(QString::fromLocal8Bit(argv[1]));
        const int count = std::atoi(argv[2]);
        for (int i = table->recordCount(); i < count; ++i) {
            table->append(tirvon::log::samples::burstRecord(i));
            std::printf("%d\n", i);
            std::fflush(stdout);
        }
    } catch (const tirvon::log::LogError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
