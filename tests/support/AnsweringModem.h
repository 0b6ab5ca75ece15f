#pragma once

#include "FakeModemLink.h"
#include "modem/EventPump.h"
#include "modem/ModemExchange.h"

#include <QList>
#include <QPair>
#include <functional>
#include <utility>

// A modem link whose modem answers every write at once, through the given
// function; the answer waits until the pump delivers it.
class AnsweringModemLink : public FakeModemLink {
public:
    using Answer = std::function<QByteArray(const QByteArray& written)>;

    explicit AnsweringModemLink(Answer answer = {}) : answer_(std::move(answer)) {}

    QString errorString() const override { return QStringLiteral("No such file or directory"); }
    void write(const QByteArray& bytes) override {
        FakeModemLink::write(bytes);
        writes.append({clock ? clock() : 0, bytes});
        if (answer_)
            undelivered += answer_(bytes);
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

    QList<QPair<qint64, QByteArray>> writes; // when (the pump's clock) and what
    std::function<qint64()> clock;
    QByteArray undelivered;

protected:
    void setAnswer(Answer answer) { answer_ = std::move(answer); }

private:
    Answer answer_;
};

// Time for an exchange with an answering modem: each wait delivers what the
// modem said, or, when it said nothing, lets a second pass and ticks the
// watchdog. Waits with a deadline move the clock there.
class AnsweringModemPump : public tirvon::modem::EventPump {
public:
    explicit AnsweringModemPump(AnsweringModemLink& link) : link_(link) {
        link_.clock = [this] {
            return now;
        };
    }
    void setExchange(tirvon::modem::ModemExchange* exchange) { exchange_ = exchange; }

    void waitForEvents() override {
        if (runDuringWait())
            return;
        if (link_.deliverAnswer())
            return;
        now += silenceStepMs;
        ++watchdogTicks;
        if (exchange_)
            exchange_->onWatchdogTick();
        if (onSilence)
            onSilence();
    }
    void waitUntil(qint64 deadlineMs) override {
        if (runDuringWait())
            return;
        if (!link_.deliverAnswer())
            now = deadlineMs;
    }
    void processPending() override { link_.deliverAnswer(); }
    qint64 nowMs() const override { return now; }

    qint64 now = 1000;
    int watchdogTicks = 0;
    // A wait in which the modem says nothing lasts one tick of this length, and
    // ticks the exchange's watchdog and whatever else counts ticks.
    qint64 silenceStepMs = 1000;
    std::function<void()> onSilence;
    // Runs once, in place of the next wait: the operator acting meanwhile.
    std::function<void()> duringWait;

private:
    bool runDuringWait() {
        if (!duringWait)
            return false;
        std::exchange(duringWait, {})();
        return true;
    }

    AnsweringModemLink& link_;
    tirvon::modem::ModemExchange* exchange_ = nullptr;
};
