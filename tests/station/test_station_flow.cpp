// Start-up as in service (login, modem initialisation, log), events through
// addtables, the archive copy, and the object list's commands.
#include "StationFixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray accounts = "[BaseStation]\r\nUSER1=" + text::cp("Сидоров") +
                            "::7:::\r\n"
                            "USER2=None::None:::None\r\n"
                            "[Bank1]\r\nName=" +
                            text::cp("Вокзал") +
                            "\r\nPhone=79160000001\r\nlArm=" + text::cp("Снят с охраны") +
                            "\r\n"
                            "[Bank2]\r\nName=Port\r\nPhone=79160000002\r\n";

QByteArray today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yy")).toLatin1();
}

} // namespace

class StationFlowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpLogsInInitialisesTheModemAndOpensTheLog() {
        WindowedStation s(accounts);
        s.loginName = text::cp("Сидоров");
        s.loginPassword = "7";
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages, QStringList());
        QCOMPARE(s.loginShown, 1);
        QCOMPARE(s.form3().ui().ComboBox1->count(), 1);
        QCOMPARE(s.form1->currentOperator(), QStringLiteral("Сидоров"));
        QCOMPARE(s.panel(StatusPanels::Operator), QStringLiteral("Текущий администратор: Сидоров"));
        QCOMPARE(s.panel(StatusPanels::ModemName), QStringLiteral("GSMSIM-VIRTUAL-1"));
        QCOMPARE(s.ui().ProgressBar1->value(), 83);
        QCOMPARE(s.form7().ui().Gauge1->value(), 100);
        QCOMPARE(s.form7().resultLine(), QStringLiteral("Найден модем: GSMSIM-VIRTUAL-1 на COM1"));
        QCOMPARE(s.link->written.left(5), QByteArray("ATZ\r\n"));
        QVERIFY(s.form1->eventLog().isOpen());
        QVERIFY(s.form1->timer1().isActive());
    }

    void aWrongPasswordIsToldAndTheOperatorStaysUnset() {
        WindowedStation s(accounts);
        s.loginName = text::cp("Сидоров");
        s.loginPassword = "8";
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages,
                 QStringList{QStringLiteral("Пользователь не зарегистрирован!")});
        // The start-up's safety net names the records' operator.
        QCOMPARE(s.form1->currentOperator(), QStringLiteral("Пользователь"));
        QCOMPARE(s.panel(StatusPanels::Operator), QString());
    }

    void withoutTheLogAliasOnlyCancelRemains() {
        WindowedStation s(accounts, false);
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages.value(0),
                 QStringLiteral("Алиас лог базы не найден, создайте в конфигураторе новую базу"));
        QVERIFY(!s.form3().ui().SpeedButton1->isEnabled());
        QCOMPARE(s.form1->currentOperator(), QStringLiteral("Пользователь"));
    }

    void aLogNamedNoneCountsAsNoLog() {
        WindowedStation s(accounts + "[BaseStation]\r\n", true);
        ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
            .writeString("BaseStation", "BASE", "None");
        s.form1->FormShow();
        QVERIFY(!s.form3().ui().SpeedButton1->isEnabled());
    }

    void cancellingTheLoginAsksToCloseTheProgram() {
        WindowedStation s(accounts);
        s.form1->setModalRunner([&s](QDialog& dialog) {
            if (&dialog == &s.form3()) {
                s.prompt.answers = {false, true};
                s.form3().ui().SpeedButton2->click(); // declined: the login stays
                s.form3().ui().SpeedButton2->click(); // confirmed: the program ends
            } else {
                QFAIL("the modem initialisation must not start after the end");
            }
        });
        QSignalSpy ended(s.form1, &TForm1::programEnded);
        s.form1->FormShow();
        QCOMPARE(s.prompt.questions.size(), 2);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(s.link->written, QByteArray());
        QVERIFY(!s.form1->timer1().isActive());
    }

    void aModemWithEchoOffEndsTheProgram() {
        WindowedStation s(accounts);
        s.link->model.feed("ATE0\r");
        QSignalSpy ended(s.form1, &TForm1::programEnded);
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages, QStringList{QStringLiteral("Модем не найден!")});
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
        QVERIFY(!s.link->isOpen());
        QVERIFY(!s.form1->timer1().isActive());
    }

    void eachFormOfAddtablesAddsExactlyOneRecord() {
        WindowedStation s(accounts);
        s.loginName = text::cp("Сидоров");
        s.loginPassword = "7";
        s.form1->FormShow();
        s.form1->addtables("lIN3", "OPEN", text::cp("Вокзал"), "09.12.26", "12:32:05", "12:32:00",
                           "> IN3 OPEN");
        s.form1->addtables("", "Act", "Port", today(), "00:00:00", "13:00:01",
                           text::cp("< Постановка"));
        s.form1->addtables("", "other", "Port", today(), "00:00:00", "13:00:02", "nothing");
        const QList<log::LogRecord> records = s.records();
        QCOMPARE(records.size(), 2);
        const log::LogRecord first{text::cp("Вокзал"), "12:32:05", "12:32:00",         "09.12.26",
                                   "> IN3 OPEN",       false,      text::cp("Сидоров")};
        QCOMPARE(records[0], first);
        QCOMPARE(records[1].mail, text::cp("< Постановка"));
        QCOMPARE(records[1].time, QByteArray("00:00:00"));
        QVERIFY(!records[1].alarm);
        QCOMPARE(ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
                     .readString("Bank1", "lIN3", ""),
                 QByteArray("OPEN"));
        QCOMPARE(s.ui().ListView1->topLevelItem(0)->text(1),
                 QStringLiteral("> IN3 OPEN/09.12.26/12:32:00"));
        // The panel holds the object of the latest event.
        QCOMPARE(s.form2().ui().lName->text(), QStringLiteral("Port"));
        QCOMPARE(s.ui().DBGrid1->model()->rowCount(), 2);
        QCOMPARE(s.ui().DBGrid1->model()->index(1, 4).data().toString(),
                 QStringLiteral("< Постановка"));
    }

    void anAlarmThenAnArmingShowsRedThenGreenAndAsksForTheArmingSound() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->f2update(text::cp("Вокзал"));
        s.form1->addtables("lIN1", "OPEN", text::cp("Вокзал"), "09.12.26", "12:00:00", "12:00:00",
                           text::cp("Тревога!!! Вход 1 OPEN"));
        QCOMPARE(s.ui().ListView1->topLevelItem(0)->data(0, StateIconRole).toInt(),
                 int(StateIcon::Alarm));
        s.form1->addtables("lArm", text::cp("На охране"), text::cp("Вокзал"), "09.12.26",
                           "12:01:00", "12:01:00", "> ARM");
        QCOMPARE(s.ui().ListView1->topLevelItem(0)->data(0, StateIconRole).toInt(),
                 int(StateIcon::Armed));
        QVERIFY(s.form1->sounds().armed);
        QCOMPARE(s.form2().armingText(), QStringLiteral("На охране"));
    }

    void aMissingLogTableIsToldAndEventsFailWithoutLosingWhatWasWritten() {
        WindowedStation s(accounts);
        ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
            .writeString("BaseStation", "BASE", "gone.dbf");
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages.size(), 1);
        QVERIFY(s.prompt.messages[0].contains(QStringLiteral("gone.dbf")));
        QVERIFY(s.form1->timer1().isActive());
        QVERIFY_THROWS_EXCEPTION(
            log::LogError, s.form1->addtables("lIN1", "OPEN", "Port", "09.12.26", "1", "2", "x"));
        QVERIFY(!ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
                     .valueExists("Bank2", "lIN1"));
    }

    void theArchiveStopsThePollingCopiesTheLogAndGoesOn() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->setClock([] { return QDateTime(QDate(2026, 12, 8), QTime(23, 59)); });
        s.form1->addtables("", "Act", "Port", "08.12.26", "", "23:00:00", "first");
        const qint64 before = s.pump->now;
        s.form1->N16Click();
        QCOMPARE(s.pump->now - before, 5000);
        const QString archive = s.dir.filePath(QStringLiteral("AB_08_12_2026.dbf"));
        auto copy = log::LogTable::open(archive, log::LogTable::Access::ReadOnly);
        QCOMPARE(copy->recordCount(), 1);
        QCOMPARE(copy->record(0).time, QByteArray("No Name"));
        copy.reset();
        QVERIFY(s.link->isOpen());
        QVERIFY(s.form1->timer1().isActive());
        QCOMPARE(s.ui().DBGrid1->model()->rowCount(), 1);
        // A second archive on the same day replaces the first.
        s.form1->addtables("", "Act", "Port", "08.12.26", "23:10:00", "23:10:00", "second");
        s.form1->N16Click();
        QCOMPARE(log::LogTable::open(archive, log::LogTable::Access::ReadOnly)->recordCount(), 2);
        QCOMPARE(s.records().size(), 2); // the log keeps every record
        QCOMPARE(TForm1::archiveName(QDate(2027, 1, 5)), QStringLiteral("AB_05_01_2027"));
    }

    void closingDuringTheCopysWaitEndsWithoutACopy() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->addtables("", "Act", "Port", "08.12.26", "", "23:00:00", "kept");
        QSignalSpy ended(s.form1, &TForm1::programEnded);
        s.pump->duringWait = [&s] {
            s.prompt.answers = {true};
            s.form1->close();
        };
        s.form1->N16Click();
        QCOMPARE(ended.size(), 1);
        QVERIFY(!s.form1->eventLog().isOpen());
        QVERIFY(!s.link->isOpen());
        QVERIFY(!s.form1->timer1().isActive());
        QVERIFY(QDir(s.dir.path()).entryList({QStringLiteral("AB_*")}).isEmpty());
        QCOMPARE(s.records().size(), 1);
    }

    void aPortThatWillNotReopenAfterTheCopyStopsThePolling() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        // The copy reopens the port it closed, whatever the file says by now.
        ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
            .writeString("BaseStation", "COMPort", "4");
        s.form1->N16Click();
        QCOMPARE(s.link->portName(), QStringLiteral("COM1"));
        s.link->refuseOpen = true;
        s.form1->N16Click();
        QVERIFY(!s.form1->timer1().isActive());
        QCOMPARE(s.panel(StatusPanels::SystemInfo),
                 QStringLiteral("Невозможно открыть порт COM1!"));
        QVERIFY(
            s.prompt.messages.last().startsWith(QStringLiteral("Невозможно открыть порт COM1!")));
    }

    void aChangeOfUserReplacesTheOperator() {
        WindowedStation s(accounts + "[BaseStation]\r\n");
        ini::IniFile(s.dir.filePath(QStringLiteral("Vave_vev.ini")))
            .writeString("BaseStation", "USER2", "Kim::k:::");
        s.form1->FormShow();
        s.loginName = "Kim";
        s.loginPassword = "k";
        s.form1->N9Click();
        QCOMPARE(s.form1->currentOperator(), QStringLiteral("Kim"));
        s.form1->addtables("", "Act", "Port", "09.12.26", "00:00:00", "10:00:00", "x");
        QCOMPARE(s.records().last().admin, QByteArray("Kim"));
    }

    void acknowledgingLogsWhoTookWhichAlarmAndTheStatisticsCountOnlyTheAlarm() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30)); });
        s.form1->BitBtn1Click(); // nothing to acknowledge
        QCOMPARE(s.records().size(), 0);
        s.form1->addtables("", "Act", "Port", "09.12.26", "10:00:00", "09:59:00",
                           text::cp("Тревога!!! Дверь OPEN\r"));
        for (const QString& text : {QStringLiteral("Тревога!!! Дверь OPEN"),
                                    QStringLiteral("Тревога!!! Удар > Постановка на охрану")})
            new QTreeWidgetItem(s.ui().ListView2, {QStringLiteral("Port"), text, QString()});
        s.ui().BitBtn1->click();
        QCOMPARE(s.ui().ListView2->topLevelItemCount(), 1);
        QCOMPARE(s.ui().ListView2->topLevelItem(0)->text(1).left(16),
                 QStringLiteral("Тревога!!! Удар "));
        s.ui().BitBtn1->click();
        QCOMPARE(s.ui().ListView2->topLevelItemCount(), 0);
        QVERIFY2(s.prompt.messages.isEmpty(), qPrintable(s.prompt.messages.join('\n')));
        const QList<log::LogRecord> records = s.records();
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[1], (log::LogRecord{"Port", "10:20:30", "10:20:30", "09.12.26",
                                             text::cp("Принята тревога: Дверь OPEN"), false,
                                             text::fromUnicode(s.form1->currentOperator())}));
        QCOMPARE(records[2].mail, text::cp("Принята тревога: Удар >постановка на охрану"));

        s.form1->N8Click();
        QVERIFY(s.form5().isVisible());
        s.form5().ui().CheckBox1->setChecked(true);
        s.form5().ui().CheckBox2->setChecked(true);
        s.form5().ui().CheckBox7->setChecked(true);
        s.form5().Button1Click();
        QCOMPARE(s.form5().ui().Count7->text(), QStringLiteral("1"));
        QCOMPARE(s.form5().ui().Count8->text(), QStringLiteral("0"));
        QCOMPARE(s.form5().ui().Count16->text(), QStringLiteral("0"));
    }

    void thePopUpLoadsTheSelectedObjectAndKeepsTheLastOneWithoutSelection() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->PopupMenu1Popup();
        QCOMPARE(s.ui().N41->text(), QStringLiteral("Объект78"));
        s.ui().ListView1->setCurrentItem(s.ui().ListView1->topLevelItem(1));
        s.form1->PopupMenu1Popup();
        QCOMPARE(s.ui().N41->text(), QStringLiteral("Port"));
        QCOMPARE(s.form2().ui().lName->text(), QStringLiteral("Port"));
        s.ui().ListView1->clearSelection();
        s.form1->PopupMenu1Popup();
        QCOMPARE(s.ui().N41->text(), QStringLiteral("Port"));
        s.ui().N41->trigger();
        QVERIFY(s.form2().isVisible());
    }

    void theControlPanelOpensOnlyForASelectedRow() {
        WindowedStation s(accounts);
        s.form1->FormShow();
        s.form1->N12Click();
        QVERIFY(!s.form2().isVisible());
        s.ui().ListView1->setCurrentItem(s.ui().ListView1->topLevelItem(0));
        s.form1->ListView1DblClick();
        QVERIFY(s.form2().isVisible());
        QCOMPARE(s.form2().windowTitle(), QStringLiteral("Вокзал"));
        QCOMPARE(s.form2().ui().lPhone->text(), QStringLiteral("79160000001"));
    }

    void anUnreadableSignalQualityIsToldAfterTheTickOnceAtATime() {
        WindowedStation s(accounts);
        s.form1->csq("at+csq\r\r\n+CSQ: 1x,99\r\n\r\nOK\r\n");
        s.form1->csq("at+csq\r\r\n+CSQ: 1x,99\r\n\r\nOK\r\n");
        QVERIFY(s.prompt.messages.isEmpty());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(s.prompt.messages,
                 QStringList{QStringLiteral("'1x' is not a valid integer value")});
        QCOMPARE(s.ui().ProgressBar1->value(), 0);
    }
};

QTEST_MAIN(StationFlowTest)
#include "test_station_flow.moc"
