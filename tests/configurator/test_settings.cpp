// The configurator's system settings: the apply's writes, the panel, the sounds
// and the modem test, against the simulated modem's model and against gsm-sim
// on a real pseudo-terminal.
#include "FileContent.h"
#include "ScriptedPrompt.h"
#include "SimulatedModem.h"
#include "TempIniFile.h"
#include "config/SystemSettings.h"
#include "serial/SerialPortLink.h"
#include "settings/SettingsPanel.h"
#include "text/Cp1251.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tirvon;
using namespace tirvon::configurator;
using text::cp;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A WAV file of the given length: 8 kHz, 8 bits, one channel.
QByteArray wav(int ms) {
    const quint32 data = quint32(ms) * 8;
    QByteArray bytes = "RIFF" + QByteArray(4, '\0') + "WAVEfmt ";
    const auto u32 = [](quint32 v) {
        return QByteArray(reinterpret_cast<const char*>(&v), 4);
    };
    bytes += u32(16) + QByteArray("\x01\x00\x01\x00", 4) + u32(8000) + u32(8000) +
             QByteArray("\x01\x00\x08\x00", 4) + "data" + u32(data) + QByteArray(int(data), '\x80');
    return bytes;
}

struct RecordingPlayer : SoundPlayer {
    void open(const QString& path) override { opened.append(path); }
    void play() override { ++plays; }
    void stop() override {}
    QStringList opened;
    int plays = 0;
};

struct Panel : TempIniFile {
    ScriptedPrompt prompt;
    SimulatedModemLink* link;
    SimulatedModemPump* pump;
    RecordingPlayer* player = new RecordingPlayer;
    std::unique_ptr<SettingsPanel> panel;

