#include "log/AliasStore.h"
#include "log/LogError.h"
#include "text/Cp1251.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tirvon::log {

namespace {

constexpr char PathKey[] = "PATH";
constexpr char DriverKey[] = "DEFAULT DRIVER";

QByteArray folderEntry(const QString& folder) {
    QString withSlash = folder;
    if (!withSlash.endsWith(QLatin1Char('/')))
        withSlash += QLatin1Char('/');
    const QByteArray bytes = text::fromUnicode(withSlash);
    if (text::toUnicode(bytes) != withSlash || bytes.contains('\r') || bytes.contains('\n'))
        throw LogError(QStringLiteral("The folder %1 cannot be given to an alias").arg(withSlash));
    return bytes;
}

} // namespace

QString AliasStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tirvon/aliases.ini");
}

AliasStore::AliasStore(QString storePath) : file_(std::move(storePath)) {}

bool AliasStore::exists(const QByteArray& alias) const {
    return file_.sectionExists(alias);
}

void AliasStore::add(const QByteArray& alias, const QString& folder, const QByteArray& driver) {
    write(alias, {{PathKey, folderEntry(folder)}, {DriverKey, driver}});
}

void AliasStore::modifyPath(const QByteArray& alias, const QString& folder) {
    if (!exists(alias))
        throw LogError(QStringLiteral("Alias %1 does not exist").arg(text::toUnicode(alias)));
    write(alias, {{PathKey, folderEntry(folder)}});
}

QString AliasStore::folder(const QByteArray& alias) const {
    return text::toUnicode(file_.readString(alias, PathKey, {}));
}

QList<QPair<QByteArray, QByteArray>> AliasStore::parameters(const QByteArray& alias) const {
    const auto doc = file_.snapshot();
    QList<QPair<QByteArray, QByteArray>> entries;
    for (const char* key : {PathKey, DriverKey}) {
        if (const auto value = doc->value(alias, key))
            entries.append({key, *value});
    }
    return entries;
}

QStringList AliasStore::tables(const QByteArray& alias, const QString& pattern) const {
    const QString where = folder(alias);
    if (where.isEmpty())
        return {};
    QStringList names =
        QDir(where).entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString& name) {
        return !name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive);
    });
    return names;
}

void AliasStore::write(const QByteArray& alias,
                       const QList<QPair<QByteArray, QByteArray>>& entries) {
    const QString storeFolder = QFileInfo(file_.path()).absolutePath();
    if (!QDir().mkpath(storeFolder))
        throw LogError(QStringLiteral("Unable to write to %1").arg(file_.path()));
    try {
        file_.update([&](ini::IniDocument& doc) {
            for (const auto& [key, value] : entries)
                doc.setValue(alias, key, value);
        });
    } catch (const ini::IniWriteError& e) {
        throw LogError(e.message());
    }
}

} // namespace tirvon::log
