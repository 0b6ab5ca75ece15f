// Commands to controllers from the station: the outgoing queue on the wire,
// the control panel's buttons, and the event rules.
#include "StationFixture.h"
#include "commands/Commands.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray objects =
    "[BaseStation]\r\nUSER1=op::pw:::\r\n"
    "[Bank1]\r\nName=ATM\r\nPhone=79160000001\r\nPass=4071\r\nSysTest=IN1 ? IN5 ?\r\n"
    "[Bank2]\r\nName=Empty\r\nPhone=79160000002\r\nPass=\r\n"
    "[Bank3]\r\nName=Keyless\r\nPhone=79160000003\r\n"
    "[Bank4]\r\nName=Unpolled\r\nPhone=79160000004\r\nPass=1\r\n";

QDateTime pressedAt() {
    return QDateTime(QDate(2026, 12, 8), QTime(9, 5, 30));
}

struct Panel : WindowedStation {
    explicit Panel(const QByteArray& ini = objects) : WindowedStation(ini) {
        loginName = "op";
        loginPassword = "pw";
        form1->FormShow();
        form1->timer1().stop();
        form1->setClock(pressedAt);
        link->written.clear();
        link->writes.clear();
    }
    void load(const QByteArray& name) { form1->f2update(name); }
    QString outgoing() { return panel(StatusPanels::OutgoingCount); }
};

} // namespace

class CommandsStationTest : public QObject {
    Q_OBJECT
private slots:
    void oneQueueEntryOnTheWireByteForByte() {
        Panel p;
        p.form1->postsms("+79160000001", "/4071 ARM !");
        p.form1->sendsms();
        QCOMPARE(p.link->writes.size(), 2);
        QCOMPARE(p.link->writes[0].second, QByteArray("at+cmgs=+79160000001\r\n"));
        QCOMPARE(p.link->writes[1].second, QByteArray("/4071 ARM !\r\n\x1a\r\n"));
        QCOMPARE(p.link->writes[1].first - p.link->writes[0].first, 2000);
        QCOMPARE(p.link->model.sentMessages().size(), 1);
        QCOMPARE(p.link->model.sentMessages()[0].number, QByteArray("+79160000001"));
        QVERIFY(p.form1->sounds().outgoingEvent);
        QVERIFY(!p.form1->exchange().smsWork());
        QCOMPARE(p.panel(StatusPanels::SystemInfo),
                 QStringLiteral("Обработка данных с модема в норме"));
    }

    void panelFiveCountsTheQueue() {
        Panel p;
        QStringList shown;
        for (const char* number : {"+7001", "7002", "+7003"}) {
            p.form1->postsms(number, "x");
            shown << p.outgoing();
        }
        for (int i = 0; i < 3; ++i) {
            p.form1->sendsms();
            shown << p.outgoing();
        }
        QCOMPARE(shown, QStringList({"1", "2", "3", "2", "1", "0"}));
        // A number without "+" goes out without it.
        QVERIFY(p.link->written.contains("at+cmgs=7002\r\n"));
    }

    void aTextEndingWithAColonLeavesTheNextEntryWhole() {
        Panel p;
        p.form1->postsms("+7001", "/1 RELE1 ON:");
        p.form1->postsms("+7002", "/2 TEST");
        p.form1->sendsms();
        p.form1->sendsms();
        QCOMPARE(p.link->model.sentMessages()[0].text, QByteArray("/1 RELE1 ON:\r\n"));
        QCOMPARE(p.link->model.sentMessages()[1].number, QByteArray("+7002"));
        QCOMPARE(p.link->model.sentMessages()[1].text, QByteArray("/2 TEST\r\n"));
    }

    void aRefusedSendIsRemovedAndShownInRed() {
        Panel p;
        p.form1->postsms("", "/4071 ARM !"); // the modem refuses an empty number
        p.form1->sendsms();
        QVERIFY(p.form1->outgoingQueue().isEmpty());
        QCOMPARE(p.outgoing(), QStringLiteral("0"));
        QCOMPARE(p.panel(StatusPanels::SystemInfo),
                 QStringLiteral("Ошибка обработки данных с модема."));
        QVERIFY(p.ui().StatusBar1->font().bold());
    }

    void thePollingSendsOneEntryPerTick() {
        Panel p;
        p.form1->postsms("+7001", "a");
        p.form1->postsms("+7002", "b");
        p.form1->Timer1Timer();
        QCOMPARE(p.outgoing(), QStringLiteral("1"));
        p.form1->Timer1Timer();
        QCOMPARE(p.outgoing(), QStringLiteral("0"));
        QCOMPARE(p.form1->polling().count(), 0);
    }

    void armFromThePanelIsQueuedAndLogged() {
        Panel p;
        p.load("ATM");
        p.form2().ui().ARM->click();
        QCOMPARE(p.form1->outgoingQueue().size(), 1);
        QCOMPARE(p.form1->outgoingQueue().entries()[0].number, QByteArray("+79160000001"));
        QCOMPARE(p.form1->outgoingQueue().entries()[0].text, QByteArray("/4071 ARM !"));
        const log::LogRecord record = p.records().last();
        QCOMPARE(record.bank, QByteArray("ATM"));
        QCOMPARE(record.date, QByteArray("08.12.26"));
        QCOMPARE(record.time, QByteArray("00:00:00"));
        QCOMPARE(record.timeo, QByteArray("09:05:30"));
        QCOMPARE(record.mail, "< " + text::cp("Поставить объект на охрану"));
        QCOMPARE(record.admin, QByteArray("op"));
    }

