#pragma once

#include "ini/IniFile.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace tirvon::log {

// The alias under which both programs find the log tables.
inline constexpr char LogAlias[] = "TIRVON_B";

// The database aliases: names that stand for a folder of dBASE tables, kept in
// one INI file that both programs share, one section per alias with the keys
// PATH (the folder, with its trailing slash) and DEFAULT DRIVER. Alias names
// compare without case. Texts are in code page 1251.
class AliasStore {
public:
    // <generic configuration folder>/tirvon/aliases.ini
    static QString defaultPath();

    explicit AliasStore(QString storePath = defaultPath());

    QString storePath() const { return file_.path(); }
    bool exists(const QByteArray& alias) const;
    // Adds the alias or overwrites its entries. LogError when the store cannot
    // be written or the folder's name cannot be written in code page 1251.
    void add(const QByteArray& alias, const QString& folder, const QByteArray& driver = "DBASE");
    // Points an existing alias at another folder; LogError when it does not exist.
    void modifyPath(const QByteArray& alias, const QString& folder);
    // The alias's folder with its trailing slash; empty when absent.
    QString folder(const QByteArray& alias) const;
    // The alias's entries as the store holds them, e.g. {"PATH", "/opt/x/"},
    // {"DEFAULT DRIVER", "DBASE"}; empty when absent.
    QList<QPair<QByteArray, QByteArray>> parameters(const QByteArray& alias) const;
    // The dBASE tables (*.dbf in any case) in the alias's folder whose names
    // match the wildcard pattern, with their extensions, sorted without case.
    QStringList tables(const QByteArray& alias,
                       const QString& pattern = QStringLiteral("*.*")) const;

private:
    void write(const QByteArray& alias, const QList<QPair<QByteArray, QByteArray>>& entries);

    ini::IniFile file_;
};

} // namespace tirvon::log
