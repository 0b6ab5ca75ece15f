#pragma once

#include <QString>

#include <algorithm>

// Cuts of a path at its last folder separator, "\" of a path written on Windows
// counted as well as "/".
namespace tirvon::configurator {

inline qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}
// pathnaim: the path up to and including its last separator.
inline QString pathnaim(const QString& path) {
    return path.left(lastSeparator(path) + 1);
}
// filenaim: the text after the last separator.
inline QString filenaim(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

} // namespace tirvon::configurator
