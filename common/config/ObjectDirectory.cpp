#include "config/ObjectDirectory.h"

#include "config/Schema.h"

namespace tirvon::config {

QList<int> ObjectDirectory::objectNumbers() const {
    const auto doc = file_.snapshot();
    QList<int> numbers;
    for (int n = FirstObject; n <= LastObject; ++n) {
        if (doc->hasSection(objectSection(n)))
            numbers.append(n);
    }
    return numbers;
}

std::optional<int> ObjectDirectory::findBy(const char* key, const QByteArray& value,
                                           const QByteArray& keyDefault) const {
    const auto doc = file_.snapshot();
    for (int n = FirstObject; n <= LastObject; ++n) {
        const QByteArray& section = objectSection(n);
        const std::optional<QByteArray> found = doc->value(section, key);
        if (found ? *found == value : keyDefault == value && doc->hasSection(section))
            return n;
    }
    return std::nullopt;
}

std::optional<int> ObjectDirectory::findByName(const QByteArray& name,
                                               const QByteArray& nameDefault) const {
    return findBy(key::Name, name, nameDefault);
}

std::optional<int> ObjectDirectory::findByPhone(const QByteArray& phone,
                                                const QByteArray& phoneDefault) const {
    return findBy(key::Phone, phone, phoneDefault);
}

} // namespace tirvon::config
