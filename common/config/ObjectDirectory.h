#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace tirvon::config {

// The objects of the file, found the one way both programs find them: sections
// Bank1..Bank99 tried in ascending order, the first exact (case-sensitive) match
// of the key's value winning. Each call reads the file as it is now.
class ObjectDirectory {
public:
    explicit ObjectDirectory(const ini::IniFile& file) : file_(file) {}

    // Numbers of the sections that exist (hold at least one key), ascending.
    QList<int> objectNumbers() const;

    // A section without the key compares its reader's default for that key.
    std::optional<int> findByName(const QByteArray& name, const QByteArray& nameDefault) const;
    std::optional<int> findByPhone(const QByteArray& phone, const QByteArray& phoneDefault) const;

private:
    std::optional<int> findBy(const char* key, const QByteArray& value,
                              const QByteArray& keyDefault) const;
    const ini::IniFile& file_;
};

} // namespace tirvon::config
