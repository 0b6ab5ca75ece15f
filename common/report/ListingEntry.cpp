#include "report/ListingEntry.h"

#include "text/Cp1251.h"

namespace tirvon::report {

using text::copy;
using text::pos;
using text::remove;

std::optional<ListingEntry> takeListingEntry(QByteArray& listing) {
    const qsizetype start = pos("+CMGL:", listing);
    remove(listing, 1, start - 1); // anything in front of the header is no entry
    // The header line ends at the first double quote followed by CR LF.
    const qsizetype headerEnd = pos("\"\r\n", listing);
    if (start == 0 || headerEnd == 0) {
        listing.clear();
        return std::nullopt;
    }
    const QByteArray header = copy(listing, 1, headerEnd);
    remove(listing, 1, headerEnd + 2);

    ListingEntry entry;
    const qsizetype indexEnd = pos(",\"", header);
    entry.index = copy(header, 8, indexEnd - 8);
    const qsizetype address = pos("\",\"", header) + 3;
    const qsizetype stamp = pos("\",,\"", header);
    entry.sender = stamp > address ? copy(header, address, stamp - address) : QByteArray();
    // An international number loses its "+"; a national one keeps every digit.
    if (entry.sender.startsWith('+'))
        entry.sender.remove(0, 1);
    if (stamp > 0) {
        const QByteArray date = copy(header, stamp + 4, 8); // yy/MM/dd
        entry.date = copy(date, 7, 2) + "." + copy(date, 4, 2) + "." + copy(date, 1, 2);
        entry.time = copy(header, stamp + 13, 8);
    }
    // The text runs to its first CR LF, which it keeps.
    const qsizetype textEnd = pos("\r\n", listing);
    const qsizetype textLength = textEnd ? textEnd + 1 : listing.size();
    entry.text = copy(listing, 1, textLength);
    remove(listing, 1, textLength);
    return entry;
}

} // namespace tirvon::report
