// How long the station takes to handle a full listing, set against the time the
// listing takes on the wire at 19200 baud: 30 messages of 5 report lines each,
// handled by the real main window (log table, configuration file, object list,
// control panel) with the modem's answers given at once, so that only the
// station's own work is timed.
#include "AnsweringModem.h"
#include "BenchSupport.h"
#include "RecordingPlayer.h"
#include "log/AliasStore.h"
#include "log/LogTable.h"
#include "modem/EventPump.h"
#include "serial/ModemLink.h"
#include "text/Cp1251.h"
#include "ui/Prompt.h"
#include "windows/StationWindowSet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <utility>

using namespace tirvon;
using namespace tirvon::station;

namespace {

constexpr int Messages = 30;
constexpr int BaudRate = 19200;
constexpr double BitsPerByte = 10.0; // start, 8 data bits, stop

QByteArray phoneOf(int n) {
    return "7916000" + QByteArray::number(1000 + n);
}

QByteArray listing() {
    QByteArray entries;
    for (int n = 1; n <= Messages; ++n) {
        entries += "+CMGL: " + QByteArray::number(n) + ",\"REC UNREAD\",\"+" + phoneOf(n) +
                   "\",,\"26/12/09,12:36:00+12\"\r\n";
        entries += n % 3 == 0 ? "12:32\nALARM\nIN1 OPEN\nIN2 OPEN\nIN3 OPEN\r\n"
                              : "12:32\nDISARM T:0A1B\nIN1 OPEN\nIN2 CLOSE\nPOWER OK\r\n";
    }
    return "at+cmgl=all\r\r\n" + entries + "\r\nOK\r\n";
}

// A modem that answers at once: the listing to a listing, OK to the rest; the
// bytes of both ways are counted while asked to.
struct InstantModem {
    QByteArray store;
    qint64 wireBytes = 0;
    bool counting = false;

    QByteArray answer(const QByteArray& bytes) {
        QByteArray command = bytes;
        command.chop(2);
        QByteArray reply = command + "\r\r\nOK\r\n";
        if (command == "at+cmgl=all")
            reply = std::exchange(store, "at+cmgl=all\r\r\nOK\r\n");
        if (counting)
            wireBytes += bytes.size() + reply.size();
        return reply;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString programDir = dir.path() + '/';
    QByteArray ini =
        "[BaseStation]\r\nUSER1=op::pw:::\r\nBASE=log.dbf\r\nIN1=" + text::cp("Дверь") + "\r\n";
    for (int n = 1; n <= 99; ++n) {
        ini += "[Bank" + QByteArray::number(n) + "]\r\nName=" + text::cp("Банкомат ") +
               QByteArray::number(n) + "\r\nPhone=" + phoneOf(n) + "\r\nPass=4071\r\n";
        for (int k = 4; k < 40; ++k)
            ini += "Key" + QByteArray::number(k) + "=value\r\n";
    }
    QFile f(programDir + QStringLiteral("Vave_vev.ini"));
    f.open(QIODevice::WriteOnly);
    f.write(ini);
    f.close();
    const QString aliases = dir.filePath(QStringLiteral("config/aliases.ini"));
    log::AliasStore(aliases).add(log::LogAlias, programDir);
    log::LogTable::create(programDir + QStringLiteral("log.dbf"));

    bench::SilentPrompt prompt;
    InstantModem modem;
    auto* link =
        new AnsweringModemLink([&modem](const QByteArray& bytes) { return modem.answer(bytes); });
    auto* pump = new AnsweringModemPump(*link);
    StationWindowSet windows(std::make_unique<TForm1>(
        programDir, prompt, std::unique_ptr<AnsweringModemLink>(link),
        std::unique_ptr<AnsweringModemPump>(pump), std::make_unique<RecordingPlayer>()));
    TForm1& form1 = windows.form1();
    form1.setAliasStorePath(aliases);
    form1.setModalRunner([&windows](QDialog& dialog) {
        if (&dialog == &windows.form3()) {
            windows.form3().ui().ComboBox1->setEditText(QStringLiteral("op"));
            windows.form3().ui().Edit1->setText(QStringLiteral("pw"));
            windows.form3().SpeedButton1Click();
        } else {
            windows.form7().Timer1Timer();
        }
    });
    form1.FormShow();
    form1.timer1().stop();

    constexpr int Rounds = 7;
    QList<double> times;
    double wireSeconds = 0;
    qint64 settleMs = 0; // the modem answers at once: the pump's clock moves by the settle waits
    for (int round = 0; round < Rounds; ++round) {
        for (int tick = 1; tick <= 4; ++tick)
            form1.Timer1Timer();
        modem.store = listing();
        modem.wireBytes = 0;
        modem.counting = true;
        QElapsedTimer timer;
        const qint64 clockBefore = pump->now;
        timer.start();
        form1.Timer1Timer(); // tick 5: the listing, its handling, the deletions
        times.append(timer.nsecsElapsed() / 1e6);
        settleMs = pump->now - clockBefore;
        modem.counting = false;
        wireSeconds = modem.wireBytes * BitsPerByte / BaudRate;
        for (int tick = 6; tick <= 20; ++tick)
            form1.Timer1Timer();
    }
    std::sort(times.begin(), times.end());
    const double median = times[Rounds / 2];
    std::printf(
        "listing of %d messages x 5 lines: %lld bytes on the wire both ways = %.0f ms at %d baud\n",
        Messages, modem.wireBytes, wireSeconds * 1000, BaudRate);
    std::printf("station's processing (median of %d): %.1f ms = %.1f %% of the wire time, "
                "target at most 1 %% (fastest %.1f ms, slowest %.1f ms)\n",
                Rounds, median, 100 * median / (wireSeconds * 1000), times.first(), times.last());
    std::printf("waits for the line to settle: %lld ms per listing (%d exchanges x %d ms), "
                "no processor time\n",
                settleMs, Messages + 1, modem::ModemExchange::SettleMs);
    // The sync before the deletions, alone: the records of one listing, then the sync.
    QList<double> syncs;
    for (int round = 0; round < Rounds; ++round) {
        for (int n = 0; n < 130; ++n)
            form1.addtables("", "Act", "ATM", "09.12.26", "12:00:00", "12:00:00", "x");
        QElapsedTimer timer;
        timer.start();
        form1.eventLog().sync();
        syncs.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(syncs.begin(), syncs.end());
    std::printf("log sync before the deletions (median of %d, included above): %.2f ms\n", Rounds,
                syncs[Rounds / 2]);
    std::printf("log records: %d\n", int(form1.eventLog().table()->recordCount()));
    return 0;
}
