#include "ScriptedPrompt.h"
#include "TempIniFile.h"
#include "settings/SettingsPanelBase.h"
#include "text/Cp1251.h"
#include "windows/TForm1.h"
#include "windows/TForm2.h"

#include <QFile>
#include <QTest>
#include <atomic>
#include <thread>

using namespace tirvon;
using namespace tirvon::configurator;
using tirvon::text::cp;

namespace {

class FakePanel : public SettingsPanelBase {
public:
    void loadPortSettings(const ini::IniDocument&) override { ++portLoads; }
    void loadSignalNames(const ini::IniDocument&) override { ++nameLoads; }
    int portGroupWidth() const override { return 300; }
    void apply() { emit applied(); }
    int portLoads = 0;
    int nameLoads = 0;
};

// A main window over a file of the given bytes, shown, which refreshes it.
struct Configurator {
    TempIniFile ini;
    ScriptedPrompt prompt;
    TForm1 form{ini.file, prompt, ini.dir.path() + '/'};

    explicit Configurator(const QByteArray& content) : ini(content) { form.show(); }
    Ui::TForm1& ui() { return form.ui(); }
    QByteArray bytes() const {
        QFile f(ini.file.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void clickLine(int row) {
        QListWidget* list = ui().ListBox1;
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
    }
};

const char* const TwoRules = "[Bank1]\r\nName=A\r\nAction3=IN1 OPEN::RELE1 ON::1::one\r\n"
                             "Action4=IN2 CLOSE::OUT1 OFF !::0::two\r\n"
                             "Action6=POWER FAULT::RELE2 ON::1::three\r\n";

} // namespace

class ConfiguratorWindowTest : public QObject {
    Q_OBJECT
private slots:
    void addOnAnEmptyFileCreatesBank1AndRefusesATwin() {
        Configurator c{QByteArray()};
        QCOMPARE(c.ui().ComboBox1->count(), 0);
        QTest::mouseClick(c.ui().Button1, Qt::LeftButton);
        QCOMPARE(c.prompt.messages, QStringList{QStringLiteral("Bank1")});
        const QByteArray once = c.bytes();
        QVERIFY(once.startsWith(cp("[Bank1]\r\nName=Новый Объект\r\nPhone=7\r\n")));
        QVERIFY(once.endsWith("lArm=?\r\nTALARM=-1\r\nTNOTTEST=05\r\nlTTIME=OFF\r\n"));
        QCOMPARE(c.ui().ComboBox1->currentText(), QStringLiteral("Новый Объект"));
        QCOMPARE(c.ui().Edit5->text(), QStringLiteral("7"));

        QTest::mouseClick(c.ui().Button1, Qt::LeftButton);
        QCOMPARE(c.prompt.messages.size(), 3);
        QCOMPARE(c.prompt.messages[1], QStringLiteral("Bank2"));
        QCOMPARE(c.prompt.messages[2], QStringLiteral("Объект  таким именем уже имеется!\n"
                                                      "Объекты не могут иметь одинаковые имена!"));
        QCOMPARE(c.bytes(), once);
    }

    void addWithEverySectionInUseWritesNothing() {
        QByteArray full;
        for (int n = 1; n <= 99; ++n)
            full += "[Bank" + QByteArray::number(n) + "]\r\nName=" + QByteArray::number(n) + "\r\n";
        Configurator c{full};
        QTest::mouseClick(c.ui().Button1, Qt::LeftButton);
        QCOMPARE(c.prompt.messages.size(), 1);
        QVERIFY(c.prompt.messages[0].contains(QStringLiteral("99")));
        QCOMPARE(c.bytes(), full);
    }

