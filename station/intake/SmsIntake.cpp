#include "intake/SmsIntake.h"

#include "config/Schema.h"
#include "failure/OperationFailure.h"
#include "modem/ReplyLines.h"
#include "objects/ObjectRegistry.h"
#include "report/ReportInterpreter.h"
#include "sound/SoundRequests.h"
#include "text/Cp1251.h"

namespace tirvon::station {

using report::ListingEntry;
using report::ReportItem;

namespace {
const QByteArray ListingEcho = PollingCycle::ListCommand + '\r';
const QByteArray ListingEnd = "\r\n\r\nOK\r\n";
} // namespace

void SmsIntake::cmgl(const QByteArray& received) {
    // Lines the modem sent of its own accord before the echo are no part of the
    // listing; what follows the echo may be message text and stays as it is.
    const qsizetype echo = received.indexOf(ListingEcho);
    const QByteArray reply =
        echo > 0 ? modem::withoutUnsolicited(received.left(echo)) + received.mid(echo) : received;
    if (reply == "ERROR" || reply == EmptyStoreReply)
        return;
    QList<QByteArray> handled; // indexes, in listing order
    QList<ListingEntry> unreadable;
    bool listed = false; // a complete listing was read
    QString failure;
    {
        const modem::SmsWorkScope smsWork(exchange_);
        QByteArray listing = reply;
        if (listing.contains(ListingEcho)) {
            text::remove(listing, 1,
                         ListingEcho.size() + 1); // the echo, its CR and the next character
            if (listing.contains(ListingEnd)) {
                // The configuration writes of the whole listing reach the
                // disk as one, before the modem forgets the messages; when
                // they cannot, every message stays for the next listing.
                ini::WriteBatch writes;
                listed = true;
                try {
                    handleEntries(listing, handled, unreadable);
                } catch (const OperationFailure& e) {
                    failure = e.message();
                }
                try {
                    writes.commit();
                } catch (const OperationFailure& e) {
                    if (failure.isEmpty())
                        failure = e.message();
                    handled.clear();
                }
            }
        }
        if (!handled.isEmpty()) {
            try {
                actions_.syncLog();
                deleteMessages(handled);
            } catch (const OperationFailure& e) {
                // Records not known to be on the disk keep their messages.
                if (failure.isEmpty())
                    failure = e.message();
            }
        }
    }
    if (listed)
        tellUnreadable(unreadable);
    if (!failure.isEmpty())
        actions_.reportFailure(failure);
}

void SmsIntake::handleEntries(QByteArray& listing, QList<QByteArray>& handled,
                              QList<ListingEntry>& unreadable) {
    while (const std::optional<ListingEntry> entry = report::takeListingEntry(listing)) {
        if (!entry->readable) {
            unreadable.append(*entry);
            continue;
        }
        handleEntry(*entry);
        handled.append(entry->index);
    }
}

void SmsIntake::tellUnreadable(const QList<ListingEntry>& unreadable) {
    QList<QByteArray> headers;
    for (const ListingEntry& entry : unreadable) {
        headers.append(entry.header);
        // An entry that stays is listed at every poll; it is told once.
        if (!toldUnreadable_.contains(entry.header))
            actions_.unreadableEntry(entry);
    }
    toldUnreadable_ = headers;
}

QByteArray SmsIntake::sectionOf(const QByteArray& sender) const {
    return ObjectRegistry(file_).search_sect_phone(sender);
}

void SmsIntake::handleEntry(const ListingEntry& entry) {
    sounds_.incomingEvent = true;
    if (entry.text.contains("POWER FAULT"))
        sounds_.mainsFailure = true;
    const QByteArray section = sectionOf(entry.sender);
    if (section == ObjectRegistry::NoSection) {
        // The text keeps its CR LF: an empty line follows each message.
        actions_.NotList(QStringLiteral("notlist.txt"),
                         entry.sender + " " + entry.date + " " + entry.time + " " + entry.text);
        return;
    }
    static const QByteArray noName = text::cp("Без имени");
    const QByteArray object = file_.readString(section, config::key::Name, noName);
    bool testReport = false;
    report::ReportInterpreter interpreter(
        [this](const QByteArray& shortName) {
            return file_.readString(config::BaseStation, shortName, "None");
        },
        [&](const ReportItem& item) {
            testReport = testReport || item.kind == ReportItem::Kind::TestSignal ||
                         item.kind == ReportItem::Kind::TestArming;
            handleItem(entry, object, item);
        });
    interpreter.interpret(entry.text);
    actions_.objectReported(section, testReport);
}

void SmsIntake::handleItem(const ListingEntry& entry, const QByteArray& object,
                           const ReportItem& item) {
    actions_.addtables(item.stateKey, item.stateKey.isEmpty() ? QByteArray("Act") : item.stateValue,
                       object, entry.date, entry.time, item.controllerTime, item.logText);
    // The object is looked up by its number again for each use, as the
    // configuration may change meanwhile.
    switch (item.kind) {
    case ReportItem::Kind::Alarm:
        actions_.addAlarmRow(object, item.logText, entry.date + " - " + entry.time);
        sounds_.alarm = true;
        actions_.Action(sectionOf(entry.sender), item.ruleEventText);
        actions_.NotList(QStringLiteral("Alarm.txt"), "<" + object + "><" + entry.date + "><" +
                                                          entry.time + "><" + item.controllerTime +
                                                          "><" + item.description + ">");
        break;
    case ReportItem::Kind::TestSignal: {
        actions_.Action(sectionOf(entry.sender), item.ruleEventText);
        const QByteArray section = sectionOf(entry.sender);
        if (section != ObjectRegistry::NoSection)
            file_.writeString(section, config::key::TNEWTEST, entry.time);
        break;
    }
    case ReportItem::Kind::StateSignal:
        actions_.Action(sectionOf(entry.sender), item.ruleEventText);
        break;
    case ReportItem::Kind::TestArming:
    case ReportItem::Kind::StateArming:
    case ReportItem::Kind::Listen:
        break;
    }
}

void SmsIntake::deleteMessages(const QList<QByteArray>& indexes) {
    for (const QByteArray& index : indexes) {
        // A watchdog expiry clears the flag: the rest waits for the next listing.
        if (!exchange_.smsWork())
            return;
        exchange_.sendCommand("at+cmgd=" + index);
    }
}

} // namespace tirvon::station
