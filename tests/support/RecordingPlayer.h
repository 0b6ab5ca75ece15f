#pragma once

#include "sound/SoundPlayer.h"

#include <QFileInfo>
#include <QStringList>

// A player that plays nothing and keeps what it was asked to play. A file it
// cannot find is refused with its own message. Its sounds end at once, unless
// the test holds them: then a sound plays until the test finishes it.
class RecordingPlayer : public tirvon::station::SoundPlayer {
public:
    QString open(const QString& path) override {
        if (!QFileInfo(path).isFile())
            return QStringLiteral("cannot open ") + path;
        held = path;
        return {};
    }
    void play() override {
        played.append(held);
        sounding = holdSounds;
    }
    bool playing() const override { return sounding; }
    void close() override {
        sounding = false;
        held.clear();
        ++closes;
    }

    void finish() { sounding = false; }

    QStringList played; // full paths, in the order they started
    QString held;
    bool holdSounds = false;
    bool sounding = false;
    int closes = 0;
};
