#pragma once

#include <QByteArray>
#include <QString>

// Every text that touches a file, the serial line or the log is 8-bit code page
// 1251, and every position the station counts is counted in those bytes. These
// helpers work on such byte strings with 1-based positions, in the manner of the
// classic string routines, and never read out of bounds whatever they are given.
namespace tirvon::text {

using Bytes = QByteArray;

// 1-based position of the first occurrence of needle in haystack; 0 when absent
// or when needle is empty. Views: a literal needle costs no allocation.
qsizetype pos(QByteArrayView needle, QByteArrayView haystack);

// Up to count bytes starting at the 1-based index, clipped to the string. An index
// below 1 starts at the first byte; an index past the end or a count below 1 gives
// an empty string.
Bytes copy(const Bytes& s, qsizetype index, qsizetype count);

// Removes up to count bytes starting at the 1-based index, clipped to the string.
void remove(Bytes& s, qsizetype index, qsizetype count);

// The one conversion between code page 1251 and Unicode, used at the widget
// boundary.
QString toUnicode(const Bytes& cp1251);
Bytes fromUnicode(const QString& text);

// A UTF-8 literal of the source code in code page 1251.
Bytes cp(const char* utf8);

// Blanks (space, tab) removed at both ends.
Bytes trimBlanks(const Bytes& s);

} // namespace tirvon::text
