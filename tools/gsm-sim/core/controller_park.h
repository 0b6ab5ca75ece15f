#pragma once

#include "modem_model.h"
#include "simulated_controller.h"

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>
#include <deque>
#include <optional>
#include <vector>

namespace gsmsim {

struct ParkSettings {
    quint32 seed = 1;
    // On average one spontaneous event in the whole park per this many ticks; 0 for none, so
    // that only commands and explicit requests make reports.
    int reportEveryTicks = 20;
    // A command reaches its controller, which answers at once, this many ticks after it was sent.
    int minAnswerDelayTicks = 2;
    int maxAnswerDelayTicks = 4;
    QByteArray stationNumber = "79160000000"; // the number a controller names in "LISTEN +"
};

enum class ReportKind { State, Alarm, Test, Power, Arm, Disarm };

// "state", "alarm", "test", "power", "arm", "disarm", in any case.
std::optional<ReportKind> reportKindFromName(const QByteArray& name);

// A notice from the network operator in code page 1251, such as one from a number the station
// does not know: "Баланс: 152.40 р." for 15240 kopecks.
QByteArray balanceNotice(int kopecks);

// The controllers behind one modem, driven by explicit ticks. Each tick it reads the commands the
// station has sent since the last tick (the modem's sent messages), hands those that have
// travelled long enough (a few ticks) to their controllers, whose answers go into the modem's
// store at once, and now and then makes one controller report an event of its own (input change
// or alarm, arming or disarming, test report, power or battery change) or lets an unknown number
// send a message. Reports come from "+" and the controller's phone and are stamped with the
// tick's time. All randomness comes from the seed, so a run is repeated exactly by the same seed
// and the same ticks.
//
// While the store is full, commands wait in order and the controllers make no events of their
// own, so nothing is lost.
class ControllerPark {
public:
    explicit ControllerPark(ModemModel& modem, ParkSettings settings = {});

    // False when a controller with that phone is already there.
    bool add(const ControllerConfig& config);
    const std::vector<SimulatedController>& controllers() const { return m_controllers; }
    // By the phone as the station keeps it, with or without a leading "+".
    const SimulatedController* find(const QByteArray& phone) const;

    void tick(const QDateTime& now);

    // Makes a controller report now, bypassing the tick's delay: the index of the stored message,
    // or nothing when there is no such controller or the store is full. Arming and disarming use
    // a key, the button or an SMS; an alarm opens a random input; power toggles the mains.
    std::optional<int> reportNow(const QByteArray& phone, ReportKind kind, const QDateTime& now);

    int ticks() const { return m_ticks; }
    // Commands on their way to a controller: waiting for their tick or for room in the store.
    int pendingCommands() const { return static_cast<int>(m_commands.size()); }

private:
    struct PendingCommand {
        int dueTick;
        QByteArray number;
        QByteArray text;
    };

    SimulatedController* findMutable(const QByteArray& phone);
    void takeCommands();
    void deliverCommands(const QDateTime& now);
    bool hasRoom() const;
    std::optional<int> store(const SimulatedController& controller, const QByteArray& text,
                             const QDateTime& now);
    void makeEvent(const QDateTime& now);
    QByteArray makeReport(SimulatedController& controller, ReportKind kind, const QDateTime& now);
    QByteArray randomInputEvent(SimulatedController& controller, const QDateTime& now);
    QByteArray randomArming(SimulatedController& controller, bool arm, const QDateTime& now);
    QByteArray randomBatteryChange(SimulatedController& controller, const QDateTime& now);
    void sendFromUnknownNumber(const QDateTime& now);
    QByteArray randomDigits(int count);

    ModemModel& m_modem;
    ParkSettings m_settings;
    QRandomGenerator m_random;
    std::vector<SimulatedController> m_controllers;
    std::deque<PendingCommand> m_commands; // in the order sent
    qsizetype m_commandsSeen = 0;          // sent messages already taken
    int m_ticks = 0;
};

} // namespace gsmsim
