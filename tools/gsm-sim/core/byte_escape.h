#pragma once

#include <QByteArray>
#include <optional>

namespace gsmsim {

// One-line display of raw bytes: backslash as "\\", CR as "\r", LF as "\n" and every other byte
// outside printable ASCII as "\xHH". Used by the transcript and by the control interface.
QByteArray escapeBytes(const QByteArray& bytes);

// Reads the text of a control line: UTF-8 with the escapes \r, \n, \\ and \xHH. Literal text is
// converted to code page 1251, an \xHH escape gives that byte unchanged. Nothing is returned for
// an unknown or cut escape, or for a character that code page 1251 cannot hold.
std::optional<QByteArray> decodeControlText(const QByteArray& utf8);

} // namespace gsmsim
