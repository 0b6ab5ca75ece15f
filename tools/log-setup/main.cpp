// Prepares the event log of a program directory, as the configurator's database
// window does: points the log alias at the folder and creates an empty log
// table there unless one exists. Used by the demo.
//   log-setup FOLDER TABLE
#include "log/AliasStore.h"
#include "log/LogError.h"
#include "log/LogTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace tirvon;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: log-setup FOLDER TABLE\n");
        return 2;
    }
    const QString folder = QDir(args[1]).absolutePath() + QLatin1Char('/');
    try {
        log::AliasStore aliases;
        if (aliases.exists(log::LogAlias))
            aliases.modifyPath(log::LogAlias, folder);
        else
            aliases.add(log::LogAlias, folder);
        const QString table = log::tablePath(folder, args[2]);
        if (!QFileInfo::exists(table))
            log::LogTable::create(table);
        std::printf("alias %s -> %s (in %s), log table %s\n", log::LogAlias, qPrintable(folder),
                    qPrintable(aliases.storePath()), qPrintable(table));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "log-setup: %s\n", e.what());
        return 1;
    }
    return 0;
}
