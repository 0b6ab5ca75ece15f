#include "sound/SoundTimer.h"

#include "config/Schema.h"

#include <QFile>

namespace tirvon::station {

namespace {

const QString separator = QStringLiteral("::");
const QByteArray fallbackSound = "beep.wav";

} // namespace

SoundTimer::SoundTimer(QString programDirectory, ini::IniFile& file, SoundRequests& requests,
                       SoundPlayer& player, ui::Prompt& prompt, Hooks hooks)
    : programDirectory_(std::move(programDirectory)), file_(file), requests_(requests),
      player_(player), prompt_(prompt), hooks_(std::move(hooks)) {
    timer3_.setObjectName(QStringLiteral("Timer3"));
    timer3_.setInterval(IntervalMs);
    connect(&timer3_, &QTimer::timeout, this, &SoundTimer::Timer3Timer);
    playerWait_.setSingleShot(true);
    playerWait_.setInterval(PlayerWaitMs);
    connect(&playerWait_, &QTimer::timeout, this, &SoundTimer::playOn);
}

QString SoundTimer::soundFile(int slot) const {
    return config::soundFilePath(
        programDirectory_,
        file_.readString(config::BaseStation, config::key::voice(slot), fallbackSound));
}

QString SoundTimer::soundQueue() const {
    QString queue;
    if (requests_.alarm && hooks_.alarmRowCount() > 0)
        queue += soundFile(1) + separator;
    const bool raised[] = {
        requests_.outgoingEvent, requests_.incomingEvent, requests_.batteryDischarged,
        requests_.mainsFailure,  requests_.armed,         requests_.disarmed,
        requests_.incomingCall,  requests_.missedTest};
    for (int i = 0; i < int(std::size(raised)); ++i)
        if (raised[i])
            queue += soundFile(i + 2) + separator;
    return queue;
}

void SoundTimer::Timer3Timer() {
    if (!soundOn_ || !queue_.isEmpty())
        return; // a queue still plays
    queue_ = soundQueue();
    if (queue_.isEmpty()) {
        clearPlayedRequests();
        return;
    }
    // The timer's own ticks are held back until the queue is empty.
    timer3_.stop();
    playOn();
}

// The queue plays from the main loop, one sound after the end of the other: a
// wait nested in the tick would hold up whatever it interrupted, such as an
// exchange with the modem whose watchdog counts on meanwhile.
void SoundTimer::playOn() {
    if (hooks_.ending())
        return;
    while (queue_.contains(separator) && !player_.playing())
        playNext();
    if (queue_.contains(separator)) {
        playerWait_.start();
        return;
    }
    clearPlayedRequests();
    timer3_.start();
}

// Whatever was raised while the queue played is cleared unplayed.
void SoundTimer::clearPlayedRequests() {
    const bool alarm = requests_.alarm;
    requests_.clear();
    requests_.alarm = alarm;
}

void SoundTimer::playNext() {
    const qsizetype end = queue_.indexOf(separator);
    QString path = queue_.left(end);
    queue_.remove(0, end + separator.size());
    if (!QFile(path).open(QIODevice::ReadOnly))
        path = config::soundFilePath(programDirectory_, fallbackSound);
    const QString error = player_.open(path);
    if (!error.isEmpty()) {
        if (!toldUnplayable_.contains(path)) {
            toldUnplayable_.insert(path);
            prompt_.inform(error);
        }
        return;
    }
    toldUnplayable_.remove(path);
    player_.play();
}

void SoundTimer::shutDown() {
    timer3_.stop();
    playerWait_.stop();
    queue_.clear();
    player_.close();
}

} // namespace tirvon::station
