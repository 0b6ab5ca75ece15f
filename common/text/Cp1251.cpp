#include "text/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tirvon::text {

qsizetype pos(QByteArrayView needle, QByteArrayView haystack) {
    if (needle.isEmpty())
        return 0;
    return haystack.indexOf(needle) + 1;
}

Bytes copy(const Bytes& s, qsizetype index, qsizetype count) {
    if (index < 1) {
        count += index - 1;
        index = 1;
    }
    if (count < 1 || index > s.size())
        return {};
    const qsizetype from = index - 1;
    return s.mid(from, qMin(count, s.size() - from));
}

void remove(Bytes& s, qsizetype index, qsizetype count) {
    if (index < 1) {
        count += index - 1;
        index = 1;
    }
    if (count < 1 || index > s.size())
        return;
    const qsizetype from = index - 1;
    s.remove(from, qMin(count, s.size() - from));
}

// Qt's codec for windows-1251 maps each of the 256 bytes to one code point and
// back, so a text survives the round trip through a widget unchanged.
QString toUnicode(const Bytes& cp1251) {
    thread_local QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    return decoder.decode(cp1251);
}

Bytes fromUnicode(const QString& text) {
    thread_local QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

Bytes cp(const char* utf8) {
    return fromUnicode(QString::fromUtf8(utf8));
}

Bytes trimBlanks(const Bytes& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.mid(b, e - b);
}

} // namespace tirvon::text
