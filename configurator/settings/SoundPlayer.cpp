#include "settings/SoundPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <QtEndian>

namespace tirvon::configurator {

MediaSoundPlayer::MediaSoundPlayer(QObject* parent) : QObject(parent) {}

MediaSoundPlayer::~MediaSoundPlayer() = default;

void MediaSoundPlayer::open(const QString& path) {
    path_ = path;
    if (player_) {
        player_->stop();
        player_->setSource(QUrl::fromLocalFile(path_));
    }
}

void MediaSoundPlayer::play() {
    // The media stack is brought up at the first Play only: loading and picking
    // files need none, so they work on a machine without sound.
    if (!player_) {
        player_ = new QMediaPlayer(this);
        output_ = new QAudioOutput(this);
        player_->setAudioOutput(output_);
        connect(player_, &QMediaPlayer::mediaStatusChanged, this,
                [this](QMediaPlayer::MediaStatus status) {
                    if (status == QMediaPlayer::EndOfMedia)
                        stop();
                });
        player_->setSource(QUrl::fromLocalFile(path_));
    }
    player_->play();
}

void MediaSoundPlayer::stop() {
    if (!player_)
        return;
    player_->stop();
    player_->setPosition(0);
}

std::optional<qint64> wavLengthMs(const QByteArray& head, qint64 fileSize) {
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    const auto u32 = [&head](qsizetype at) {
        return qFromLittleEndian<quint32>(head.constData() + at);
    };
    quint32 byteRate = 0;
    // Chunks follow the header, each an id, a size and its bytes (padded to even).
    for (qint64 at = 12; at + 8 <= head.size();) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (id == "fmt " && size >= 12 && at + 20 <= head.size())
            byteRate = u32(at + 16);
        if (id == "data") {
            if (byteRate == 0)
                return std::nullopt;
            // A data chunk cut short counts what the file holds.
            const qint64 bytes = qBound<qint64>(0, fileSize - (at + 8), size);
            return bytes * 1000 / byteRate;
        }
        at += 8 + qint64(size) + (size & 1);
    }
    return std::nullopt;
}

} // namespace tirvon::configurator
