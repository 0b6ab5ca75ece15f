// The listing of the modem's message store on arbitrary bytes: message texts come
// from anybody who knows the number, and a modem may cut a listing anywhere.
// Whatever the listing holds, taking entries from it always ends, every entry is
// cut out of the listing exactly where it stood, and a readable entry has every
// field it needs, in its form.
#include "FuzzCheck.h"
#include "report/ListingEntry.h"

#include <cstdint>
#include <cstring>

using tirvon::report::ListingEntry;
using tirvon::report::takeListingEntry;

namespace {

const QByteArray LineEnd = "\r\n";

bool isDigits(const QByteArray& text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// dd.MM.yy and hh:mm:ss as the header's time stamp gives them.
void checkReadable(const ListingEntry& entry) {
    FUZZ_CHECK(isDigits(entry.index));
    FUZZ_CHECK(!entry.sender.isEmpty());
    FUZZ_CHECK(entry.date.size() == 8 && entry.date[2] == '.' && entry.date[5] == '.');
    FUZZ_CHECK(entry.time.size() == 8 && entry.time[2] == ':' && entry.time[5] == ':');
    for (const int at : {0, 3, 6}) {
        FUZZ_CHECK(isDigits(entry.date.mid(at, 2)));
        FUZZ_CHECK(isDigits(entry.time.mid(at, 2)));
    }
}

// A text holding CR LF before its end was cut by its length, which is trusted
// only in front of the next header or the listing's final OK.
void checkLengthCut(const ListingEntry& entry, const QByteArray& rest) {
    const qsizetype lineEnd = entry.text.indexOf(LineEnd);
    if (lineEnd < 0 || lineEnd == entry.text.size() - 2)
        return;
    FUZZ_CHECK(entry.readable);
    qsizetype next = 0;
    while (rest.mid(next, 2) == LineEnd)
        next += 2;
    FUZZ_CHECK(rest.mid(next, 6) == "+CMGL:" || rest.mid(next) == "OK\r\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray listing = input;
    int entries = 0;
    while (!listing.isEmpty()) {
        const qsizetype before = listing.size();
        const std::optional<ListingEntry> entry = takeListingEntry(listing);
        FUZZ_CHECK(listing.size() < before);
        if (!entry) {
            FUZZ_CHECK(listing.isEmpty());
            break;
        }
        ++entries;
        FUZZ_CHECK(entry->header.startsWith("+CMGL:") && !entry->header.contains(LineEnd));
        FUZZ_CHECK(entry->text.endsWith(LineEnd) || listing.isEmpty());
        // Header, CR LF and text stood together right in front of what is left.
        const qsizetype taken = entry->header.size() + 2 + entry->text.size();
        const qsizetype end = input.size() - listing.size();
        FUZZ_CHECK(taken <= end);
        const char* at = input.constData() + end - taken;
        FUZZ_CHECK(std::memcmp(at, entry->header.constData(), size_t(entry->header.size())) == 0);
        at += entry->header.size();
        FUZZ_CHECK(at[0] == '\r' && at[1] == '\n');
        FUZZ_CHECK(std::memcmp(at + 2, entry->text.constData(), size_t(entry->text.size())) == 0);
        if (entry->readable)
            checkReadable(*entry);
        checkLengthCut(*entry, listing);
    }
    // No entry without its header mark.
    FUZZ_CHECK(entries <= input.count("+CMGL:"));
    return 0;
}