    explicit Panel(const QByteArray& ini = QByteArray(), gsmsim::ModemSettings modem = {})
        : TempIniFile(ini), link(new SimulatedModemLink(std::move(modem))),
          pump(new SimulatedModemPump(*link)) {
        QDir(dir.path()).mkpath(QStringLiteral("voice"));
        panel = std::make_unique<SettingsPanel>(
            file, prompt, dir.path() + '/', std::unique_ptr<serial::ModemLink>(link),
            std::unique_ptr<modem::EventPump>(pump), std::unique_ptr<SoundPlayer>(player));
        // The probe's timer ticks whenever the simulated modem has nothing to say.
        pump->silenceStepMs = ModemProbe::TickMs;
        pump->onSilence = [this] {
            panel->modemProbe().Timer1Timer();
        };
        panel->loadPortSettings();
        panel->loadSignalNames();
    }
    Ui::SettingsPanel& ui() { return panel->ui(); }
    QByteArray ini() { return contentOf(file.path()); }
};

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void aFreshFileShowsTheDefaultsAndAnApplyWritesThemAll() {
        Panel p;
        QCOMPARE(p.ui().ComboBox3->currentText(), QStringLiteral("9600"));
        QCOMPARE(p.ui().Edit2->text(), QStringLiteral("AT+CPMS=\"ME\",\"ME\",\"MT\""));
        QCOMPARE(p.ui().Edit76->text(), QStringLiteral("Реле1"));
        QCOMPARE(p.ui().Edit16->text(), QStringLiteral("Реле 1"));
        QCOMPARE(p.ui().Label8->text(), QStringLiteral("Имя входа в TIRVON"));
        QSignalSpy applied(p.panel.get(), &SettingsPanelBase::applied);
        p.ui().Button9->click();
        QCOMPARE(applied.size(), 1);
        QByteArray expected =
            "[BaseStation]\r\nBaudRate=9600\r\nDTRControl=0\r\nRTSControl=0\r\n"
            "COMPort=1\r\nInit1=AT+CMGF=1\r\nInit2=AT+CPMS=\"ME\",\"ME\",\"MT\"\r\n"
            "Init3=AT+CSNS=0\r\nInit4=AT+CLIP=1\r\n";
        for (int n = 1; n <= 8; ++n)
            expected += "IN" + QByteArray::number(n) + "_VN=" + cp("Вход ") +
                        QByteArray::number(n) + "\r\n";
        for (int n = 1; n <= 8; ++n)
            expected += "IN" + QByteArray::number(n) + "_SN=IN" + QByteArray::number(n) + "\r\n";
        for (int n = 1; n <= 8; ++n)
            expected +=
                "IN" + QByteArray::number(n) + "=" + cp("Вход ") + QByteArray::number(n) + "\r\n";
        expected += "RELE1_VN=" + cp("Реле1") + "\r\nRELE2_VN=" + cp("Реле2") + "\r\n";
        for (int n = 1; n <= 5; ++n)
            expected += "OUT" + QByteArray::number(n) + "_VN=" + cp("Выход") +
                        QByteArray::number(n) + "\r\n";
        expected += "RELE1_SN=RELE1\r\nRELE2_SN=RELE2\r\n";
        for (int n = 1; n <= 5; ++n)
            expected += "OUT" + QByteArray::number(n) + "_SN=OUT" + QByteArray::number(n) + "\r\n";
        expected += "RELE1=" + cp("Реле 1") + "\r\nRELE2=" + cp("Реле 2") + "\r\n";
        for (int n = 1; n <= 5; ++n)
            expected +=
                "OUT" + QByteArray::number(n) + "=" + cp("Выход ") + QByteArray::number(n) + "\r\n";
        expected += "TTIME=" + cp("Точки выдачи тестового сообщения") +
                    "\r\nBATTERY=" + cp("Внутренний аккумулятор") +
                    "\r\nPOWER=" + cp("Внешнее питание") + "\r\n";
        QCOMPARE(p.ini(), expected);
    }

    void aRenamedShortNameTakesTheActiveStateNameWithIt() {
        Panel p("[BaseStation]\r\nIN1=" + cp("Дверь") + "\r\nRELE2_SN=R2\r\nR2=" + cp("Сирена") +
                "\r\n");
        QCOMPARE(p.ui().Edit8->text(), QStringLiteral("Дверь"));
        QCOMPARE(p.ui().Edit17->text(), QStringLiteral("Сирена")); // under relay 2's own name
        p.ui().Edit29->setText(QStringLiteral("D1"));
        p.ui().Edit8->setText(QStringLiteral("Дверь 1"));
        p.ui().Button9->click();
        ini::IniFile& f = p.file;
        QCOMPARE(f.readString("BaseStation", "IN1_SN", ""), QByteArray("D1"));
        QCOMPARE(f.readString("BaseStation", "D1", ""), cp("Дверь 1"));
        QCOMPARE(f.readString("BaseStation", "IN1", ""), cp("Дверь")); // the old entry stays
    }

    void aFieldThatIsNoNumberStopsTheApplyWhereItStands_data() {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("baud rate") << "96OO"
                                   << "1"
                                   << "'96OO' is not a valid integer value"
                                   << QByteArray("[BaseStation]\r\nInit1=old\r\n");
        QTest::newRow("port") << "19200"
                              << "COM2"
                              << "'COM2' is not a valid integer value"
                              << QByteArray("[BaseStation]\r\nInit1=old\r\nBaudRate=19200\r\n"
                                            "DTRControl=1\r\nRTSControl=0\r\n");
    }
    void aFieldThatIsNoNumberStopsTheApplyWhereItStands() {
        QFETCH(QString, baud);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QByteArray, written);
        Panel p("[BaseStation]\r\nInit1=old\r\n");
        QSignalSpy applied(p.panel.get(), &SettingsPanelBase::applied);
        p.panel->show();
        p.ui().ComboBox3->setCurrentText(baud);
        p.ui().ComboBox2->setCurrentText(port);
        p.ui().CheckBox1->setChecked(true);
        p.ui().Edit1->setText(QStringLiteral("new"));
        p.ui().Button8->click(); // "Ок": the panel stays open
        QCOMPARE(p.prompt.messages.last(), message);
        QCOMPARE(p.ini(), written);
        QCOMPARE(applied.size(), 0);
        QVERIFY(p.panel->isVisible());
    }

    void theSoundsStoreBareNamesAndKeepTheirFileOnACancel() {
        Panel p("[BaseStation]\r\nVoice2=door.wav\r\n");
        writeFile(p.dir.filePath(QStringLiteral("voice/door.wav")), wav(1500));
        p.panel->show(); // the first sound, absent: alarm2.wav, which is missing too
        QCOMPARE(p.prompt.messages.size(), 1);
        QVERIFY(p.prompt.messages[0].startsWith(QStringLiteral("Путь к воспроизводимому файлу")));
        p.ui().ComboBox8->setCurrentIndex(1);
        p.panel->ComboBox8Change();
        QCOMPARE(p.player->opened, QStringList{p.dir.filePath(QStringLiteral("voice/door.wav"))});
        QCOMPARE(p.ui().Label31->text(), QLocale().toString(1.5) + QStringLiteral(" сек"));

        // A file from another folder is stored by its bare name.
        QTemporaryDir elsewhere;
        writeFile(elsewhere.filePath(QStringLiteral("bell.wav")), wav(250));
        p.prompt.pickedFile = elsewhere.filePath(QStringLiteral("bell.wav"));
        p.ui().SpeedButton1->click();
        QCOMPARE(p.prompt.pickedIn.last(),
                 p.dir.filePath(QStringLiteral("voice")) + "|Windows Media File (*.wav)");
        QCOMPARE(p.file.readString("BaseStation", "Voice2", ""), QByteArray("bell.wav"));
        QCOMPARE(p.ui().Label38->text(), p.prompt.pickedFile);
        // A cancelled dialog writes the name of the file the player holds.
        p.prompt.pickedFile.clear();
        p.ui().ComboBox8->setCurrentIndex(7);
        p.ui().SpeedButton1->click();
        QCOMPARE(p.file.readString("BaseStation", "Voice8", ""), QByteArray("bell.wav"));
    }

    void theLengthOfAWavFile_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("ms"); // -1: no WAV file
        QTest::newRow("whole") << wav(2000) << qint64(wav(2000).size()) << qint64(2000);
        QTest::newRow("only the head read")
            << wav(2000).left(64) << qint64(wav(2000).size()) << qint64(2000);
        QTest::newRow("cut short") << wav(2000).left(8044) << qint64(8044) << qint64(1000);
        QTest::newRow("no data chunk") << wav(10).left(36) << qint64(36) << qint64(-1);
        QTest::newRow("not a wav") << QByteArray("ID3\x03 mp3") << qint64(8) << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(0) << qint64(-1);
        QByteArray noRate = wav(100);
        noRate.replace(28, 4, QByteArray(4, '\0'));
        QTest::newRow("byte rate zero") << noRate << qint64(noRate.size()) << qint64(-1);
        QByteArray hugeChunk = wav(100).left(36) + "LIST" + QByteArray("\xff\xff\xff\xff", 4);
        QTest::newRow("chunk past the end") << hugeChunk << qint64(hugeChunk.size()) << qint64(-1);
    }
    void theLengthOfAWavFile() {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(qint64, ms);
        QCOMPARE(wavLengthMs(head, size).value_or(-1), ms);
    }

    void theModemTestTellsWhatAnswered_data() {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("echo on") << true << false << "Найден модем на COM10";
        QTest::newRow("echo off") << false << false << "Модем не найден!";
        QTest::newRow("error") << true << true << "Модем не найден!";
    }
    void theModemTestTellsWhatAnswered() {
        QFETCH(bool, echo);
        QFETCH(bool, error);
        QFETCH(QString, message);
        gsmsim::ModemSettings modem;
        modem.echoAtPowerOn = echo;
        if (error)
            modem.errorCommands = {"AT"};
        Panel p(QByteArray(), modem);
        p.ui().ComboBox2->setCurrentText(QStringLiteral("10"));
        const qint64 start = p.pump->now;
        p.ui().Button4->click();
        QCOMPARE(p.prompt.messages, QStringList{message});
        QCOMPARE(p.link->portName(), QStringLiteral("COM10"));
        QVERIFY(!p.link->isOpen());
        QCOMPARE(p.link->written, QByteArray("AT\r\n"));
        // An error result is waited out: four ticks of half a second.
        QCOMPARE(p.pump->now - start, error ? 4 * ModemProbe::TickMs : 0);
    }

    void aPortThatWillNotOpenIsToldInTheSerialLayersWords() {
        Panel p;
        p.link->refuseOpen = true;
        p.ui().Button4->click();
        QCOMPARE(p.prompt.messages, QStringList{p.link->errorString()});
        QCOMPARE(p.link->written, QByteArray());
    }

    // The real serial link on gsm-sim: found; and while the station holds the
    // port, the test is refused and takes none of its replies.
    void theModemTestOnARealPortLeavesTheStationsPortAlone() {
        QTemporaryDir dir;
        QProcess modem;
        modem.start(QStringLiteral(GSM_SIM_PATH),
                    {QStringLiteral("--link"), dir.filePath(QStringLiteral("COM1")),
                     QStringLiteral("--received"), dir.filePath(QStringLiteral("received.bin")),
                     QStringLiteral("--no-stdin")});
        QVERIFY(modem.waitForReadyRead(10000) && modem.readLine().startsWith("READY"));
        const QString programDirectory = dir.path() + '/';
        ScriptedPrompt prompt;
        TempIniFile ini;
        SettingsPanel panel(ini.file, prompt, programDirectory);
        panel.ui().ComboBox2->setCurrentText(QStringLiteral("1"));
        panel.ui().Button4->click();
        QCOMPARE(prompt.messages, QStringList{QStringLiteral("Найден модем на COM1")});

        serial::SerialPortLink station(programDirectory);
        QVERIFY(station.open(QStringLiteral("COM1")));
        panel.ui().Button4->click();
        // Refused in the serial layer's words, before anything was sent.
        QCOMPARE(prompt.messages.size(), 2);
        QVERIFY(!prompt.messages.last().contains(QStringLiteral("одем")));
        QVERIFY(station.isOpen());
        QSignalSpy answered(&station, &serial::ModemLink::charactersReceived);
        station.write("ATZ\r\n");
        QVERIFY(answered.wait(5000));
        QCOMPARE(contentOf(dir.filePath(QStringLiteral("received.bin"))),
                 QByteArray("AT\r\nATZ\r\n"));
        modem.terminate();
        modem.waitForFinished(5000);
    }
};

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
