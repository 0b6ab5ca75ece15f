#pragma once

#include "ini/IniFile.h"
#include "log/AliasStore.h"

#include <QString>
#include <QStringList>

namespace tirvon::configurator {

// The log database as the database window works on it: the alias TIRVON_B,
// kept pointing at the program directory, the log tables under it and the
// choice of the station's log (key BASE). Failures of the alias store and of
// the tables are LogError with the engine's message; a table the running
// station holds is refused by the table engine itself.
class LogDatabase {
public:
    LogDatabase(ini::IniFile& file, QString programDirectory, QString aliasStorePath);

    // Adds the alias with the program directory and driver DBASE, or moves an
    // existing one to the program directory.
    void registerAlias();
    // The alias's parameters as "NAME=value" lines.
    QStringList aliasParameters() const;
    // The tables under the alias, with their extensions.
    QStringList tables() const;
    // BASE, "None" when no table was chosen.
    QByteArray chosenTable() const;

    // Why a table cannot be created under this name; empty when it can.
    QString nameProblem(const QString& name) const;
    bool exists(const QString& name) const;
    // The question asked before a table is replaced or deleted; it says so when
    // the table is the one BASE names.
    QString replaceQuestion(const QString& name) const;
    QString deleteQuestion(const QString& name) const;

    // A new empty log table, replacing a table of that name.
    void create(const QString& name);
    void remove(const QString& name);
    // Writes BASE = name.
    void choose(const QString& name);

private:
    QString pathOf(const QString& name) const;
    bool isChosen(const QString& name) const;

    ini::IniFile& file_;
    QString programDirectory_;
    log::AliasStore aliases_;
};

} // namespace tirvon::configurator
