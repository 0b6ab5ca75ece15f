#include "objects/ObjectRegistry.h"

#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "text/Cp1251.h"

namespace tirvon::station {

QByteArray ObjectRegistry::lookupDefault() {
    static const QByteArray noName = text::cp("Без имени");
    return noName;
}

QByteArray ObjectRegistry::search_sect(const QByteArray& name) const {
    const auto n = config::ObjectDirectory(file_).findByName(name, lookupDefault());
    return n ? config::objectSection(*n) : NoSection;
}

QByteArray ObjectRegistry::search_sect_phone(const QByteArray& phone) const {
    const auto n = config::ObjectDirectory(file_).findByPhone(phone, lookupDefault());
    return n ? config::objectSection(*n) : NoSection;
}

} // namespace tirvon::station
