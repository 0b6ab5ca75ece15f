#pragma once

#include "modem/EventPump.h"
#include "modem/ModemExchange.h"
#include "modem_model.h"
#include "serial/ModemLink.h"

#include <QList>
#include <QPair>
#include <functional>

// A modem link to the simulated modem's model, without a port: what the
// station writes is fed to the model, and its answer waits to be delivered.
class SimulatedModemLink : public tirvon::serial::ModemLink {
public:
    explicit SimulatedModemLink(gsmsim::ModemSettings settings = {}) : model(std::move(settings)) {}

    bool open(const QString& portName) override {
        if (refuseOpen)
            return false;
        name = portName;
        opened = true;
        emit openChanged(true);
        return true;
    }
    void close() override {
        if (opened)
            emit openChanged(false);
        opened = false;
    }
    bool isOpen() const override { return opened; }
    QString portName() const override { return name; }
    QString errorString() const override { return QStringLiteral("No such file or directory"); }
    void write(const QByteArray& bytes) override {
        written += bytes;
        writes.append({clock ? clock() : 0, bytes});
        undelivered += model.feed(bytes);
    }
    QByteArray read(qint64 count) override {
        const QByteArray out = pending.left(count);
        pending.remove(0, out.size());
        return out;
    }
    tirvon::serial::LineSignals lineSignals() const override { return signalState; }

    // Unsolicited text from the modem, delivered at once.
    void inject(const QByteArray& bytes) {
        undelivered += bytes;
        deliver();
    }

    // Hands what the modem said to the station, in one notification.
    bool deliver() {
        if (undelivered.isEmpty())
            return false;
        pending += undelivered;
        const qint64 n = undelivered.size();
        undelivered.clear();
        emit charactersReceived(n);
        return true;
    }

    gsmsim::ModemModel model;
    QByteArray written;
    QList<QPair<qint64, QByteArray>> writes; // when (the pump's clock) and what
    std::function<qint64()> clock;
    QByteArray undelivered;
    QByteArray pending;
    QString name;
    bool opened = false;
    bool refuseOpen = false;
    tirvon::serial::LineSignals signalState;
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
        if (link_.deliver())
            return;
        now += 1000;
        ++watchdogTicks;
        if (exchange_)
            exchange_->onWatchdogTick();
    }
    void waitUntil(qint64 deadlineMs) override {
        if (!link_.deliver())
            now = deadlineMs;
    }
    void processPending() override { link_.deliver(); }
    qint64 nowMs() const override { return now; }

    qint64 now = 1000;
    int watchdogTicks = 0;

private:
    SimulatedModemLink& link_;
    tirvon::modem::ModemExchange* exchange_ = nullptr;
};