    void aRenamingSaveKeepsSectionRulesAndTheStationsLatestStates() {
        Configurator c{QByteArray(TwoRules) +
                       "lIN1=CLOSE\r\nTNEWTEST=09:00:00\r\n[Bank2]\r\nName=B\r\n"};
        QCOMPARE(c.ui().ComboBox1->currentText(), QStringLiteral("A"));
        QCOMPARE(c.ui().ListBox1->count(), 3);
        // The station writes a report's state while the object is open.
        c.ini.file.writeString("Bank1", "lIN1", "OPEN");
        c.ui().Edit4->setText(QStringLiteral("Банкомат"));
        c.ui().CheckBox10->setChecked(true);
        c.ui().CheckBox14->setChecked(true);
        c.ui().CheckBox18->setChecked(true);
        c.ui().ComboBox11->setCurrentIndex(1);
        c.ui().MaskEdit2->setText(QStringLiteral("8:30"));
        QTest::mouseClick(c.ui().Button2, Qt::LeftButton);

        const auto doc = c.ini.file.snapshot();
        QCOMPARE(doc->value("Bank1", "Name"), cp("Банкомат"));
        QCOMPARE(doc->value("Bank1", "SysTest"), QByteArray("IN1 ? IN5 ? RELE1 ?"));
        QCOMPARE(doc->value("Bank1", "lIN1"), QByteArray("OPEN"));
        QCOMPARE(doc->value("Bank1", "Action5"), QByteArray("POWER FAULT::RELE2 ON::1::three"));
        QVERIFY(!doc->hasKey("Bank1", "Action6"));
        QVERIFY(!doc->hasKey("Bank1", "TNEWTEST"));
        QCOMPARE(doc->value("Bank1", "lTTIME"), QByteArray("0.00:00 1.08:30 0.00:00 0.00:00"));
        QCOMPARE(c.ui().ComboBox1->currentText(), QStringLiteral("Банкомат"));
        QCOMPARE(c.ui().ComboBox1->itemText(0), QStringLiteral("Банкомат"));
    }

    void aReaderDuringABurstOfSavesAlwaysFindsTheObject() {
        Configurator c{QByteArray("[Bank1]\r\nName=A\r\nPhone=79001\r\n")};
        std::atomic<bool> saving = true;
        std::atomic<int> reads = 0, misses = 0;
        std::thread station([&] {
            // The station's own view of the file, as another program has it.
            ini::IniFile other(c.ini.file.path());
            while (saving) {
                if (other.readString("Bank1", "Phone", "none") != "79001")
                    ++misses;
                ++reads;
            }
        });
        for (int i = 0; i < 40; ++i)
            QTest::mouseClick(c.ui().Button2, Qt::LeftButton);
        saving = false;
        station.join();
        QVERIFY(reads > 0);
        QCOMPARE(misses.load(), 0);
    }

    void aNameNoObjectHasFillsNoFieldAndSavesNothing() {
        Configurator c{QByteArray("[Bank1]\r\nName=A\r\nPhone=123\r\nTALARM=0\r\n")};
        QVERIFY(!c.ui().CheckBox3->isChecked());
        c.ui().ComboBox1->setEditText(QStringLiteral("Z"));
        c.form.ComboBox1Change();
        QCOMPARE(c.ui().Edit5->text(), QStringLiteral("123"));
        QVERIFY(c.ui().CheckBox3->isChecked());
        const QByteArray before = c.bytes();
        QTest::mouseClick(c.ui().Button3, Qt::LeftButton);
        QVERIFY(c.prompt.questions.isEmpty());
        // The delete's refresh selects the first object again.
        QCOMPARE(c.ui().ComboBox1->currentText(), QStringLiteral("A"));
        c.ui().ComboBox1->setEditText(QStringLiteral("Z"));
        QTest::mouseClick(c.ui().Button2, Qt::LeftButton);
        QCOMPARE(c.bytes(), before);
    }

    void deleteAsksOncePerSectionOfTheName() {
        const QByteArray three = "[Bank1]\r\nName=A\r\n[Bank2]\r\nName=B\r\n[Bank3]\r\nName=A\r\n";
        Configurator refused{three};
        refused.prompt.answers = {false};
        QTest::mouseClick(refused.ui().Button3, Qt::LeftButton);
        QCOMPARE(
            refused.prompt.questions,
            QStringList{QStringLiteral("Вы действительно хотите удалить конфигурацию Объекта A")});
        QCOMPARE(refused.bytes(), three);

        Configurator c{three};
        c.prompt.answers = {true, true};
        QTest::mouseClick(c.ui().Button3, Qt::LeftButton);
        QCOMPARE(c.prompt.questions.size(), 2);
        QCOMPARE(c.bytes(), QByteArray("[Bank2]\r\nName=B\r\n"));
        QCOMPARE(c.ui().ComboBox1->count(), 1);
        QCOMPARE(c.ui().ComboBox1->currentText(), QStringLiteral("B"));
    }

