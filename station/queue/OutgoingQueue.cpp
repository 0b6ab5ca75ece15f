#include "queue/OutgoingQueue.h"

#include "sound/SoundRequests.h"

namespace tirvon::station {

void OutgoingQueue::postsms(const QByteArray& number, const QByteArray& text) {
    entries_.append({number, text});
    countChanged_(size());
}

void OutgoingQueue::sendsms() {
    if (entries_.isEmpty())
        return;
    {
        const modem::SmsWorkScope smsWork(exchange_);
        // Entries posted during the waits go behind this one, which stays first.
        const Entry entry = entries_.first();
        exchange_.writeRaw("at+cmgs=" + entry.number + "\r\n");
        exchange_.delay(PromptWaitMs); // the modem's prompt arrives meanwhile
        exchange_.sendCommand(entry.text + "\r\n\x1a");
        sounds_.outgoingEvent = true;
        entries_.removeFirst();
    }
    countChanged_(size());
}

} // namespace tirvon::station
