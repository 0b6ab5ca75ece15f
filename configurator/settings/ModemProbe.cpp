#include "settings/ModemProbe.h"

namespace tirvon::configurator {

ModemProbe::ModemProbe(serial::ModemLink& link, modem::EventPump& pump, QObject* parent)
    : QObject(parent), link_(link), pump_(pump) {
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(TickMs);
    connect(&timer1_, &QTimer::timeout, this, &ModemProbe::Timer1Timer);
    connect(&link_, &serial::ModemLink::charactersReceived, this, &ModemProbe::ComPortRxChar);
}

void ModemProbe::ComPortRxChar(qint64 count) {
    QByteArray received = link_.read(count);
    received.removeIf([](char c) { return c == '\0'; });
    reply_ += received;
}

QByteArray ModemProbe::SendCommand(const QByteArray& command) {
    waitCount_ = 0;
    // Once started the timer runs on: later tests may give up half a tick sooner.
    if (!timer1_.isActive())
        timer1_.start();
    link_.write(command + "\r\n");
    while (!reply_.contains("\r\nOK\r\n") && waitCount_ <= TicksAllowed)
        pump_.waitForEvents();
    QByteArray reply;
    reply.swap(reply_);
    return reply;
}

QString ModemProbe::Button4Click(const QString& portNumber) {
    const QString port = QStringLiteral("COM") + portNumber;
    // A port that will not open, or that another program (the station) holds,
    // is told in the serial layer's words and left alone.
    if (!link_.open(port))
        return link_.errorString();
    const bool found = SendCommand("AT").contains("AT\r\r\nOK\r\n");
    link_.close();
    return found ? QStringLiteral("Найден модем на ") + port : QStringLiteral("Модем не найден!");
}

} // namespace tirvon::configurator
