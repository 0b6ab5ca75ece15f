#pragma once

#include "ini/IniFile.h"

#include <QByteArray>

namespace tirvon::station {

// The station's look-ups of objects: by name (search_sect) and by telephone
// number (search_sect_phone). They read the file as it is at that moment and
// answer "Bank" + n, or "none" when no object matches.
class ObjectRegistry {
public:
    static inline const QByteArray NoSection = "none";

    explicit ObjectRegistry(const ini::IniFile& file) : file_(file) {}

    QByteArray search_sect(const QByteArray& name) const;
    QByteArray search_sect_phone(const QByteArray& phone) const;

    // What a look-up reads for an absent Name or Phone.
    static QByteArray lookupDefault();

private:
    const ini::IniFile& file_;
};

} // namespace tirvon::station
