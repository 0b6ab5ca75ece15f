#pragma once

#include "modem/ModemExchange.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace tirvon::station {

struct SoundRequests;

// The SMS waiting to go to controllers, oldest first. postsms appends one;
// the polling cycle sends one per tick with sendsms, which removes it after one
// attempt, whatever the modem answered. Entries are held as (number, text)
// pairs, so no text, whatever it ends with, can spill into another entry.
class OutgoingQueue {
public:
    struct Entry {
        QByteArray number;
        QByteArray text;
    };
    static constexpr unsigned PromptWaitMs = 2000;

    // countChanged shows the number of entries (status panel 5).
    OutgoingQueue(modem::ModemExchange& exchange, SoundRequests& sounds,
                  std::function<void(int)> countChanged)
        : exchange_(exchange), sounds_(sounds), countChanged_(std::move(countChanged)) {}

    void postsms(const QByteArray& number, const QByteArray& text);
    void sendsms();

    bool isEmpty() const { return entries_.isEmpty(); }
    int size() const { return int(entries_.size()); }
    const QList<Entry>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

private:
    modem::ModemExchange& exchange_;
    SoundRequests& sounds_;
    std::function<void(int)> countChanged_;
    QList<Entry> entries_;
};

} // namespace tirvon::station
