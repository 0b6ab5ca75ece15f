#include "widgets/LineIndicators.h"

#include "widgets/LedIndicator.h"

namespace tirvon::station {

LineIndicators::LineIndicators(serial::ModemLink& link, Leds leds, QObject* parent)
    : QObject(parent), link_(link), leds_(leds) {
    signalPoll_.setInterval(SignalPollMs);
    connect(&signalPoll_, &QTimer::timeout, this, &LineIndicators::refresh);
    for (QTimer* t : {&txOff_, &rxOff_}) {
        t->setSingleShot(true);
        t->setInterval(FlashMs);
    }
    connect(&txOff_, &QTimer::timeout, this, [this] { leds_.tx->setOn(false); });
    connect(&rxOff_, &QTimer::timeout, this, [this] { leds_.rx->setOn(false); });
    connect(&link_, &serial::ModemLink::transmitted, this, [this] { flash(leds_.tx, txOff_); });
    connect(&link_, &serial::ModemLink::charactersReceived, this,
            [this] { flash(leds_.rx, rxOff_); });
    connect(&link_, &serial::ModemLink::openChanged, this, &LineIndicators::onOpenChanged);
    onOpenChanged(link_.isOpen());
}

void LineIndicators::flash(LedIndicator* led, QTimer& timer) {
    led->setOn(true);
    timer.start();
}

void LineIndicators::onOpenChanged(bool open) {
    if (open)
        signalPoll_.start();
    else
        signalPoll_.stop();
    refresh();
}

void LineIndicators::refresh() {
    const serial::LineSignals s = link_.lineSignals();
    leds_.online->setOn(link_.isOpen());
    leds_.cts->setOn(s.cts);
    leds_.dsr->setOn(s.dsr);
    leds_.rlsd->setOn(s.rlsd);
    leds_.ring->setOn(s.ring);
    if (!link_.lineSignalsReadable())
        signalPoll_.stop(); // a port without modem lines: nothing to follow
}

} // namespace tirvon::station
