#include "database/LogDatabase.h"

#include "config/ConfiguratorDefaults.h"
#include "config/Schema.h"
#include "log/LogTable.h"
#include "text/Cp1251.h"

#include <QFileInfo>

namespace tirvon::configurator {

namespace {

const QString Lost = QStringLiteral("Все её записи будут потеряны.");

QString chosenNote() {
    return QStringLiteral("это база по умолчанию: в неё станция записывает журнал событий");
}

} // namespace

LogDatabase::LogDatabase(ini::IniFile& file, QString programDirectory, QString aliasStorePath)
    : file_(file), programDirectory_(std::move(programDirectory)),
      aliases_(std::move(aliasStorePath)) {}

void LogDatabase::registerAlias() {
    if (aliases_.exists(log::LogAlias))
        aliases_.modifyPath(log::LogAlias, programDirectory_);
    else
        aliases_.add(log::LogAlias, programDirectory_, "DBASE");
}

QStringList LogDatabase::aliasParameters() const {
    QStringList lines;
    for (const auto& [key, value] : aliases_.parameters(log::LogAlias))
        lines.append(text::toUnicode(key + '=' + value));
    return lines;
}

QStringList LogDatabase::tables() const {
    return aliases_.tables(log::LogAlias, QStringLiteral("*.*"));
}

QByteArray LogDatabase::chosenTable() const {
    return file_.readString(config::BaseStation, config::key::BASE,
                            config::configurator::defaultOf(config::key::BASE));
}

QString LogDatabase::nameProblem(const QString& name) const {
    // The lists show the dBASE tables of the alias's folder, so a table made
    // under another extension, as a hidden file or in another folder could
    // never be chosen; BASE holds the name in code page 1251.
    const bool otherExtension = name.contains(QLatin1Char('.')) &&
                                !name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive);
    if (name.startsWith(QLatin1Char('.')) || otherExtension || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char('\\')))
        return QStringLiteral("Имя базы «%1» не подходит: укажите имя без расширения или с "
                              "расширением .dbf, без знаков \"/\" и \"\\\".")
            .arg(name);
    if (text::toUnicode(text::fromUnicode(name)) != name)
        return QStringLiteral("Имя базы «%1» не подходит: в нём есть знаки, которых нет в "
                              "кодировке Windows-1251.")
            .arg(name);
    return {};
}

bool LogDatabase::exists(const QString& name) const {
    const QString folder = aliases_.folder(log::LogAlias);
    return !folder.isEmpty() && QFileInfo::exists(log::tablePath(folder, name));
}

QString LogDatabase::replaceQuestion(const QString& name) const {
    const QString exists = QStringLiteral("База «%1» уже существует").arg(name);
    const QString replace = QStringLiteral("Заменить её новой пустой базой? ") + Lost;
    if (isChosen(name))
        return exists + QStringLiteral(", и ") + chosenNote() + QStringLiteral(". ") + replace;
    return exists + QStringLiteral(". ") + replace;
}

QString LogDatabase::deleteQuestion(const QString& name) const {
    const QString remove = QStringLiteral("Удалить базу «%1»? ").arg(name) + Lost;
    if (isChosen(name))
        return QStringLiteral("«%1» — ").arg(name) + chosenNote() +
               QStringLiteral(". После удаления станции будет некуда записывать журнал, пока "
                              "не будет выбрана другая база. ") +
               remove;
    return remove;
}

void LogDatabase::create(const QString& name) {
    log::LogTable::create(pathOf(name));
}

void LogDatabase::remove(const QString& name) {
    log::LogTable::remove(pathOf(name));
}

void LogDatabase::choose(const QString& name) {
    file_.writeString(config::BaseStation, config::key::BASE, text::fromUnicode(name));
}

QString LogDatabase::pathOf(const QString& name) const {
    const QString folder = aliases_.folder(log::LogAlias);
    if (folder.isEmpty())
        throw log::LogError(
            QStringLiteral("Unknown database: %1").arg(QLatin1String(log::LogAlias)));
    return log::tablePath(folder, name);
}

bool LogDatabase::isChosen(const QString& name) const {
    const QByteArray base = chosenTable();
    const QString folder = aliases_.folder(log::LogAlias);
    // The station opens the table BASE names by the same path rule.
    return base != "None" && !folder.isEmpty() &&
           log::tablePath(folder, text::toUnicode(base)) == log::tablePath(folder, name);
}

} // namespace tirvon::configurator
