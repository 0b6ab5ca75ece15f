#include "ScriptedPrompt.h"
#include "TempIniFile.h"
#include "log/AliasStore.h"
#include "log/LogTable.h"
#include "ui_TForm4.h"
#include "windows/TForm4.h"

#include <QFile>
#include <QTest>

using namespace tirvon;
using namespace tirvon::configurator;

namespace {

QStringList items(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    return names;
}

void select(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    list->setCurrentItem(found.front());
}

void appendOne(log::LogTable& table) {
    table.append({"Bank", "10:00:00", "10:00:00", "01.02.24", "> IN1 OPEN", false, "op"});
}

// A program directory with its Vave_vev.ini and an alias store of its own.
struct Installation {
    TempIniFile ini{"[BaseStation]\r\n"};
    QTemporaryDir home;
    ScriptedPrompt prompt;
    QString programDirectory() const { return ini.dir.path() + QLatin1Char('/'); }
    QString storePath() const {
        return home.filePath(QStringLiteral(".config/tirvon/aliases.ini"));
    }
    QString table(const QString& name) const { return ini.dir.filePath(name); }
};

} // namespace

class LogDatabaseTest : public QObject {
    Q_OBJECT
private slots:
    void theFirstShowingAddsTheAliasAndTheInstallationMovesIt() {
        Installation at;
        TForm4 form(at.ini.file, at.prompt, at.programDirectory(), at.storePath());
        form.show(); // FormShow runs at every showing
        QCOMPARE(log::AliasStore(at.storePath()).folder(log::LogAlias), at.programDirectory());
        QCOMPARE(form.ui().Memo1->toPlainText(),
                 QStringLiteral("PATH=%1\nDEFAULT DRIVER=DBASE").arg(at.programDirectory()));
        QCOMPARE(form.ui().ListBox1->count(), 0);
        QCOMPARE(form.ui().Label2->text(), QStringLiteral("None"));
        form.hide();

        // The same store seen from an installation moved elsewhere.
        QTemporaryDir moved;
        const QString movedDirectory = moved.path() + QLatin1Char('/');
        log::LogTable::create(moved.filePath(QStringLiteral("old.dbf")));
        QFile(moved.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);
        TempIniFile movedIni("[BaseStation]\r\nBASE=old.dbf\r\n");
        TForm4 there(movedIni.file, at.prompt, movedDirectory, at.storePath());
        there.FormShow();
        QCOMPARE(log::AliasStore(at.storePath()).folder(log::LogAlias), movedDirectory);
        QCOMPARE(items(there.ui().ListBox1), QStringList{QStringLiteral("old.dbf")});
        QCOMPARE(items(there.ui().ListBox2), QStringList{QStringLiteral("old.dbf")});
        QCOMPARE(there.ui().Label2->text(), QStringLiteral("old.dbf"));
        QVERIFY(at.prompt.messages.isEmpty());
    }

    void createChooseAndDeleteAfterAsking() {
        Installation at;
        TForm4 form(at.ini.file, at.prompt, at.programDirectory(), at.storePath());
        form.FormShow();
        form.ui().Button3->click(); // Edit1 empty: nothing
        form.ui().Button2->click(); // nothing selected
        form.ui().Button4->click();
        QCOMPARE(at.prompt.messages,
                 QStringList(2, QStringLiteral("List index out of bounds (-1)")));
        QVERIFY(!at.ini.file.valueExists("BaseStation", "BASE"));
        at.prompt.messages.clear();

        form.ui().Edit1->setText(QStringLiteral("LOG"));
        form.ui().Button3->click();
        QCOMPARE(items(form.ui().ListBox1), QStringList{QStringLiteral("LOG.dbf")});
        QCOMPARE(log::LogTable::open(at.table(QStringLiteral("LOG.dbf")))->recordCount(), 0);
        QVERIFY(at.prompt.questions.isEmpty());

        select(form.ui().ListBox1, QStringLiteral("LOG.dbf"));
        form.ui().Button2->click();
        QCOMPARE(at.ini.file.readString("BaseStation", "BASE", {}), QByteArray("LOG.dbf"));
        QCOMPARE(form.ui().Label2->text(), QStringLiteral("LOG.dbf"));

        at.prompt.answers = {false};
        form.ui().Button4->click();
        QCOMPARE(at.prompt.questions.size(), 1);
        QVERIFY(at.prompt.questions[0].contains(QStringLiteral("«LOG.dbf»")));
        QVERIFY(at.prompt.questions[0].contains(QStringLiteral("база по умолчанию")));
        QVERIFY(QFile::exists(at.table(QStringLiteral("LOG.dbf"))));

        at.prompt.answers = {true};
        form.ui().Button4->click();
        QVERIFY(!QFile::exists(at.table(QStringLiteral("LOG.dbf"))));
        QCOMPARE(form.ui().ListBox1->count(), 0);
        QCOMPARE(at.ini.file.readString("BaseStation", "BASE", {}), QByteArray("LOG.dbf"));
        QVERIFY(at.prompt.messages.isEmpty());
    }

