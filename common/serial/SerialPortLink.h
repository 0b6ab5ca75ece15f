#pragma once

#include "serial/ModemLink.h"

#include <QSerialPort>

namespace tirvon::serial {

// Where port "COMn" is on this machine: the entry COMn of the program directory
// when there is one (a symbolic link to /dev/ttyUSB0, a pseudo-terminal, ...),
// else /dev/ttyS<n-1>. Any other name is taken as it stands.
QString resolvePortName(const QString& programDirectory, const QString& portName);

// The modem's serial port with the station's fixed settings: 19200 baud, 8 data
// bits, no parity, 1 stop bit, no flow control, DTR and RTS raised while open,
// 2048-byte buffers.
//
// The modem's DSR output flow control (hold transmission while the modem drops
// DSR) has no termios equivalent on Linux and stays off; the modems in use keep
// DSR raised. XON/XOFF is off in both directions.
class SerialPortLink : public ModemLink {
    Q_OBJECT
public:
    explicit SerialPortLink(QString programDirectory, QObject* parent = nullptr);

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override { return portName_; }
    QString errorString() const override;
    void write(const QByteArray& bytes) override;
    QByteArray read(qint64 count) override;
    LineSignals lineSignals() const override;
    bool lineSignalsReadable() const override { return lineSignalsReadable_; }

    static constexpr qint32 BaudRate = 19200;
    static constexpr qint64 BufferSize = 2048;

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QString programDirectory_;
    QString portName_;
    mutable QSerialPort port_;
    mutable bool lineSignalsReadable_ = true;
};

} // namespace tirvon::serial
