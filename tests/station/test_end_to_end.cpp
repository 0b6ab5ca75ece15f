// The station against the simulated modem on a real pseudo-terminal: the real
// windows, serial link and event loop in this process, the polling driven tick
// by tick; and once the real program, as an operator starts it.
#include "ScriptedPrompt.h"
#include "modem/EventPump.h"
#include "serial/SerialPortLink.h"
#include "windows/StationWindowSet.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program directory with Vave_vev.ini and the simulated modem linked as COM1.
struct ProgramDirectory {
    QTemporaryDir dir;
    QProcess modem;

    QString path() const { return dir.path() + '/'; }
    QString received() const { return dir.filePath(QStringLiteral("received.bin")); }

    bool start() {
        QFile ini(dir.filePath(QStringLiteral("Vave_vev.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write("[BaseStation]\r\nCOMPort=1\r\n[Bank1]\r\nName=ATM 1\r\nPhone=79160000001\r\n");
        ini.close();
        modem.start(QStringLiteral(GSM_SIM_PATH),
                    {QStringLiteral("--link"), dir.filePath(QStringLiteral("COM1")),
                     QStringLiteral("--received"), received(), QStringLiteral("--no-stdin")});
        return modem.waitForReadyRead(10000) && modem.readLine().startsWith("READY");
    }
    ~ProgramDirectory() {
        modem.terminate();
        modem.waitForFinished(5000);
    }
};

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void thePollingCycleTalksToTheModemByteForByte() {
        ProgramDirectory program;
        QVERIFY(program.start());
        ScriptedPrompt prompt;
        StationWindowSet windows(std::make_unique<TForm1>(
            program.path(), prompt, std::make_unique<serial::SerialPortLink>(program.path()),
            std::make_unique<modem::QtEventPump>()));
        TForm1& form1 = windows.form1();
        form1.FormShow();
        QVERIFY2(prompt.messages.isEmpty(), qPrintable(prompt.messages.join('\n')));
        QVERIFY(form1.timer1().isActive());
        form1.timer1().stop(); // the test gives the ticks

        const QByteArray list = "at+cmgl=all\r\n";
        const QByteArray csq = "at+csq\r\n";
        QByteArray expected;
        for (int tick = 1; tick <= 20; ++tick) {
            form1.Timer1Timer();
            if (tick == 5 || tick == 10 || tick == 15)
                expected += list;
            if (tick == 10)
                expected += csq;
            QCOMPARE(contentOf(program.received()), expected);
        }
        QCOMPARE(form1.statusPanels().text(StatusPanels::SystemInfo),
                 QStringLiteral("Обработка данных с модема в норме"));
        QCOMPARE(form1.statusPanels().text(StatusPanels::PortName), QStringLiteral("COM1"));
        QVERIFY(windows.form9().ui().Memo->toPlainText().contains(QStringLiteral("+CSQ: 17,99")));
    }

    void theProgramStartsPollingOnItsOwn() {
        ProgramDirectory program;
        QVERIFY(program.start());
        // The station's files lie beside its executable, so it runs from a copy.
        QVERIFY(
            QFile::copy(QStringLiteral(VARTEL_PATH), program.path() + QStringLiteral("vartel")));
        QProcess station;
        station.start(program.path() + QStringLiteral("vartel"), {});
        QVERIFY(station.waitForStarted());
        // The first listing comes at the fifth tick of the one-second timer.
        QTRY_VERIFY_WITH_TIMEOUT(contentOf(program.received()).contains("at+cmgl=all\r\n"), 20000);
        QCOMPARE(contentOf(program.received()), QByteArray("at+cmgl=all\r\n"));
        station.terminate();
        QVERIFY(station.waitForFinished(5000));
    }
};

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
