#include "queue/OutgoingQueue.h"

#include "modem/ReplyLines.h"
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
        const QByteArray reply = exchange_.sendCommand(entry.text + "\r\n\x1a");
        // A modem that gave no answer at all (the watchdog gave up) keeps the
        // message for its next try, once it answers again.
        if (!modem::closingFinalResult(reply))
            return;
        sounds_.outgoingEvent = true;
        entries_.removeFirst();
    }
    countChanged_(size());
}

} // namespace tirvon::station
