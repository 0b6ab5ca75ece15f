#include "byte_escape.h"

#include <QStringEncoder>

namespace gsmsim {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QByteArray> utf8ToCp1251(const QByteArray& utf8) {
    if (utf8.isEmpty())
        return QByteArray();
    QStringEncoder encoder("windows-1251");
    const QString text = QString::fromUtf8(utf8);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return bytes;
}

} // namespace

QByteArray escapeBytes(const QByteArray& bytes) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (byte < 0x20 || byte >= 0x7F)
            out += QByteArray("\\x") + hex[byte >> 4] + hex[byte & 0x0F];
        else
            out += c;
    }
    return out;
}

std::optional<QByteArray> decodeControlText(const QByteArray& utf8) {
    QByteArray out;
    QByteArray literal; // UTF-8 run between escapes, converted as a whole
    auto flushLiteral = [&]() {
        const auto converted = utf8ToCp1251(literal);
        literal.clear();
        if (!converted)
            return false;
        out += *converted;
        return true;
    };
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\\') {
            literal += utf8[i];
            continue;
        }
        if (!flushLiteral() || i + 1 >= utf8.size())
            return std::nullopt;
        const char kind = utf8[++i];
        if (kind == 'r') {
            out += '\r';
        } else if (kind == 'n') {
            out += '\n';
        } else if (kind == '\\') {
            out += '\\';
        } else if (kind == 'x' && i + 2 < utf8.size() && hexDigit(utf8[i + 1]) >= 0 &&
                   hexDigit(utf8[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(utf8[i + 1]) * 16 + hexDigit(utf8[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    if (!flushLiteral())
        return std::nullopt;
    return out;
}

} // namespace gsmsim
