// Cost of the main window's log grid on a large log: the station's real main
// window, shown on the offscreen platform, opens its log table and model, the
// grid goes to its last row and the window is painted. That must not depend on
// the size of the log: 100 ms at most for a million records. No modem is
// needed: a link that answers nothing stands in for it, and the login and the
// modem initialisation are passed over.
//
//   grid_bench [RECORDS [FOLDER]]   (default 1000000 records, a temporary folder)
//
// A log of RECORDS records already in FOLDER (events.dbf) is used again.
#include "AnsweringModem.h"
#include "BenchSupport.h"
#include "RecordingPlayer.h"
#include "ini/IniFile.h"
#include "log/AliasStore.h"
#include "log/LogTable.h"
#include "text/Cp1251.h"
#include "ui/Prompt.h"
#include "windows/StationWindowSet.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tirvon;
using namespace tirvon::station;
using bench::Clock;
using bench::milliseconds;

namespace {

// Runs what the window has posted (its start-up among it) until nothing is left.
void settle() {
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

constexpr double TargetMs = 100;

} // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessTold();
    QApplication app(argc, argv);
    const bench::Arguments arguments(argc, argv);
    const int records = arguments.count(1, 1000000);
    const QString folder = arguments.folder(2) + '/';
    const QString logPath = folder + QStringLiteral("events.dbf");

    try {
        if (!QFileInfo::exists(logPath) ||
            log::LogTable::open(logPath, log::LogTable::Access::ReadOnly)->recordCount() !=
                records) {
            const auto start = Clock::now();
            log::LogTable::create(logPath);
            const auto table = log::LogTable::open(logPath);
            for (int n = 0; n < records; ++n)
                table->append(bench::bigLogRecord(n));
            std::printf("log of %d records written in %.1f s\n", records,
                        milliseconds(Clock::now() - start) / 1000);
        }
    } catch (const log::LogError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const QString aliases = folder + QStringLiteral("aliases.ini");
    log::AliasStore(aliases).add(log::LogAlias, folder);
    ini::IniFile(folder + QStringLiteral("Vave_vev.ini"))
        .writeString("BaseStation", "BASE", "events.dbf");

    bench::SilentPrompt prompt;
    auto* link = new AnsweringModemLink;
    auto* pump = new AnsweringModemPump(*link);
    StationWindowSet windows(std::make_unique<TForm1>(
        folder, prompt, std::unique_ptr<AnsweringModemLink>(link),
        std::unique_ptr<AnsweringModemPump>(pump), std::make_unique<RecordingPlayer>()));
    TForm1& form1 = windows.form1();
    pump->setExchange(&form1.exchange());
    form1.setAliasStorePath(aliases);
    form1.setModalRunner([](QDialog&) {});
    QTableView* grid = form1.ui().DBGrid1;

    // The first start: the window shown, the start-up binding and opening the
    // log, the grid at its end, painted.
    auto start = Clock::now();
    form1.resize(1057, 763);
    form1.show();
    settle();
    grid->scrollToBottom();
    QPixmap painted = form1.grab();
    const double firstMs = milliseconds(Clock::now() - start);
    if (!form1.eventLog().isOpen()) {
        std::fprintf(stderr, "the start-up did not open the log\n");
        return 1;
    }
    form1.timer1().stop();

    // The figure: the shown window opens its log table and model again, the
    // grid goes to the last row and the window is painted.
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        form1.eventLog().close();
        settle();
        start = Clock::now();
        form1.eventLog().open();
        grid->scrollToBottom();
        painted = form1.grab();
        rounds.push_back(milliseconds(Clock::now() - start));
    }
    std::sort(rounds.begin(), rounds.end());
    const double medianMs = rounds[rounds.size() / 2];
    const QModelIndex last = grid->indexAt(QPoint(1, grid->viewport()->height() - 2));
    std::printf("start-up with the log of %d records, window shown and painted: %.1f ms\n",
                grid->model()->rowCount(), firstMs);
    std::printf("last row in view: %d of %d\n", last.row() + 1, grid->model()->rowCount());
    std::printf("grid on %d records, from opening to painted at the last row: %.1f ms "
                "(median of 5, slowest %.1f; target <= %.0f ms: %s)\n",
                grid->model()->rowCount(), medianMs, rounds.back(), TargetMs,
                medianMs <= TargetMs ? "met" : "NOT met");
    return 0;
}
