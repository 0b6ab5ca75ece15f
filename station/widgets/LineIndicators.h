#pragma once

#include "serial/ModemLink.h"

#include <QObject>
#include <QTimer>

namespace tirvon::station {

class LedIndicator;

// Keeps the LED panel in step with the serial port: the port-open light, the
// line signals CTS, DSR, RLSD and RING (read while the port is open, since the
// port has no notification for them) and a short flash for every transmission
// and reception.
class LineIndicators : public QObject {
    Q_OBJECT
public:
    struct Leds {
        LedIndicator* online;
        LedIndicator* cts;
        LedIndicator* dsr;
        LedIndicator* rlsd;
        LedIndicator* ring;
        LedIndicator* tx;
        LedIndicator* rx;
    };
    static constexpr int SignalPollMs = 250;
    static constexpr int FlashMs = 100;

    LineIndicators(serial::ModemLink& link, Leds leds, QObject* parent = nullptr);

    void refresh();

private:
    void onOpenChanged(bool open);
    static void flash(LedIndicator* led, QTimer& timer);

    serial::ModemLink& link_;
    Leds leds_;
    QTimer signalPoll_;
    QTimer txOff_;
    QTimer rxOff_;
};

} // namespace tirvon::station
