#include "sound/SoundTimer.h"

#include "config/Schema.h"

#include <QFile>

namespace tirvon::station {

namespace {

const QString separator = QStringLiteral("::");
const QByteArray fallbackSound = "beep.wav";

} // namespace

SoundTimer::SoundTimer(QString programDirectory, ini::IniFile& file, SoundRequests& requests,
                       SoundPlayer& player, modem::EventPump& pump, ui::Prompt& prompt, Hooks hooks)
    : programDirectory_(std::move(programDirectory)), file_(file), requests_(requests),
      player_(player), pump_(pump), prompt_(prompt), hooks_(std::move(hooks)) {
    timer3_.setObjectName(QStringLiteral("Timer3"));
    timer3_.setInterval(IntervalMs);
    connect(&timer3_, &QTimer::timeout, this, &SoundTimer::Timer3Timer);
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
    if (!soundOn_ || inTick_)
        return;
    inTick_ = true;
    queue_ = soundQueue();
    bool playedOut = queue_.isEmpty();
    while (queue_.contains(separator)) {
        timer3_.stop();
        pump_.processPending();
        if (hooks_.ending())
            break;
        if (player_.playing()) {
            // The player's end of sound is an event: sleep until one comes.
            pump_.waitForEvents();
            continue;
        }
        playNext();
        playedOut = queue_.isEmpty();
    }
    if (playedOut) {
        // Whatever was raised while the queue played is cleared unplayed.
        const bool alarm = requests_.alarm;
        requests_.clear();
        requests_.alarm = alarm;
    }
    inTick_ = false;
    if (!hooks_.ending())
        timer3_.start();
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
    queue_.clear();
    player_.close();
}

} // namespace tirvon::station
