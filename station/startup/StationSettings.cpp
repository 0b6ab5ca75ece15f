#include "startup/StationSettings.h"

#include "config/Schema.h"
#include "text/Cp1251.h"

namespace tirvon::station {

using namespace tirvon::config;

QByteArray StationSettings::objectWord() const {
    static const QByteArray fallback = text::cp("Объект78");
    return file_.readString(BaseStation, key::Service, fallback);
}

QByteArray StationSettings::comPort() const {
    return file_.readString(BaseStation, key::COMPort, "1");
}

QByteArray StationSettings::initString(int n) const {
    if (n < 1 || n > int(key::Init.size()))
        return {};
    return file_.readString(BaseStation, key::Init[n - 1], {});
}

} // namespace tirvon::station