    void everyButtonComposesItsCommand() {
        Panel p;
        p.load("ATM");
        const QList<QPair<int, QByteArray>> expected = {
            {202, "/4071 DISARM !"},    {203, "/4071 RELE1 ON !"},
            {206, "/4071 RELE2 OFF !"}, {209, "/4071 OUT3 ON !"},
            {216, "/4071 OUT5 OFF !"},  {500, "/4071 SETTIME 08.12.26.09:05 !"},
            {501, "/4071 TEST"},        {502, "/4071 IN1 ? IN5 ?"},
            {503, "/4071 LISTEN !"},    {504, "/4071 TTIME OFF !"}};
        for (const auto& [tag, text] : expected) {
            p.form2().buttonByTag(tag)->click();
            QCOMPARE(p.form1->outgoingQueue().entries().last().text, text);
        }
        QCOMPARE(p.records().last().mail,
                 "< " + text::cp("Выключение точек выдачи тестового сообщения"));
        QCOMPARE(p.records()[1].mail, "< " + text::cp("Реле 1 Включить"));
    }

    void anEmptyPasswordStillSendsAndNoPassKeySendsNothing() {
        Panel p;
        p.load("Empty");
        p.form2().ui().ARM->click();
        QCOMPARE(p.form1->outgoingQueue().entries().last().text, QByteArray("/ ARM !"));
        const int records = p.records().size();
        p.load("Keyless");
        p.form2().ui().ARM->click();
        p.form2().ui().SpeedButton5->click();
        QCOMPARE(p.form1->outgoingQueue().size(), 1);
        QCOMPARE(p.records().size(), records);
        QVERIFY(p.prompt.messages.isEmpty());
        QVERIFY(!ini::IniFile(p.dir.filePath(QStringLiteral("Vave_vev.ini")))
                     .valueExists("Bank3", "TNOTTEST"));
    }

    void settingTestPointsStoresTheToleranceSwitchingOffDoesNot() {
        Panel p;
        p.load("ATM");
        ini::IniFile file(p.dir.filePath(QStringLiteral("Vave_vev.ini")));
        p.form2().ui().SpeedButton6->click(); // Выключить
        QCOMPARE(p.form1->outgoingQueue().entries().last().text, QByteArray("/4071 TTIME OFF !"));
        QVERIFY(!file.valueExists("Bank1", "TNOTTEST"));
        p.form2().ui().MaskEdit5->setText(QStringLiteral("7"));
        p.form2().ui().CheckBox1->setChecked(true);
        p.form2().ui().SpeedButton5->click(); // Установить, four inactive points
        QCOMPARE(p.form1->outgoingQueue().entries().last().text, QByteArray("/4071 TTIME OFF !"));
        QCOMPARE(file.readString("Bank1", "TNOTTEST", ""), QByteArray("7"));
        QCOMPARE(file.readString("Bank1", "TALARM", ""), QByteArray("-1"));
        QCOMPARE(p.records().last().mail,
                 "< " + text::cp("Выключение точек выдачи тестового сообщения"));
        // Typed text in a day field is day kind -1.
        p.load("ATM");
        p.form2().ui().ComboBox1->setEditText(QStringLiteral("по будням"));
        p.form2().ui().MaskEdit1->setText(QStringLiteral("08:00"));
        p.form2().ui().ComboBox2->setCurrentIndex(1);
        p.form2().ui().MaskEdit2->setText(QStringLiteral("20:30"));
        // A digit left blank goes out as a blank: the field's five characters.
        p.form2().ui().MaskEdit3->setText(QStringLiteral("_8:30"));
        p.form2().ui().MaskEdit4->clear();
        p.form2().ui().CheckBox1->setChecked(false);
        p.form2().ui().SpeedButton5->click();
        QCOMPARE(p.form1->outgoingQueue().entries().last().text,
                 QByteArray("/4071 TTIME -1.08:00 1.20:30 0. 8:30 0.  :   !"));
        QCOMPARE(file.readString("Bank1", "TALARM", ""), QByteArray("0"));
        QCOMPARE(p.records().last().mail,
                 "< " + text::cp("Установка точек выдачи тестового сообщения"));
    }

    void thePopUpsSensorQueryWithoutPolledSignalsRefusesWhileThePanelIsHidden() {
        Panel p;
        p.ui().ListView1->setCurrentItem(p.ui().ListView1->topLevelItem(3));
        p.form1->PopupMenu1Popup();
        QVERIFY(!p.form2().isVisible());
        p.ui().N38->trigger();
        QCOMPARE(p.prompt.messages, QStringList{QStringLiteral("Не заданы элементы для опроса!")});
        QVERIFY(p.form1->outgoingQueue().isEmpty());
        // The pop-up's arming goes out for the object it loaded.
        p.ui().N5->trigger();
        QCOMPARE(p.form1->outgoingQueue().entries().last().text, QByteArray("/1 ARM !"));
        QVERIFY(!p.form2().isVisible());
    }

    void sensorInformationOpensTheListWindow() {
        Panel p;
        QFile info(p.dir.filePath(QStringLiteral("info.txt")));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write(text::cp("IN1 - дверь\r\n\r\nIN2 - окно\r\n"));
        info.close();
        QTest::mouseClick(p.form2().ui().Label4, Qt::LeftButton);
        QCOMPARE(p.form4().windowTitle(), QStringLiteral("Информация по датчикам"));
        QCOMPARE(p.form4().ui().Memo1->toPlainText(), QStringLiteral("IN1 - дверь\nIN2 - окно"));
    }
};

QTEST_MAIN(CommandsStationTest)
#include "test_commands_station.moc"
