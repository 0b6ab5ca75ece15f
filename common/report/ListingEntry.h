#pragma once

#include <QByteArray>
#include <optional>

namespace tirvon::report {

// One message of a listing of the modem's store ("at+cmgl=all").
struct ListingEntry {
    QByteArray index;  // storage index, for the deletion
    QByteArray sender; // the address, without its leading "+"
    QByteArray date;   // reception date dd.MM.yy
    QByteArray time;   // reception time hh:mm:ss
    QByteArray text;   // the message text with the modem's closing CR LF
    QByteArray header; // the header line as the modem gave it
    // The header gave a sender and a time stamp. An entry without them is not
    // handled and not deleted: it stays in the modem.
    bool readable = true;
    bool operator==(const ListingEntry&) const = default;
};

// Takes the entry at the front of the listing (from its "+CMGL:" header line to
// the CR LF after its text) out of the listing.
//
// The header is read as its comma-separated fields, quotes respected: index,
// status, sender, an alpha field (empty or quoted), the time stamp
// "yy/MM/dd,hh:mm:ss+zz", and optional detail fields (address type, length).
// When the detail fields give the text's length and the text cut there ends in
// CR LF followed by the next entry or the end of the listing, the text is cut by
// its length, so it may hold CR LF; otherwise it runs to its first CR LF.
//
// The fields are looked for in the entry's own header line only, so text in
// front of the header cannot lend them. Nothing, and the listing emptied, when no complete header
// line is left. Every call shortens the listing, so a loop over it always ends.
std::optional<ListingEntry> takeListingEntry(QByteArray& listing);

} // namespace tirvon::report
