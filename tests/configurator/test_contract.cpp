// Across the two programs: an installation set up only through the
// configurator's windows (log table, account, signal names, an object with a
// rule) drives the real station against the simulated modem. The operator logs
// in with the new account, a report of the new object is logged with the
// configured active-state name, and the object's rule sends its command.
#include "FileContent.h"
#include "ScriptedPrompt.h"
#include "TestDisplay.h"
#include "log/LogTable.h"
#include "settings/SettingsPanel.h"
#include "text/Cp1251.h"
#include "ui_TForm3.h"
#include "ui_TForm4.h"
#include "windows/TForm1.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::configurator;

namespace {

void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class ContractTest : public QObject {
    Q_OBJECT
private slots:
    void whatTheConfiguratorSetsUpTheStationRuns() {
        QTemporaryDir dir;
        const QString program = dir.path() + '/';
        const QString configHome = dir.filePath(QStringLiteral("config"));
        const QString aliases = configHome + QStringLiteral("/tirvon/aliases.ini");
        ini::IniFile file(program + QStringLiteral("Vave_vev.ini"));
        ScriptedPrompt prompt;

        // The log table: the alias follows the installation, a table is made and chosen.
        TForm4 database(file, prompt, program, aliases);
        database.FormShow();
        database.ui().Edit1->setText(QStringLiteral("journal"));
        database.ui().Button3->click();
        database.ui().ListBox1->setCurrentRow(0);
        database.ui().Button2->click();

        // The operator's account.
        TForm3 accounts(file, prompt);
        accounts.FormShow();
        accounts.ui().Edit01->setText(QStringLiteral("Оператор"));
        accounts.ui().Edit11->setText(QStringLiteral("pw"));
        accounts.ui().Button1->click();

        // Port and signal names: input 3 is the door.
        TForm1 main(file, prompt, program);
        SettingsPanel settings(file, prompt, program);
        main.attachSettingsPanel(&settings);
        main.show();
        settings.ui().Edit10->setText(QStringLiteral("Дверь"));
        settings.ui().Button9->click();

        // The object, with a rule that switches its siren on when the door opens.
        prompt.answers = {true};
        main.ui().Button1->click(); // "Новый Объект"
        main.ui().Edit4->setText(QStringLiteral("Касса"));
        main.ui().Edit5->setText(QStringLiteral("79160000003"));
        main.ui().Edit7->setText(QStringLiteral("4071"));
        choose(main.ui().ComboBox4, 2); // input 3
        main.ui().ComboBox5->setCurrentText(QStringLiteral("OPEN"));
        choose(main.ui().ComboBox6, 0); // relay 1
        main.ui().ComboBox7->setCurrentText(QStringLiteral("ON"));
        main.ui().CheckBox6->setChecked(true); // confirm
        main.ui().CheckBox7->setChecked(true); // active
        main.ui().Edit23->setText(QStringLiteral("Сирена"));
        main.ui().Button5->click();
        main.ui().Button2->click();
        QCOMPARE(prompt.messages,
                 QStringList{QStringLiteral("Bank1")}); // the add names its section
        QCOMPARE(file.readString("Bank1", "Action3", {}),
                 text::cp("IN3 OPEN::RELE1 ON !::1::Сирена"));

        // The station, from a copy in the program directory, on the simulated modem.
        QProcess modem;
        modem.start(QStringLiteral(GSM_SIM_PATH),
                    {QStringLiteral("--link"), dir.filePath(QStringLiteral("COM1")),
                     QStringLiteral("--received"), dir.filePath(QStringLiteral("received.bin"))});
        QVERIFY(modem.waitForReadyRead(10000) && modem.readLine().startsWith("READY"));
        QVERIFY(QFile::copy(QStringLiteral(VARTEL_PATH), program + QStringLiteral("vartel")));
        TestDisplay display;
        QVERIFY(display.start());
        QProcess station;
        display.startStation(station, program + QStringLiteral("vartel"), configHome);
        QVERIFY(station.waitForStarted());
        QVERIFY2(display.logIn(QStringLiteral("pw")), "the login window did not appear");
        const QString received = dir.filePath(QStringLiteral("received.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(contentOf(received).contains("at+cmgl=all\r\n"), 30000);

        modem.write("SMS +79160000003 26/12/09,10:00:00+12 10:00\\nIN3 OPEN\n");
        QTRY_VERIFY_WITH_TIMEOUT(
            contentOf(received).contains("at+cmgs=79160000003\r\n/4071 RELE1 ON !\r\n\x1a"), 30000);
        const auto table = log::LogTable::open(program + QStringLiteral("journal.dbf"),
                                               log::LogTable::Access::ReadOnly);
        QVERIFY(table->recordCount() >= 2);
        QCOMPARE(table->record(0).bank, text::cp("Касса"));
        QCOMPARE(table->record(0).mail, "> " + text::cp("Дверь OPEN\r"));
        QCOMPARE(table->record(0).admin, text::cp("Оператор"));
        QCOMPARE(table->record(1).mail, text::cp("Выполнение События: Сирена"));
        station.kill();
        station.waitForFinished(5000);
        modem.terminate();
        modem.waitForFinished(5000);
    }
};

QTEST_MAIN(ContractTest)
#include "test_contract.moc"
