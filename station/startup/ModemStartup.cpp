#include "startup/ModemStartup.h"

#include "modem/ReplyLines.h"
#include "text/Cp1251.h"

namespace tirvon::station {

QByteArray ModemStartup::nameAfterEcho(const QByteArray& reply, const QByteArray& echo) {
    const qsizetype from = text::pos(echo, reply) + 10;
    return text::copy(reply, from, text::pos("\r\n\r\n", reply) - from);
}

QByteArray ModemStartup::exchange(const QByteArray& command) {
    // A modem may report its signal or mode at any moment, inside a reply too.
    return modem::withoutUnsolicited(exchange_.sendCommand(command));
}

bool ModemStartup::reinitialise(const QString& port) {
    link_.close();
    exchange_.reset();
    if (!link_.open(port))
        return false;
    const auto reset = modem::closingFinalResult(exchange("ATZ"));
    if (!reset || !reset->ok || exchange_.isShutDown())
        return false;
    exchange_.sendCommand("ATE1");
    // An empty string gets no answer: only the watchdog would end its wait.
    for (int n = 1; n <= 4; ++n) {
        if (!settings_.initString(n).isEmpty())
            exchange_.sendCommand(settings_.initString(n));
    }
    return !exchange_.isShutDown();
}

ModemStartup::Result ModemStartup::run() {
    const QString port = text::toUnicode(settings_.portName());
    if (!link_.open(port)) {
        view_.inform(QStringLiteral("Невозможно открыть порт ") + port + QLatin1Char('!'));
        return Result::NoPort;
    }
    const QByteArray reset = exchange("ATZ");
    if (exchange_.isShutDown())
        return Result::Ended;
    if (!reset.contains("ATZ\r\r\nOK\r\n")) {
        view_.inform(QStringLiteral("Модем не найден!"));
        link_.close();
        return Result::NoModem;
    }
    view_.setGauge(10);
    exchange_.sendCommand("ATE1");
    view_.setGauge(30);
    for (int n = 1; n <= 4; ++n) {
        exchange_.sendCommand(settings_.initString(n));
        view_.setGauge(30 + 10 * n);
    }
    view_.setModemName(text::toUnicode(nameAfterEcho(exchange("AT+CGMI"), "AT+CGMI")));
    view_.setGauge(80);
    const QByteArray model = nameAfterEcho(exchange("AT+CGMM"), "AT+CGMM");
    view_.setModemName(view_.modemName() + QLatin1Char('-') + text::toUnicode(model));
    view_.setGauge(100);
    view_.csq(exchange("at+csq"));
    if (exchange_.isShutDown())
        return Result::Ended;
    view_.setResultLine(QStringLiteral("Найден модем: ") + view_.modemName() +
                        QStringLiteral(" на ") + port);
    exchange_.delay(ResultPauseMs);
    return Result::Ready;
}

} // namespace tirvon::station
