#pragma once

#include "modem/EventPump.h"
#include "serial/ModemLink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tirvon::configurator {

// The modem test of the settings panel: opens the port on screen, sends "AT"
// and tells whether a modem echoed it and answered OK, then closes the port.
// Its exchange is its own and simpler than the station's: it waits for
// "\r\nOK\r\n" or the fourth tick of a 500 ms timer, knows no "ERROR", and
// leaves the timer running.
class ModemProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 500;
    static constexpr int TicksAllowed = 3; // gives up on the fourth tick

    ModemProbe(serial::ModemLink& link, modem::EventPump& pump, QObject* parent = nullptr);

    // Button4Click: what to tell the operator for the port number on screen.
    QString Button4Click(const QString& portNumber);
    QByteArray SendCommand(const QByteArray& command);
    void ComPortRxChar(qint64 count);
    void Timer1Timer() { ++waitCount_; }
    QTimer& timer1() { return timer1_; }

private:
    serial::ModemLink& link_;
    modem::EventPump& pump_;
    QTimer timer1_;
    QByteArray reply_;
    int waitCount_ = 0;
};

} // namespace tirvon::configurator
