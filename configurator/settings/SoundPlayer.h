#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QMediaPlayer;
class QAudioOutput;

namespace tirvon::configurator {

// The player of the sound settings (MediaPlayer1): holds one file, plays it,
// stops it. A machine without a sound device still loads files.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void open(const QString& path) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
};

// The player of the program, on Qt Multimedia. Stop rewinds to the start; at
// the end of the sound the file is opened again, so that Play starts it anew.
class MediaSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit MediaSoundPlayer(QObject* parent = nullptr);
    ~MediaSoundPlayer() override;
    void open(const QString& path) override;
    void play() override;
    void stop() override;

private:
    QString path_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
};

// Length in milliseconds of the sound of a WAV file (its data chunk over its
// byte rate), from the first bytes of the file and its size; nothing for a file
// that is not a WAV file.
std::optional<qint64> wavLengthMs(const QByteArray& head, qint64 fileSize);

} // namespace tirvon::configurator
