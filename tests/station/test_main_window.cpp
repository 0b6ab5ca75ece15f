#include "StationFixture.h"
#include "main/TextList.h"
#include "objects/ObjectRows.h"
#include "text/Cp1251.h"
#include "widgets/LedIndicator.h"
#include "widgets/LineIndicators.h"
#include "windows/StationWindowSet.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace tirvon;
using namespace tirvon::station;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpListsTheObjectsWithTheirStateIcons() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        QTreeWidget* list = s.ui().ListView1;
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("First"));
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Банкомат на Ленина"));
        QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("Last"));
        QCOMPARE(list->topLevelItem(0)->data(0, StateIconRole).toInt(), int(StateIcon::Disarmed));
        QCOMPARE(list->topLevelItem(1)->data(0, StateIconRole).toInt(), int(StateIcon::Alarm));
        QCOMPARE(list->topLevelItem(2)->data(0, StateIconRole).toInt(), int(StateIcon::Armed));
        QCOMPARE(list->topLevelItem(0)->text(1), QString());
        QVERIFY(!list->topLevelItem(0)->icon(0).isNull());
    }

    void anObjectWithoutNameOrStateIsListedAsNone() {
        WindowedStation s("[Bank2]\r\nPhone=7900\r\n");
        s.form1->FormShow();
        QCOMPARE(s.ui().ListView1->topLevelItemCount(), 1);
        QCOMPARE(s.ui().ListView1->topLevelItem(0)->text(0), QStringLiteral("None"));
        QCOMPARE(s.ui().ListView1->topLevelItem(0)->data(0, StateIconRole).toInt(),
                 int(StateIcon::Disarmed));
    }

    void theDefaultObjectWordGoesEverywhere() {
        WindowedStation s(QByteArray{});
        s.form1->FormShow();
        const QString word = QStringLiteral("Объект78");
        QCOMPARE(s.ui().N2->title(), word);
        QCOMPARE(s.ui().ListView1->headerItem()->text(0), word);
        QCOMPARE(s.ui().ListView2->headerItem()->text(0), word);
        QCOMPARE(s.ui().DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), word);
        QCOMPARE(s.ui().Label9->text(), word);
        // The appended letter is the Latin a.
        QCOMPARE(s.ui().Label10->text(), QStringLiteral("Наименование Объект78") + QChar(0x61));
        QCOMPARE(s.ui().N41->text(), word);
        QCOMPARE(s.form2().ui().GroupBox4->title(), QStringLiteral("Описание Объект78a"));
        QCOMPARE(s.form2().ui().Label1->text(), QStringLiteral("Имя Объект78a"));
        QCOMPARE(s.form5().ui().GroupBox1->title(), word);
        QCOMPARE(s.form1->station().reports().grid().headerData(1, Qt::Horizontal).toString(),
                 word);
        QCOMPARE(s.form8().ui().QRLabel2->text(), word);
        QCOMPARE(s.ui().ListView1->topLevelItemCount(), 0);
    }

    void aConfiguredObjectWordReplacesTheDefault() {
        WindowedStation s("[basestation]\r\nservice=" + text::cp("Терминал") + "\r\n");
        s.form1->FormShow();
        QCOMPARE(s.ui().N2->title(), QStringLiteral("Терминал"));
        QCOMPARE(s.ui().Label10->text(), QStringLiteral("Наименование Терминалa"));
    }

    void startUpOpensThePortAndStartsPolling() {
        WindowedStation s("[BaseStation]\r\nCOMPort=4\r\n");
        QVERIFY(!s.form1->timer1().isActive());
        s.form1->FormShow();
        QVERIFY(s.link->isOpen());
        QCOMPARE(s.link->portName(), QStringLiteral("COM4"));
        QCOMPARE(s.panel(StatusPanels::PortName), QStringLiteral("COM4"));
        QVERIFY(s.ui().GroupBox1->isHidden());
        QCOMPARE(s.form1->currentOperator(), QStringLiteral("Пользователь"));
        QVERIFY(s.form1->timer1().isActive());
        QCOMPARE(s.form1->timer1().interval(), 1000);
        QCOMPARE(s.form1->polling().count(), 0);
    }

    void aPortThatCannotBeOpenedEndsTheProgram() {
        WindowedStation s("[BaseStation]\r\nCOMPort=3\r\n");
        s.link->refuseOpen = true;
        QSignalSpy ended(s.form1, &TForm1::programEnded);
        s.form1->FormShow();
        QCOMPARE(s.prompt.messages, QStringList{QStringLiteral("Невозможно открыть порт COM3!")});
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
        QVERIFY(!s.form1->timer1().isActive());
    }

    void pollingTicksTalkToTheModem() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        s.form1->timer1().stop();
        s.link->written.clear();
        s.form9().ui().Memo->clear();
        for (int i = 1; i <= 4; ++i)
            s.form1->Timer1Timer();
        QCOMPARE(s.link->written, QByteArray());
        s.form1->Timer1Timer();
        QCOMPARE(s.link->written, QByteArray("at+cmgl=all\r\n"));
        QCOMPARE(s.panel(StatusPanels::SystemInfo),
                 QStringLiteral("Обработка данных с модема в норме"));
        QCOMPARE(s.form9().ui().Memo->toPlainText(), QStringLiteral("at+cmgl=all\n\nOK\n"));
        for (int i = 6; i <= 10; ++i)
            s.form1->Timer1Timer();
        QCOMPARE(s.link->written, QByteArray("at+cmgl=all\r\nat+cmgl=all\r\nat+csq\r\n"));
        QCOMPARE(s.ui().ProgressBar1->value(), 83);
    }

    void aTickWhileTheModemWorksIsSkipped() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        s.form1->timer1().stop();
        s.link->written.clear();
        s.form1->exchange().setSmsWork(true);
        for (int i = 1; i <= 6; ++i)
            s.form1->Timer1Timer();
        QCOMPARE(s.form1->polling().count(), 0);
        QCOMPARE(s.link->written, QByteArray());
    }

    void theStatusBarStartsWithItsEightPanels() {
        WindowedStation s(sampleIni);
        QCOMPARE(s.ui().StatusBar1->findChildren<QLabel*>().size(), 8);
        QCOMPARE(s.panel(StatusPanels::ModemLabel), QStringLiteral("Модем:"));
        QCOMPARE(s.panel(StatusPanels::ModemName), QStringLiteral("Неопределен"));
        QCOMPARE(s.panel(StatusPanels::PortLabel), QStringLiteral("Порт"));
        QCOMPARE(s.panel(StatusPanels::OutgoingLabel), QStringLiteral("Исх. события"));
        QCOMPARE(s.panel(StatusPanels::SystemInfo), QStringLiteral("Системная информация"));
        QCOMPARE(s.form1->statusPanels().label(StatusPanels::ModemName)->minimumWidth(), 150);
    }

    void panelSevenFollowsTheExchangesAndOnlyErrorsTurnTheBarRed() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        auto& exchange = s.form1->exchange();
        QStatusBar* bar = s.ui().StatusBar1;
        const auto isRedBold = [bar] {
            return bar->font().bold() &&
                   bar->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
        };
        const auto isBlackRegular = [bar] {
            return !bar->font().bold() &&
                   bar->palette().color(QPalette::WindowText) == QColor(0, 0, 0);
        };
        const QString error = QStringLiteral("Ошибка обработки данных с модема.");

        exchange.sendCommand("AT+UNKNOWN");
        QCOMPARE(s.panel(StatusPanels::SystemInfo), error);
        QVERIFY(isRedBold());
        // The watchdog changes the text, never the font: a line without "AT"
        // gets its echo and no answer.
        exchange.sendCommand("XX");
        QVERIFY(isRedBold());

        exchange.sendCommand("AT");
        QCOMPARE(s.panel(StatusPanels::SystemInfo),
                 QStringLiteral("Обработка данных с модема в норме"));
        QVERIFY(isBlackRegular());
        exchange.sendCommand("XX");
        QCOMPARE(s.panel(StatusPanels::SystemInfo), error);
        QVERIFY(isBlackRegular());
    }

    void theExchangeMonitorKeepsTheNewestLinesOnly() {
        WindowedStation s(sampleIni);
        QCOMPARE(s.form9().ui().Memo->toPlainText(), QStringLiteral("Memo"));
        for (int i = 0; i < 3000; ++i)
            s.form9().appendEntry("line " + QByteArray::number(i) + "\r\nnext\r");
        const QStringList lines = s.form9().ui().Memo->toPlainText().split('\n');
        QCOMPARE(lines.size(), TForm9::MaxLines);
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[lines.size() - 3], QStringLiteral("line 2999"));
        s.form9().appendEntry(text::cp("Тест"));
        QCOMPARE(s.form9().ui().Memo->document()->lastBlock().text(), QStringLiteral("Тест"));
    }

    void monitoringStateNamesTheObjectCountAndTheOperator() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        s.form1->N32Click();
        QCOMPARE(s.prompt.messages,
                 QStringList{QStringLiteral("Колличество объектов на текущий момент: 3\r\nТекущий "
                                            "пользователь: Пользователь\r\n")});
    }

    void cancellingTheClosingQuestionKeepsEverythingRunning() {
        WindowedStation s(sampleIni);
        s.form1->FormShow();
        QSignalSpy ended(s.form1, &TForm1::programEnded);
        s.form1->show();
        s.prompt.answers = {false};
        s.form1->N11Click();
        QCOMPARE(s.prompt.questions, QStringList{QStringLiteral(
                                         "Вы уверены что хотите закрыть программу мониторинга?")});
        QVERIFY(s.form1->isVisible());
        QVERIFY(s.form1->timer1().isActive());
        QVERIFY(s.link->isOpen());
        QCOMPARE(ended.size(), 0);

        s.prompt.answers = {true};
        s.form1->N11Click();
        QVERIFY(!s.form1->isVisible());
        QVERIFY(!s.form1->timer1().isActive());
        QVERIFY(!s.link->isOpen());
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
    }

    void notListAppendsLinesAndCreatesTheFile() {
        WindowedStation s(sampleIni);
        s.form1->NotList(QStringLiteral("notlist.txt"), text::cp("79001 первая"));
        s.form1->NotList(QStringLiteral("notlist.txt"), "second\r\n");
        QFile f(s.dir.filePath(QStringLiteral("notlist.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), text::cp("79001 первая") + "\r\nsecond\r\n\r\n");
        QVERIFY(QDir().mkpath(s.dir.filePath(QStringLiteral("taken.txt"))));
        QVERIFY_THROWS_EXCEPTION(TextListError, s.form1->NotList(QStringLiteral("taken.txt"), "x"));
    }

    void theListWindowShowsTheNonEmptyLinesOfAFile() {
        WindowedStation s(sampleIni);
        QFile f(s.dir.filePath(QStringLiteral("Alarm.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text::cp("Первая") + "\r\n\r\n" + text::cp("Вторая") + "\r\n");
        f.close();
        QVERIFY(s.form4().showList(QStringLiteral("Память тревог"), f.fileName()));
        QCOMPARE(s.form4().windowTitle(), QStringLiteral("Память тревог"));
        QCOMPARE(s.form4().ui().Memo1->toPlainText(), QStringLiteral("Первая\nВторая"));
        QVERIFY(
            !s.form4().showList(QStringLiteral("x"), s.dir.filePath(QStringLiteral("none.txt"))));
        QCOMPARE(s.form4().windowTitle(), QStringLiteral("Память тревог"));
    }

    void theMenusReachTheSoundTimerAndTheSmallWindows() {
        WindowedStation s(sampleIni);
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("voice")));
        QFile beep(s.dir.filePath(QStringLiteral("voice/beep.wav")));
        QVERIFY(beep.open(QIODevice::WriteOnly));
        beep.close();
        QVERIFY(s.form1->timer3().isActive());
        s.ui().N18->trigger();
        s.form1->sounds().incomingEvent = true;
        s.form1->Timer3Timer();
        QCOMPARE(s.player->played, QStringList());
        s.ui().N17->trigger();
        QVERIFY(!s.ui().N18->isChecked());
        s.form1->Timer3Timer();
        QCOMPARE(s.player->played, QStringList({beep.fileName()}));

        QFile alarms(s.dir.filePath(QStringLiteral("Alarm.txt")));
        QVERIFY(alarms.open(QIODevice::WriteOnly));
        alarms.write("<First><31.12.08>\r\n");
        alarms.close();
        s.ui().N26->trigger();
        QVERIFY(s.form4().isVisible());
        QCOMPARE(s.form4().windowTitle(), QStringLiteral("Память тревог"));
        QCOMPARE(s.form4().ui().Memo1->toPlainText(), QStringLiteral("<First><31.12.08>"));

        QDialog* shown = nullptr;
        s.form1->setModalRunner([&shown](QDialog& dialog) { shown = &dialog; });
        s.ui().N6->trigger();
        QCOMPARE(shown, static_cast<QDialog*>(&s.windows->form6()));
    }

    void theLedsFollowTheLine() {
        WindowedStation s(sampleIni);
        QVERIFY(!s.ui().ComLed7->isOn());
        s.form1->FormShow();
        QVERIFY(s.ui().ComLed7->isOn());
        s.link->signalState = {true, false, true, false};
        s.form1->findChild<LineIndicators*>()->refresh();
        QVERIFY(s.ui().ComLed1->isOn());
        QVERIFY(!s.ui().ComLed2->isOn());
        QVERIFY(s.ui().ComLed3->isOn());
        s.link->inject("x");
        QVERIFY(s.ui().ComLed6->isOn());
        QTRY_VERIFY_WITH_TIMEOUT(!s.ui().ComLed6->isOn(), 2000);
    }

    void theRingLightOpensTheReportsOnlyWithShiftCtrlAndAlt() {
        WindowedStation s(sampleIni);
        QTest::mouseRelease(s.ui().ComLed4, Qt::LeftButton,
                            Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(!s.form5().isVisible());
        QTest::mouseRelease(s.ui().ComLed4, Qt::LeftButton,
                            Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(s.form5().isVisible());
    }

    void menusCarryTheirShortcutsAndRadioGroups() {
        WindowedStation s(sampleIni);
        QCOMPARE(s.ui().N17->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(s.ui().N18->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
        QCOMPARE(s.ui().N20->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QVERIFY(s.ui().N23->isChecked());
        s.ui().N22->trigger();
        QVERIFY(!s.ui().N23->isChecked());
        QVERIFY(s.ui().N17->isChecked());
        s.ui().N18->trigger();
        QVERIFY(!s.ui().N17->isChecked());
        const QList<QAction*> popup = s.form1->popupMenu1().actions();
        QStringList tags;
        for (QAction* a : popup)
            tags << (a->isSeparator() ? QStringLiteral("-") : a->property("tag").toString());
        QCOMPARE(tags,
                 QStringList({"201", "-", "202", "203", "-", "204", "205", "206", "-", "207"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