    void theObjectWordFollowsARefresh() {
        Configurator c{QByteArray()};
        QCOMPARE(c.ui().GroupBox2->title(), QStringLiteral("Объекта"));
        QCOMPARE(c.ui().Label5->text(), QStringLiteral("Наименование Объектa"));
        c.ini.file.writeString("BaseStation", "Service", cp("Терминал"));
        FakePanel* panel = new FakePanel;
        c.form.attachSettingsPanel(panel);
        panel->apply();
        QCOMPARE(c.ui().N1->title(), QStringLiteral("Терминал"));
        QCOMPARE(c.ui().GroupBox2->title(), QStringLiteral("Терминала"));
        QCOMPARE(panel->portLoads, 1);
        QVERIFY(panel->isHidden());
        QVERIFY(c.form.width() >= 300 + c.ui().GroupBox2->width());
        c.ui().TButton1->trigger();
        QVERIFY(!panel->isHidden());
        QCOMPARE(panel->geometry(), c.ui().ClientArea->rect());
    }

    void menuWindowsGoThroughTheModalRunner() {
        Configurator c{QByteArray()};
        TForm2 about;
        QList<QDialog*> shown;
        c.form.setModalRunner([&](QDialog& d) { shown.append(&d); });
        c.ui().N7->trigger(); // no accounts window attached
        c.form.attachWindows(&about, nullptr, nullptr);
        c.ui().N2->trigger();
        QCOMPARE(shown, QList<QDialog*>{&about});
    }

    void rulesAreComposedShownChangedAndRenumbered() {
        Configurator c{QByteArray(TwoRules)};
        Ui::TForm1& ui = c.ui();
        // An alarm tick counts only while the source is an input.
        ui.CheckBox5->setChecked(true);
        c.choose(ui.ComboBox4, 10); // relay 1
        QVERIFY(!ui.CheckBox5->isEnabled());
        ui.Edit23->setText(QStringLiteral("Реле"));
        QTest::mouseClick(ui.Button5, Qt::LeftButton);
        QCOMPARE(ui.ListBox1->item(3)->text(), QStringLiteral("RELE1 ON::RELE1 ON::0::Реле"));

        ui.ListBox1->setCurrentRow(0);
        c.choose(ui.ComboBox4, 17); // time
        QVERIFY(ui.ComboBox5->isHidden());
        QVERIFY(!ui.RxSpinEdit1->isHidden());
        ui.RxSpinEdit1->setValue(7);
        ui.RxSpinEdit2->setValue(5);
        ui.RxSpinEdit3->setValue(9);
        ui.CheckBox7->setChecked(true);
        QTest::mouseClick(ui.Button6, Qt::LeftButton);
        QCOMPARE(ui.ListBox1->item(0)->text(), QStringLiteral("_TIME 07:05:09::RELE1 ON::1::Реле"));

        // Showing a rule: its state, not the list's first entry; its flags.
        c.clickLine(1);
        QCOMPARE(ui.ComboBox4->currentIndex(), 1);
        QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("CLOSE"));
        QCOMPARE(ui.ComboBox6->currentIndex(), 2);
        QCOMPARE(ui.ComboBox7->currentText(), QStringLiteral("OFF"));
        QVERIFY(ui.CheckBox6->isChecked());
        QVERIFY(!ui.CheckBox7->isChecked());
        QCOMPARE(ui.Edit23->text(), QStringLiteral("two"));
        QVERIFY(!ui.RxSpinEdit1->isVisibleTo(&c.form));

        QTest::mouseClick(ui.Button7, Qt::LeftButton);
        QTest::mouseClick(ui.Button2, Qt::LeftButton);
        const auto doc = c.ini.file.snapshot();
        QCOMPARE(rules::configuratorRules(*doc, "Bank1"),
                 (QList<QByteArray>{cp("_TIME 07:05:09::RELE1 ON::1::Реле"),
                                    "POWER FAULT::RELE2 ON::1::three",
                                    cp("RELE1 ON::RELE1 ON::0::Реле")}));
        QVERIFY(doc->hasKey("Bank1", "Action5"));
        QVERIFY(!doc->hasKey("Bank1", "Action6"));
    }

    void changeAndShowNeedARule() {
        Configurator c{QByteArray("[Bank1]\r\nName=A\r\n")};
        QTest::mouseClick(c.ui().Button6, Qt::LeftButton);
        c.form.ListBox1DblClick();
        QCOMPARE(c.prompt.messages,
                 QStringList(2, QStringLiteral("Выберите событие для изменения!")));
        QCOMPARE(c.ui().ListBox1->count(), 0);
    }
};

QTEST_MAIN(ConfiguratorWindowTest)
#include "test_configurator_window.moc"
