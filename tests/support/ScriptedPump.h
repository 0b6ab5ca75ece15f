#pragma once

#include "modem/EventPump.h"

#include <deque>
#include <functional>
#include <stdexcept>

// An event pump that plays a script: each wait runs the next scripted event
// (characters arriving, a watchdog tick, ...). A wait with nothing left in the
// script is a test fault, never an endless loop. Time is a counter the script
// moves.
class ScriptedPump : public tirvon::modem::EventPump {
public:
    void then(std::function<void()> event) { script.push_back(std::move(event)); }

    void waitForEvents() override {
        ++waits;
        runNext();
    }
    void waitUntil(qint64 deadlineMs) override {
        ++waits;
        if (script.empty())
            now = deadlineMs; // nothing else happens: the deadline comes
        else
            runNext();
    }
    void processPending() override { ++passes; }
    qint64 nowMs() const override { return now; }

    std::deque<std::function<void()>> script;
    qint64 now = 1000;
    int waits = 0;
    int passes = 0;

private:
    void runNext() {
        if (script.empty())
            throw std::logic_error("waited for an event that the test never scripted");
        auto event = std::move(script.front());
        script.pop_front();
        event();
    }
};
