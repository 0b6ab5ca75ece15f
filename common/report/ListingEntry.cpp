#include "report/ListingEntry.h"

#include <QList>

namespace tirvon::report {

namespace {

const QByteArray HeaderMark = "+CMGL:";
const QByteArray LineEnd = "\r\n";

// The fields of a header line, split at the commas outside double quotes.
QList<QByteArray> headerFields(const QByteArray& fields) {
    QList<QByteArray> out(1);
    bool quoted = false;
    for (const char c : fields) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            out.append(QByteArray());
        else
            out.last().append(c);
    }
    return out;
}

// The content of a field in double quotes; nothing for a field without them.
std::optional<QByteArray> unquoted(const QByteArray& field) {
    if (field.size() < 2 || !field.startsWith('"') || !field.endsWith('"'))
        return std::nullopt;
    return field.mid(1, field.size() - 2);
}

bool isDigits(QByteArrayView text) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "yy/MM/dd,hh:mm:ss" and a time zone.
bool isTimeStamp(const QByteArray& stamp) {
    if (stamp.size() < 17 || stamp[2] != '/' || stamp[5] != '/' || stamp[8] != ',' ||
        stamp[11] != ':' || stamp[14] != ':')
        return false;
    for (const qsizetype at : {0, 3, 6, 9, 12, 15}) {
        if (!isDigits(QByteArrayView(stamp).sliced(at, 2)))
            return false;
    }
    return true;
}

// The text's length cuts it only where the cut is followed by the entry's CR LF
// and then, past empty lines, by the next header or the listing's final OK.
bool lengthCutHolds(const QByteArray& listing, qsizetype length) {
    if (length > listing.size() - 2 || listing.mid(length, 2) != LineEnd)
        return false;
    qsizetype next = length + 2;
    while (listing.mid(next, 2) == LineEnd)
        next += 2;
    return listing.mid(next, HeaderMark.size()) == HeaderMark || listing.mid(next) == "OK\r\n";
}

void readHeader(ListingEntry& entry, std::optional<qsizetype>& length) {
    qsizetype from = HeaderMark.size();
    if (entry.header.size() > from && entry.header[from] == ' ')
        ++from;
    const QList<QByteArray> fields = headerFields(entry.header.mid(from));
    entry.index = fields[0];
    const std::optional<QByteArray> sender = fields.size() > 2 ? unquoted(fields[2]) : std::nullopt;
    const std::optional<QByteArray> stamp = fields.size() > 4 ? unquoted(fields[4]) : std::nullopt;
    const bool alphaFits = fields.size() > 3 && (fields[3].isEmpty() || unquoted(fields[3]));
    if (sender) {
        entry.sender = *sender;
        // An international number loses its "+"; a national one keeps every digit.
        if (entry.sender.startsWith('+'))
            entry.sender.remove(0, 1);
    }
    if (stamp && isTimeStamp(*stamp)) {
        entry.date = stamp->mid(6, 2) + "." + stamp->mid(3, 2) + "." + stamp->mid(0, 2);
        entry.time = stamp->mid(9, 8);
    }
    entry.readable =
        isDigits(entry.index) && !entry.sender.isEmpty() && alphaFits && !entry.time.isEmpty();
    if (entry.readable && fields.size() > 6 && isDigits(fields[6]) && fields[6].size() <= 6)
        length = fields[6].toLongLong();
}

} // namespace

std::optional<ListingEntry> takeListingEntry(QByteArray& listing) {
    const qsizetype start = listing.indexOf(HeaderMark);
    const qsizetype headerEnd = start < 0 ? -1 : listing.indexOf(LineEnd, start);
    if (headerEnd < 0) {
        listing.clear();
        return std::nullopt;
    }
    // Anything in front of the header is no entry.
    ListingEntry entry;
    entry.header = listing.mid(start, headerEnd - start);
    listing.remove(0, headerEnd + 2);

    std::optional<qsizetype> length;
    readHeader(entry, length);
    // The text keeps its closing CR LF.
    qsizetype textLength;
    if (length && lengthCutHolds(listing, *length)) {
        textLength = *length + 2;
    } else {
        const qsizetype textEnd = listing.indexOf(LineEnd);
        textLength = textEnd < 0 ? listing.size() : textEnd + 2;
    }
    entry.text = listing.left(textLength);
    listing.remove(0, textLength);
    return entry;
}

} // namespace tirvon::report
