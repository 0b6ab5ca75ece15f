#pragma once

#include "serial/ModemLink.h"

#include <QSerialPort>

namespace tirvon::serial {

// Where port "COMn" is on this machine: the entry COMn of the program directory
// when there is one (a symbolic link to /dev/ttyUSB0, a pseudo-terminal, ...),
// else /dev/ttyS<n-1>. Any other name is taken as it stands.
QString resolvePortName(const QString& programDirectory, const QString& portName);

// What differs between the programs' ports: the station runs at 19200 baud with
// RTS raised, the configurator's modem test at 9600 with RTS low.
struct PortSettings {
    qint32 baudRate = 19200;
    bool requestToSend = true;
};

// The modem's serial port with fixed settings: the given baud rate, 8 data
// bits, no parity, 1 stop bit, no flow control, DTR raised while open, RTS as
// given, 2048-byte buffers.
//
// An open port is held exclusively (an advisory lock on the device, which root
// cannot pass by either): a second program that opens it is told the port is in
// use, so the configurator's modem test never takes the station's replies.
//
// The modem's DSR output flow control (hold transmission while the modem drops
// DSR) has no termios equivalent on Linux and stays off; the modems in use keep
// DSR raised. XON/XOFF is off in both directions.
class SerialPortLink : public ModemLink {
    Q_OBJECT
public:
    explicit SerialPortLink(QString programDirectory, PortSettings settings = {},
                            QObject* parent = nullptr);

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override { return portName_; }
    QString errorString() const override;
    void write(const QByteArray& bytes) override;
    QByteArray read(qint64 count) override;
    LineSignals lineSignals() const override;
    bool lineSignalsReadable() const override { return lineSignalsReadable_; }

    static constexpr qint64 BufferSize = 2048;

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QString programDirectory_;
    PortSettings settings_;
    QString portName_;
    QString inUse_; // why the last open failed, when the port was held elsewhere
    mutable QSerialPort port_;
    mutable bool lineSignalsReadable_ = true;
};

} // namespace tirvon::serial
