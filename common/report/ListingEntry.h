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
    bool operator==(const ListingEntry&) const = default;
};

// Takes the entry at the front of the listing (from its "+CMGL:" header to the
// CR LF after its text) out of the listing. The fields are looked for in the
// entry's own header line only, so text before the header cannot lend them.
// Nothing, and the listing emptied, when no complete header line is left.
// Every call shortens the listing, so a loop over it always ends.
std::optional<ListingEntry> takeListingEntry(QByteArray& listing);

} // namespace tirvon::report
