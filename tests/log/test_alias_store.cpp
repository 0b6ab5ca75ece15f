#include "LogSamples.h"
#include "log/AliasStore.h"
#include "log/LogError.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::log;
using Parameters = QList<QPair<QByteArray, QByteArray>>;

class AliasStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    // A store in a folder that does not exist yet, as on a first run.
    QString freshStore() {
        return dir_.filePath(QStringLiteral("home%1/.config/tirvon/aliases.ini").arg(++serial_));
    }

private slots:
    void theDefaultStoreFollowsTheConfigurationFolder() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        const QString path = AliasStore::defaultPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, dir_.path() + QStringLiteral("/tirvon/aliases.ini"));
    }

    void aFirstRunAddsTheAliasForBothPrograms() {
        const QString path = freshStore();
        AliasStore configurator(path);
        QVERIFY(!configurator.exists(LogAlias));
        QVERIFY(configurator.folder(LogAlias).isEmpty());
        QVERIFY(configurator.parameters(LogAlias).isEmpty());
        configurator.add(LogAlias, QStringLiteral("/opt/tirvon"));

        const AliasStore station(path);
        QVERIFY(station.exists("tirvon_b"));
        QVERIFY(!station.exists("TIRVON"));
        QCOMPARE(station.folder("Tirvon_B"), QStringLiteral("/opt/tirvon/"));
        QCOMPARE(station.parameters(LogAlias),
                 (Parameters{{"PATH", "/opt/tirvon/"}, {"DEFAULT DRIVER", "DBASE"}}));
        QCOMPARE(samples::contentOf(path),
                 QByteArray("[TIRVON_B]\r\nPATH=/opt/tirvon/\r\nDEFAULT DRIVER=DBASE\r\n"));
    }

    void movingTheInstallationMovesTheAlias() {
        AliasStore store(freshStore());
        store.add(LogAlias, QStringLiteral("/opt/old/"));
        store.add("OTHER", QStringLiteral("/srv/other/"), "PARADOX");
        store.modifyPath("tirvon_b", QStringLiteral("/home/op/Пульт"));
        QCOMPARE(store.folder(LogAlias), QStringLiteral("/home/op/Пульт/"));
        QCOMPARE(store.parameters(LogAlias),
                 (Parameters{{"PATH", text::cp("/home/op/Пульт/")}, {"DEFAULT DRIVER", "DBASE"}}));
        QCOMPARE(store.parameters("other"),
                 (Parameters{{"PATH", "/srv/other/"}, {"DEFAULT DRIVER", "PARADOX"}}));
        QCOMPARE(samples::contentOf(store.storePath()).count("[TIRVON_B]"), 1);
    }

    void refusedChangesLeaveTheStoreAsItWas() {
        AliasStore store(freshStore());
        QVERIFY_THROWS_EXCEPTION(LogError, store.modifyPath(LogAlias, QStringLiteral("/x/")));
        QVERIFY(!store.exists(LogAlias));
        store.add(LogAlias, QStringLiteral("/opt/a/"));
        // Not a name the store's code page can hold.
        QVERIFY_THROWS_EXCEPTION(LogError,
                                 store.modifyPath(LogAlias, QStringLiteral("/opt/日本/")));
        QCOMPARE(store.folder(LogAlias), QStringLiteral("/opt/a/"));
    }

    void anUnwritableStoreIsReported() {
        const QString blocker = dir_.filePath(QStringLiteral("plain-file"));
        QVERIFY(samples::putContent(blocker, "not a folder"));
        AliasStore store(blocker + QStringLiteral("/tirvon/aliases.ini"));
        QVERIFY_THROWS_EXCEPTION(LogError, store.add(LogAlias, QStringLiteral("/opt/a/")));
    }

    void tablesAreTheDbaseFilesOfTheFolderSorted() {
        const QString folder = dir_.filePath(QStringLiteral("tables"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub.dbf")));
        for (const char* name : {"b.dbf", "A.DBF", "log.Dbf", "notes.txt", "noext", ".hidden.dbf",
                                 "statistica.dbf", "AB_01_02_2024.dbf"})
            QVERIFY(samples::putContent(folder + QLatin1Char('/') + QLatin1String(name), "x"));
        AliasStore store(freshStore());
        store.add(LogAlias, folder);
        QCOMPARE(store.tables(LogAlias),
                 QStringList({"A.DBF", "AB_01_02_2024.dbf", "b.dbf", "log.Dbf", "statistica.dbf"}));
        QCOMPARE(store.tables(LogAlias, QStringLiteral("L*.*")), QStringList({"log.Dbf"}));
        QVERIFY(store.tables("NOSUCH").isEmpty());
    }
};

QTEST_GUILESS_MAIN(AliasStoreTest)
#include "test_alias_store.moc"
