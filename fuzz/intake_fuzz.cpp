// The SMS intake on arbitrary listings: whatever the modem hands over (SMS texts
// come from anybody who knows the number), the intake never crashes, never reads
// out of bounds, and never leaves the SMS-work flag set, which would stop the
// polling for good.
#include "AnsweringModem.h"
#include "intake/SmsIntake.h"
#include "log/LogError.h"
#include "modem/ReplyLines.h"
#include "report/ListingEntry.h"
#include "report/ReportInterpreter.h"
#include "sound/SoundRequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace tirvon;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Counts what the intake does; fails the log at a chosen record.
class CountingActions : public station::IntakeActions {
public:
    void addtables(const QByteArray&, const QByteArray&, const QByteArray&, const QByteArray&,
                   const QByteArray&, const QByteArray&, const QByteArray&) override {
        if (++records == failAt)
            throw log::LogError(QStringLiteral("fuzz"));
    }
    void addAlarmRow(const QByteArray&, const QByteArray&, const QByteArray&) override {}
    void Action(const QByteArray&, const QByteArray&) override {}
    void NotList(const QString&, const QByteArray&) override {}
    void reportFailure(const QString&) override {}
    void syncLog() override { ++syncs; }
    void unreadableEntry(const report::ListingEntry& entry) override { check(!entry.readable); }
    void objectReported(const QByteArray& section, bool) override { check(!section.isEmpty()); }
    int records = 0;
    int syncs = 0;
    int failAt = 0;
};

struct World {
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/intake-fuzz-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/intake-fuzz-XXXXXX")};
    ini::IniFile file{dir.filePath(QStringLiteral("Vave_vev.ini"))};
    World() {
        QFile f(file.path());
        if (f.open(QIODevice::WriteOnly))
            f.write("[BaseStation]\r\nIN1=Door\r\n[Bank1]\r\nName=A\r\nPhone=7916\r\n"
                    "[Bank2]\r\nName=B\r\nPhone=+7\r\n");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "intake_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static World world;

    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    // The report interpreter on the bytes as one message text.
    report::ReportInterpreter([](const QByteArray&) { return QByteArray("None"); },
                              [](const report::ReportItem& item) {
                                  check(item.stateKey.isEmpty() || item.stateKey.startsWith('l'));
                              })
        .interpret(input);

    // The bytes as what the modem sent: whatever a reply ends with lies inside it.
    if (const auto result = modem::closingFinalResult(input))
        check(result->end > 0 && result->end <= input.size());
    if (const auto call = modem::closingIncomingCall(input))
        check(call->start >= 0 && call->start < input.size() &&
              call->callerText.startsWith("+CLIP: "));
    check(modem::withoutUnsolicited(input).size() <= input.size());

    // The bytes as a listing, the way the modem frames one.
    // A modem that answers every command at once.
    AnsweringModemLink link([](const QByteArray&) { return QByteArray("\r\nOK\r\n"); });
    AnsweringModemPump pump(link);
    NullExchangeView view;
    modem::ModemExchange exchange(link, view, pump);
    station::SoundRequests sounds;
    CountingActions actions;
    actions.failAt = size > 0 ? data[0] % 8 : 0;
    station::SmsIntake intake(exchange, world.file, sounds, actions);
    for (const QByteArray& reply : {input, "at+cmgl=all\r\r\n" + input + "\r\n\r\nOK\r\n"}) {
        const int syncs = actions.syncs;
        link.written.clear();
        intake.cmgl(reply);
        check(!exchange.smsWork());
        // Nothing leaves the modem before the log was synced.
        check(!link.written.contains("at+cmgd=") || actions.syncs > syncs);
    }
    return 0;
}
