#pragma once

#include <QString>
#include <functional>

namespace tirvon::station {

// The station's player of WAV files (MediaPlayer1): it holds one file at a
// time, plays it from its start without waiting, and says whether it is still
// playing. A player that cannot play on this machine says so once, through
// the note, and from then on never reports a sound as playing.
class SoundPlayer {
public:
    using Note = std::function<void(const QString& text)>;

    virtual ~SoundPlayer() = default;
    // Opens the file in place of the one held: an empty text when it is open,
    // otherwise the player's own message why it is not.
    virtual QString open(const QString& path) = 0;
    // Rewinds the file held to its start and starts it.
    virtual void play() = 0;
    virtual bool playing() const = 0;
    virtual void close() = 0;

    void setNote(Note note) { note_ = std::move(note); }

protected:
    void note(const QString& text) const {
        if (note_)
            note_(text);
    }

private:
    Note note_;
};

} // namespace tirvon::station
