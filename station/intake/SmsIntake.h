#pragma once

#include "ini/IniFile.h"
#include "modem/ModemExchange.h"
#include "polling/PollingCycle.h"
#include "report/ListingEntry.h"
#include "report/ReportItem.h"

#include <QByteArray>
#include <QString>

namespace tirvon::station {

struct SoundRequests;

// What the intake sets going for each message and report item.
class IntakeActions {
public:
    virtual ~IntakeActions() = default;
    virtual void addtables(const QByteArray& stateKey, const QByteArray& value,
                           const QByteArray& object, const QByteArray& date,
                           const QByteArray& arrival, const QByteArray& sending,
                           const QByteArray& logText) = 0;
    virtual void addAlarmRow(const QByteArray& object, const QByteArray& logText,
                             const QByteArray& arrival) = 0;
    // The object's event rules for one report line.
    virtual void Action(const QByteArray& section, const QByteArray& ruleEventText) = 0;
    virtual void NotList(const QString& fileName, const QByteArray& line) = 0;
    // A failure of the log or of a file that ended the handling of a listing.
    virtual void reportFailure(const QString& message) = 0;
    // The log's new records reach the disk: the modem is about to forget the
    // messages they came from.
    virtual void syncLog() = 0;
    // An entry whose header gave no sender or time stamp stays in the modem.
    virtual void unreadableEntry(const report::ListingEntry& entry) = 0;
    // A message of an object was handled; testReport when it was a test report.
    virtual void objectReported(const QByteArray& section, bool testReport) = 0;
};

// cmgl: handles every message of a listing of the modem's store, then deletes
// them from the modem. A message is deleted only when it was handled to the
// end and its records are on the disk: after a failure of the log or of a file,
// the failing message and every later one stay in the modem for the next
// listing, and the SMS-work flag is cleared whatever happens. An entry whose
// header cannot be read is neither handled nor deleted, and told once.
class SmsIntake {
public:
    static inline const QByteArray EmptyStoreReply = PollingCycle::ListCommand + "\r\r\nOK\r\n";

    SmsIntake(modem::ModemExchange& exchange, ini::IniFile& file, SoundRequests& sounds,
              IntakeActions& actions)
        : exchange_(exchange), file_(file), sounds_(sounds), actions_(actions) {}

    void cmgl(const QByteArray& reply);

private:
    void handleEntries(QByteArray& listing, QList<QByteArray>& handled,
                       QList<report::ListingEntry>& unreadable);
    void tellUnreadable(const QList<report::ListingEntry>& unreadable);
    void handleEntry(const report::ListingEntry& entry);
    void handleItem(const report::ListingEntry& entry, const QByteArray& object,
                    const report::ReportItem& item);
    QByteArray sectionOf(const QByteArray& sender) const;
    void deleteMessages(const QList<QByteArray>& indexes);

    modem::ModemExchange& exchange_;
    ini::IniFile& file_;
    SoundRequests& sounds_;
    IntakeActions& actions_;
    QList<QByteArray> toldUnreadable_; // headers told at the last listing
};

} // namespace tirvon::station
