// The files the build ships beside the programs: a voice folder whose sounds
// the players can read and the ear can tell apart, and the user guide.
#include "FileContent.h"
#include "settings/SoundPlayer.h"

#include <QDir>
#include <QSet>
#include <QTest>

class ShippedFilesTest : public QObject {
    Q_OBJECT
private slots:
    void everySoundIsAWavFileOfItsOwn() {
        const QDir voice(QStringLiteral(VOICE_DIR));
        const QStringList names = {"alarm.wav",  "outgoing.wav", "incoming.wav", "battery.wav",
                                   "power.wav",  "armed.wav",    "disarmed.wav", "call.wav",
                                   "notest.wav", "beep.wav",     "alarm2.wav"};
        QSet<QByteArray> distinct;
        for (const QString& name : names) {
            const QByteArray bytes = contentOf(voice.filePath(name));
            QVERIFY2(tirvon::configurator::wavLengthMs(bytes, bytes.size()).value_or(0) > 0,
                     qPrintable(name));
            distinct.insert(bytes);
        }
        QCOMPARE(distinct.size(), names.size());
    }

    void theGuideIsAPdfOfSeveralPages() {
        const QByteArray pdf = contentOf(QStringLiteral(HELP_PDF));
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.count("/Type /Page\n") >= 2); // the pages Qt's writer makes
    }
};

QTEST_GUILESS_MAIN(ShippedFilesTest)
#include "test_shipped_files.moc"
