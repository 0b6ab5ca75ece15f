#include "sound/MediaSoundPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFile>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace tirvon::station {

MediaSoundPlayer::MediaSoundPlayer(QObject* parent) : QObject(parent) {
    guard_.setSingleShot(true);
    guard_.setInterval(LongestSoundMs);
    connect(&guard_, &QTimer::timeout, this, &MediaSoundPlayer::ended);
}

MediaSoundPlayer::~MediaSoundPlayer() = default;

QString MediaSoundPlayer::open(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + QStringLiteral(": ") + file.errorString();
    file.close();
    path_ = path;
    if (player_) {
        player_->stop();
        player_->setSource(QUrl::fromLocalFile(path_));
    }
    playing_ = false;
    return {};
}

bool MediaSoundPlayer::ensureMedia() {
    if (unavailable_)
        return false;
    if (player_)
        return true;
    // Without an audio output the media player is never made: on some machines
    // making it without a working media back end is itself what fails.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        cannotPlay(QStringLiteral("нет устройства вывода звука"));
        return false;
    }
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                    ended();
            });
    connect(player_, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) {
                if (state == QMediaPlayer::StoppedState)
                    ended();
            });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString& text) {
                ended();
                if (error == QMediaPlayer::ResourceError)
                    cannotPlay(text);
            });
    player_->setSource(QUrl::fromLocalFile(path_));
    return true;
}

void MediaSoundPlayer::play() {
    if (path_.isEmpty() || !ensureMedia())
        return;
    player_->setPosition(0);
    playing_ = true;
    guard_.start();
    player_->play();
}

void MediaSoundPlayer::ended() {
    playing_ = false;
    guard_.stop();
}

void MediaSoundPlayer::cannotPlay(const QString& reason) {
    if (unavailable_)
        return;
    unavailable_ = true;
    note(QStringLiteral("Звук не воспроизводится: ") + reason);
}

void MediaSoundPlayer::close() {
    ended();
    if (player_) {
        player_->stop();
        player_->setSource(QUrl());
    }
    path_.clear();
}

} // namespace tirvon::station
