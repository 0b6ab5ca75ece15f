#include "accounts/AccountsWork.h"

namespace tirvon::configurator {

namespace {

using Field = config::AccountFault::Field;

QString fieldName(Field field) {
    switch (field) {
    case Field::Name:
        return QStringLiteral("Наименование");
    case Field::Password:
        return QStringLiteral("Пароль");
    case Field::KeyCode:
        break;
    }
    return QStringLiteral("Ключ Touch memory");
}

// Why the field cannot be stored as typed, as the end of a sentence that
// starts with the field's name.
QString reason(Field field, const QByteArray& typed) {
    const QByteArray separator = field == Field::Name ? "::" : ":::";
    if (field != Field::KeyCode && typed.contains(separator))
        return QStringLiteral("не может содержать \"%1\"").arg(QLatin1String(separator));
    if (field != Field::KeyCode && typed.endsWith(':'))
        return QStringLiteral("не может оканчиваться двоеточием");
    if (field == Field::Name && !typed.isEmpty() && QByteArray(" \t\"'").contains(typed.front()))
        return QStringLiteral("не может начинаться с пробела или кавычки");
    if (field == Field::KeyCode && !typed.isEmpty() && QByteArray(" \t\"'").contains(typed.back()))
        return QStringLiteral("не может оканчиваться пробелом или кавычкой");
    return QStringLiteral("нельзя сохранить в таком виде");
}

const QByteArray& fieldOf(const config::UserEntry& entry, Field field) {
    switch (field) {
    case Field::Name:
        return entry.name;
    case Field::Password:
        return entry.password;
    case Field::KeyCode:
        break;
    }
    return entry.keyCode;
}

} // namespace

config::Accounts loadAccounts(const ini::IniFile& file) {
    return config::Accounts::load(*file.snapshot());
}

QString accountsRefusal(const config::Accounts& accounts) {
    const auto fault = config::firstFault(accounts);
    if (!fault)
        return {};
    const QByteArray& typed = fieldOf(accounts.users[size_t(fault->slot - 1)], fault->field);
    return QStringLiteral("%1 пользователя %2 %3: так сохранённая запись читается иначе, чем "
                          "введена. Данные не сохранены.")
        .arg(fieldName(fault->field))
        .arg(fault->slot)
        .arg(reason(fault->field, typed));
}

void saveAccounts(ini::IniFile& file, const config::Accounts& accounts) {
    file.update([&accounts](ini::IniDocument& doc) { accounts.save(doc); });
}

} // namespace tirvon::configurator
