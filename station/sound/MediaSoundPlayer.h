#pragma once

#include "sound/SoundPlayer.h"

#include <QObject>
#include <QTimer>

class QMediaPlayer;
class QAudioOutput;

namespace tirvon::station {

// The player of the running station, on Qt Multimedia. The media stack is
// brought up at the first sound only, and only where the machine has an audio
// output: a station without a sound device monitors all the same, silently.
// The end of a sound comes as an event, so a wait for it sleeps.
class MediaSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    // A sound whose end the media stack never reports holds the queue no
    // longer than this.
    static constexpr int LongestSoundMs = 60000;

    explicit MediaSoundPlayer(QObject* parent = nullptr);
    ~MediaSoundPlayer() override;

    QString open(const QString& path) override;
    void play() override;
    bool playing() const override { return playing_; }
    void close() override;

private:
    bool ensureMedia();
    void ended();
    void cannotPlay(const QString& reason);

    QString path_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QTimer guard_;
    bool playing_ = false;
    bool unavailable_ = false;
};

} // namespace tirvon::station
