#pragma once

#include "modem/ModemExchange.h"
#include "serial/ModemLink.h"
#include "startup/StationSettings.h"

#include <QString>
#include <functional>

namespace tirvon::station {

// What the modem initialisation shows while it works.
class ModemStartupView {
public:
    virtual ~ModemStartupView() = default;
    virtual void setGauge(int percent) = 0;
    virtual void setResultLine(const QString& text) = 0;
    // Status panel 1 of the main window.
    virtual void setModemName(const QString& text) = 0;
    virtual QString modemName() const = 0;
    virtual void inform(const QString& message) = 0;
    virtual void csq(const QByteArray& reply) = 0;
};

// Opens the configured port, checks that a modem answers ATZ with its echo,
// switches echo on, sends the four initialisation strings as they stand, reads
// maker, model and signal quality.
class ModemStartup {
public:
    // Ended: the program was closed while the modem was being initialised.
    enum class Result { Ready, NoPort, NoModem, Ended };
    static constexpr unsigned ResultPauseMs = 3000;

    ModemStartup(modem::ModemExchange& exchange, serial::ModemLink& link,
                 const StationSettings& settings, ModemStartupView& view)
        : exchange_(exchange), link_(link), settings_(settings), view_(view) {}

    Result run();
    // The modem brought back without a window: the port closed and opened
    // again, ATZ, ATE1 and the initialisation strings that are set. True when the port
    // opened and ATZ was answered with OK.
    bool reinitialise(const QString& port);

    // The name in a reply to AT+CGMI or AT+CGMM: from 10 characters after the
    // start of the echo to the first empty line of the reply.
    static QByteArray nameAfterEcho(const QByteArray& reply, const QByteArray& echo);

private:
    QByteArray exchange(const QByteArray& command);

    modem::ModemExchange& exchange_;
    serial::ModemLink& link_;
    const StationSettings& settings_;
    ModemStartupView& view_;
};

} // namespace tirvon::station
