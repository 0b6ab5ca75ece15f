#pragma once

#include "AnsweringModem.h"
#include "modem_model.h"

// A modem link to the simulated modem's model, without a port: what the
// station writes is fed to the model, and its answer waits to be delivered.
class SimulatedModemLink : public AnsweringModemLink {
public:
    explicit SimulatedModemLink(gsmsim::ModemSettings settings = {}) : model(std::move(settings)) {
        setAnswer([this](const QByteArray& bytes) { return model.feed(bytes); });
    }

    gsmsim::ModemModel model;
};

using SimulatedModemPump = AnsweringModemPump;
