#include "report/ListingEntry.h"

#include <QVarLengthArray>

namespace tirvon::report {

namespace {

constexpr QByteArrayView HeaderMark = "+CMGL:";
constexpr QByteArrayView LineEnd = "\r\n";

// The fields of a header line, split at the commas outside double quotes, as
// views into the line. A header has seven fields or fewer.
QVarLengthArray<QByteArrayView, 8> headerFields(QByteArrayView fields) {
    QVarLengthArray<QByteArrayView, 8> out;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i] == '"') {
            quoted = !quoted;
        } else if (fields[i] == ',' && !quoted) {
            out.append(fields.sliced(start, i - start));
            start = i + 1;
        }
    }
    out.append(fields.sliced(start));
    return out;
}

// The content of a field in double quotes; nothing for a field without them.
std::optional<QByteArrayView> unquoted(QByteArrayView field) {
    if (field.size() < 2 || !field.startsWith('"') || !field.endsWith('"'))
        return std::nullopt;
    return field.sliced(1, field.size() - 2);
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
bool isTimeStamp(QByteArrayView stamp) {
    if (stamp.size() < 17 || stamp[2] != '/' || stamp[5] != '/' || stamp[8] != ',' ||
        stamp[11] != ':' || stamp[14] != ':')
        return false;
    for (const qsizetype at : {0, 3, 6, 9, 12, 15}) {
        if (!isDigits(stamp.sliced(at, 2)))
            return false;
    }
    return true;
}

// The text's length cuts it only where the cut is followed by the entry's CR LF
// and then, past empty lines, by the next header or the listing's final OK.
bool lengthCutHolds(QByteArrayView listing, qsizetype length) {
    if (length > listing.size() - 2 || listing.sliced(length, 2) != LineEnd)
        return false;
    qsizetype next = length + 2;
    while (listing.sliced(next).startsWith(LineEnd))
        next += 2;
    const QByteArrayView rest = listing.sliced(next);
    return rest.startsWith(HeaderMark) || rest == "OK\r\n";
}

void readHeader(ListingEntry& entry, std::optional<qsizetype>& length) {
    const QByteArrayView header(entry.header);
    qsizetype from = HeaderMark.size();
    if (header.size() > from && header[from] == ' ')
        ++from;
    const auto fields = headerFields(header.sliced(from));
    entry.index = fields[0].toByteArray();
    const auto sender = fields.size() > 2 ? unquoted(fields[2]) : std::nullopt;
    const auto stamp = fields.size() > 4 ? unquoted(fields[4]) : std::nullopt;
    const bool alphaFits = fields.size() > 3 && (fields[3].isEmpty() || unquoted(fields[3]));
    // An international number loses its "+"; a national one keeps every digit.
    if (sender)
        entry.sender = (sender->startsWith('+') ? sender->sliced(1) : *sender).toByteArray();
    if (stamp && isTimeStamp(*stamp)) {
        const QByteArrayView s = *stamp;
        const char date[] = {s[6], s[7], '.', s[3], s[4], '.', s[0], s[1]};
        entry.date = QByteArray(date, sizeof date);
        entry.time = s.sliced(9, 8).toByteArray();
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
