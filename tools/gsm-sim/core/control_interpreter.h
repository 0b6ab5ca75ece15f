#pragma once

#include "controller_park.h"
#include "modem_model.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <functional>

namespace gsmsim {

struct ControlOutcome {
    QList<QByteArray> replyLines; // without line ends; empty for an empty control line
    QByteArray toStation;         // unsolicited modem output the command caused
    bool quit = false;
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
//   QUIT                                           -> OK
// Failures answer "ERROR <reason>". The SMS text is UTF-8 with the escapes \r, \n, \\ and \xHH
// and is stored in code page 1251; SENT shows texts with the same escapes, bytes beyond ASCII
// as \xHH. CONTROLLERS and REPORT address the simulated controllers of an attached park; without
// one the list is empty. An empty password is listed as "".
class ControlInterpreter {
public:
    using Clock = std::function<QDateTime()>;

    explicit ControlInterpreter(ModemModel& modem, Clock clock = &QDateTime::currentDateTime);

    // The park stays the caller's; it must outlive the interpreter or be detached with nullptr.
    void attachPark(ControllerPark* park) { m_park = park; }

    ControlOutcome execute(const QByteArray& line);

private:
    ControlOutcome storeMessage(QByteArrayView arguments);
    ControlOutcome startCall(QByteArrayView arguments);
    ControlOutcome hangUp();
    ControlOutcome listSent() const;
    ControlOutcome listControllers() const;
    ControlOutcome makeReport(QByteArrayView arguments);

    ModemModel& m_modem;
    Clock m_clock;
    ControllerPark* m_park = nullptr;
};

} // namespace gsmsim
