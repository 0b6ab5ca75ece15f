#include "log/LogError.h"

namespace tirvon::log {

LogError::LogError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

} // namespace tirvon::log
