#pragma once

#include <QByteArray>

namespace tirvon::station {

// What a polling tick sets going; the station's main window provides it.
class PollingWork {
public:
    virtual ~PollingWork() = default;
    // The SMS-work flag or the exchange-busy flag is set.
    virtual bool modemWorkInProgress() const = 0;
    virtual bool hasQueuedMessage() const = 0;
    virtual void sendQueuedMessage() = 0;
    virtual QByteArray sendCommand(const QByteArray& command) = 0;
    virtual void cmgl(const QByteArray& reply) = 0;
    virtual void csq(const QByteArray& reply) = 0;
};

// The 20-tick polling cycle (Timer1Timer, once a second): the message store is
// listed at ticks 5, 10 and 15, the signal quality read at tick 10 after the
// listing; a queued message is sent instead and restarts the cycle. A tick that
// comes while modem work is in progress does nothing and does not count.
class PollingCycle {
public:
    static constexpr int CycleLength = 20;
    static constexpr int TickIntervalMs = 1000;
    static inline const QByteArray ListCommand = "at+cmgl=all";
    static inline const QByteArray SignalQualityCommand = "at+csq";

    explicit PollingCycle(PollingWork& work) : work_(work) {}

    void tick();
    int count() const { return count_; }
    void reset() { count_ = 0; }

private:
    PollingWork& work_;
    int count_ = 0;
};

} // namespace tirvon::station