    void replacingAsksAndTheStationsLiveTableIsKept() {
        Installation at;
        log::LogTable::create(at.table(QStringLiteral("old.dbf")));
        log::LogTable::create(at.table(QStringLiteral("live.dbf")));
        appendOne(*log::LogTable::open(at.table(QStringLiteral("old.dbf"))));
        auto station = log::LogTable::open(at.table(QStringLiteral("live.dbf")));
        appendOne(*station);
        TForm4 form(at.ini.file, at.prompt, at.programDirectory(), at.storePath());
        form.FormShow();

        form.ui().Edit1->setText(QStringLiteral("old"));
        at.prompt.answers = {false};
        form.ui().Button3->click();
        QVERIFY(at.prompt.questions.value(0).contains(QStringLiteral("«old»")));
        QCOMPARE(log::LogTable::open(at.table(QStringLiteral("old.dbf")))->recordCount(), 1);
        at.prompt.answers = {true};
        form.ui().Button3->click();
        QCOMPARE(log::LogTable::open(at.table(QStringLiteral("old.dbf")))->recordCount(), 0);
        QVERIFY(at.prompt.messages.isEmpty());

        // The running station's table: asked, confirmed, refused by its lock.
        at.prompt.answers = {true, true};
        select(form.ui().ListBox1, QStringLiteral("live.dbf"));
        form.ui().Button4->click();
        form.ui().Edit1->setText(QStringLiteral("live.dbf"));
        form.ui().Button3->click();
        QCOMPARE(at.prompt.questions.size(), 4);
        QCOMPARE(at.prompt.messages.size(), 2);
        for (const QString& message : at.prompt.messages)
            QVERIFY2(message.contains(QStringLiteral("in use")), qPrintable(message));
        appendOne(*station); // the station goes on writing the same file
        station.reset();
        QCOMPARE(log::LogTable::open(at.table(QStringLiteral("live.dbf")))->recordCount(), 2);
    }

    void namesThatCouldNeverBeChosenAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* tag, const QString& name, bool accepted) {
            QTest::newRow(tag) << name << accepted;
        };
        row("plain", QStringLiteral("LOG"), true);
        row("extension in capitals", QStringLiteral("Log.DBF"), true);
        row("russian", QStringLiteral("Журнал 2024"), true);
        row("other extension", QStringLiteral("log.txt"), false);
        row("trailing dot", QStringLiteral("log."), false);
        row("hidden", QStringLiteral(".dbf"), false);
        row("parent folder", QStringLiteral("../log"), false);
        row("backslash", QStringLiteral("voice\\log"), false);
        row("outside code page", QStringLiteral("日志"), false);
    }
    void namesThatCouldNeverBeChosenAreRefused() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        Installation at;
        TForm4 form(at.ini.file, at.prompt, at.programDirectory(), at.storePath());
        form.FormShow();
        form.ui().Edit1->setText(name);
        form.ui().Button3->click();
        QCOMPARE(at.prompt.messages.isEmpty(), accepted);
        QCOMPARE(form.ui().ListBox1->count(), accepted ? 1 : 0);
    }
};

QTEST_MAIN(LogDatabaseTest)
#include "test_log_database.moc"
