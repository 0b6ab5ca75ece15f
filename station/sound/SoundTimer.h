#pragma once

#include "ini/IniFile.h"
#include "sound/SoundPlayer.h"
#include "sound/SoundRequests.h"
#include "ui/Prompt.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>

namespace tirvon::station {

// The sound timer (Timer3): every two seconds it queues the sounds whose
// requests are raised, the alarm first while the alarm list has rows, and plays
// them one after the other, each once the one before has ended, while the
// station goes on with its work. The alarm request stays raised until the
// operator silences it; the others are cleared once the queue has played out,
// together with any raised meanwhile.
class SoundTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 2000;
    // How often a playing queue asks the player whether its sound has ended.
    static constexpr int PlayerWaitMs = 50;

    struct Hooks {
        std::function<int()> alarmRowCount;
        // True once the program ends: a wait for the player gives up.
        std::function<bool()> ending;
    };

    SoundTimer(QString programDirectory, ini::IniFile& file, SoundRequests& requests,
               SoundPlayer& player, ui::Prompt& prompt, Hooks hooks);

    QTimer& timer3() { return timer3_; }
    void Timer3Timer();
    // Starts the next sounds of the queue once the player is free; the player
    // wait calls it again until the queue has played out.
    void playOn();
    QTimer& playerWait() { return playerWait_; }
    // "Включен" / "Отключен": while off no sound is played and requests stay.
    void setSoundOn(bool on) { soundOn_ = on; }
    bool soundOn() const { return soundOn_; }
    // "Отключить до события": the alarm is silent until the next alarm report.
    void N20Click() { requests_.alarm = false; }
    // The program ends: no more ticks, the player lets go of its file.
    void shutDown();

    // The queue of one tick: full paths, each followed by "::".
    QString soundQueue() const;

private:
    QString soundFile(int slot) const;
    void playNext();
    void clearPlayedRequests();

    QString programDirectory_;
    ini::IniFile& file_;
    SoundRequests& requests_;
    SoundPlayer& player_;
    ui::Prompt& prompt_;
    Hooks hooks_;
    QTimer timer3_;
    QTimer playerWait_;
    QString queue_; // what is still to play; empty when no queue plays
    // Files the player could not open and has said so; each is told again
    // only after it has been opened once more.
    QSet<QString> toldUnplayable_;
    bool soundOn_ = true;
};

} // namespace tirvon::station
