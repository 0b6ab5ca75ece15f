#pragma once

#include "controller_park.h"
#include "modem_model.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <functional>
#include <optional>

namespace gsmsim {

struct ControlOutcome {
    QList<QByteArray> replyLines; // without line ends; empty for an empty control line
    QByteArray toStation;         // unsolicited modem output the command caused
    bool quit = false;
    bool dropPendingOutput = false; // what still waits for the line is lost before toStation
};

// The simulator's control language, one command per line:
//   SMS <sender> <yy/MM/dd,hh:mm:ss+zz|now> <text>   -> OK <index>
//   CALL <number> [type]                           -> OK
//   HANGUP                                         -> OK      (the caller ends the call)
//   SENT                                           -> OK <n>, then n lines "<number> <text>"
//   STORE                                          -> OK <count>
//   CONTROLLERS                                    -> OK <n>, then n lines
//                                                     "<phone> <password> <armed|disarmed> <name>"
//   REPORT <phone> <state|alarm|test|power|arm|disarm> -> OK <index>
//   MUTE, UNMUTE                                   -> OK      (the modem goes silent, talks again)
//   RESTART                                        -> OK      (restarts by itself, PDU mode)
//   UNPLUG, REPLUG                                 -> OK      (the port disappears, comes back)
//   QUIT                                           -> OK
// Failures answer "ERROR <reason>". The SMS text is UTF-8 with the escapes \r, \n, \\ and \xHH
// and is stored in code page 1251; SENT shows texts with the same escapes, bytes beyond ASCII
// as \xHH. CONTROLLERS and REPORT address the simulated controllers of an attached park; without
// one the list is empty. An empty password is listed as "".
class ControlInterpreter {
public:
    using Clock = std::function<QDateTime()>;
    // Pulls the port out (false) or plugs it in again (true); nothing on success, else the
    // reason for the ERROR answer.
    using PlugHandler = std::function<std::optional<QByteArray>(bool plugIn)>;

    explicit ControlInterpreter(ModemModel& modem, Clock clock = &QDateTime::currentDateTime);

    // The park stays the caller's; it must outlive the interpreter or be detached with nullptr.
    void attachPark(ControllerPark* park) { m_park = park; }
    // UNPLUG and REPLUG need the port, which only the program has; without a handler they fail.
    void setPlugHandler(PlugHandler handler) { m_plug = std::move(handler); }

    ControlOutcome execute(const QByteArray& line);

private:
    ControlOutcome storeMessage(QByteArrayView arguments);
    ControlOutcome startCall(QByteArrayView arguments);
    ControlOutcome hangUp();
    ControlOutcome listStore(bool withMessages) const;
    ControlOutcome listSent() const;
    ControlOutcome listControllers() const;
    ControlOutcome makeReport(QByteArrayView arguments);
    ControlOutcome plug(bool plugIn);

    ModemModel& m_modem;
    Clock m_clock;
    ControllerPark* m_park = nullptr;
    PlugHandler m_plug;
};

} // namespace gsmsim
