#pragma once

#include "modem/EventPump.h"
#include "modem/ModemExchange.h"
#include "FakeModemLink.h"
#include "modem_model.h"

#include <QList>
#include <QPair>
#include <functional>
#include <utility>

// A modem link to the simulated modem's model, without a port: what the
// station writes is fed to the model, and its answer waits to be delivered.
class SimulatedModemLink : public FakeModemLink {
public:
    explicit SimulatedModemLink(gsmsim::ModemSettings settings = {}) : model(std::move(settings)) {}

    QString errorString() const override { return QStringLiteral("No such file or directory"); }
    void write(const QByteArray& bytes) override {
        FakeModemLink::write(bytes);
        writes.append({clock ? clock() : 0, bytes});
        undelivered += model.feed(bytes);
    }

    // Unsolicited text from the modem, delivered at once.
    void inject(const QByteArray& bytes) {
        undelivered += bytes;
        deliverAnswer();
    }

    // Hands what the modem said to the station, in one notification.
    bool deliverAnswer() {
        if (undelivered.isEmpty())
            return false;
        const QByteArray answer = std::exchange(undelivered, {});
        deliver(answer);
        return true;
    }

    gsmsim::ModemModel model;
    QList<QPair<qint64, QByteArray>> writes; // when (the pump's clock) and what
    std::function<qint64()> clock;
    QByteArray undelivered;
};

// Time for the exchange with the simulated modem: each wait delivers what the
// modem said, or, when it said nothing, lets a second pass and ticks the
// watchdog. Waits with a deadline move the clock there.
class SimulatedModemPump : public tirvon::modem::EventPump {
public:
    explicit SimulatedModemPump(SimulatedModemLink& link) : link_(link) {
        link_.clock = [this] {
            return now;
        };
    }
    void setExchange(tirvon::modem::ModemExchange* exchange) { exchange_ = exchange; }

    void waitForEvents() override {
        if (link_.deliverAnswer())
            return;
        now += 1000;
        ++watchdogTicks;
        if (exchange_)
            exchange_->onWatchdogTick();
    }
    void waitUntil(qint64 deadlineMs) override {
        if (!link_.deliverAnswer())
            now = deadlineMs;
    }
    void processPending() override { link_.deliverAnswer(); }
    qint64 nowMs() const override { return now; }

    qint64 now = 1000;
    int watchdogTicks = 0;

private:
    SimulatedModemLink& link_;
    tirvon::modem::ModemExchange* exchange_ = nullptr;
};
