// Makes the voice folder shipped with the programs: beep.wav, alarm2.wav and one
// WAV file for each of the nine system sounds. Where espeak-ng is installed the
// sounds speak their Russian names; elsewhere each is a tone pattern of its own,
// so that every sound can still be told apart by ear.
//
//     voice-maker <folder>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Sound {
    const char* file;
    const char* words; // what espeak-ng says
    double hz;         // the tone otherwise
    int pulses;        // how many times it sounds
};

// The files named by the demo's Voice1..Voice9, then the two fallbacks.
constexpr Sound Sounds[] = {
    {"alarm.wav", "Тревога", 880, 6},
    {"outgoing.wav", "Исходящее событие", 523, 1},
    {"incoming.wav", "Входящее событие", 659, 1},
    {"battery.wav", "Разряд аккумулятора", 392, 3},
    {"power.wav", "Падение двести двадцать", 330, 4},
    {"armed.wav", "Постановка на охрану", 784, 2},
    {"disarmed.wav", "Снятие с охраны", 587, 2},
    {"call.wav", "Входящий вызов", 698, 3},
    {"notest.wav", "Тестовое сообщение не пришло вовремя", 440, 5},
    {"beep.wav", nullptr, 1000, 1},
    {"alarm2.wav", "Внимание, тревога", 932, 8},
};

constexpr int Rate = 22050;

QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// 16-bit mono PCM: pulses of 150 ms with 100 ms of silence between them.
QByteArray tone(double hz, int pulses) {
    QByteArray samples;
    const int on = Rate * 150 / 1000;
    const int off = Rate * 100 / 1000;
    for (int p = 0; p < pulses; ++p) {
        for (int i = 0; i < on; ++i) {
            const double fade = std::min({1.0, i / 200.0, (on - i) / 200.0});
            const auto v = qint16(std::lround(12000 * fade * std::sin(2 * M_PI * hz * i / Rate)));
            samples += le16(quint16(v));
        }
        samples += QByteArray(off * 2, '\0');
    }
    QByteArray wav = "RIFF" + le32(quint32(36 + samples.size())) + "WAVEfmt " + le32(16) + le16(1) +
                     le16(1) + le32(Rate) + le32(Rate * 2) + le16(2) + le16(16) + "data" +
                     le32(quint32(samples.size()));
    return wav + samples;
}

bool speak(const QString& espeak, const QString& path, const char* words) {
    QProcess p;
    p.start(espeak, {QStringLiteral("-v"), QStringLiteral("ru"), QStringLiteral("-w"), path,
                     QString::fromUtf8(words)});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
           p.exitCode() == 0 && QFile(path).size() > 44;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: voice-maker <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "voice-maker: cannot make %s\n", argv[1]);
        return 1;
    }
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    for (const Sound& sound : Sounds) {
        const QString path = folder.filePath(QString::fromLatin1(sound.file));
        if (!espeak.isEmpty() && sound.words && speak(espeak, path, sound.words))
            continue;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(tone(sound.hz, sound.pulses)) < 0) {
            std::fprintf(stderr, "voice-maker: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
