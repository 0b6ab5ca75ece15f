#include "serial/SerialPortLink.h"

#include <QFileInfo>

#include <sys/file.h>

namespace tirvon::serial {

QString resolvePortName(const QString& programDirectory, const QString& portName) {
    static const QLatin1String com("COM");
    if (!portName.startsWith(com, Qt::CaseInsensitive))
        return portName;
    bool ok = false;
    const int n = portName.mid(com.size()).toInt(&ok);
    if (!ok || n < 1)
        return portName;
    const QString local = programDirectory + portName;
    if (QFileInfo::exists(local))
        return local;
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

SerialPortLink::SerialPortLink(QString programDirectory, PortSettings settings, QObject* parent)
    : ModemLink(parent), programDirectory_(std::move(programDirectory)), settings_(settings) {
    port_.setReadBufferSize(0); // the station reads everything as it arrives
    connect(&port_, &QSerialPort::readyRead, this,
            [this] { emit charactersReceived(port_.bytesAvailable()); });
    connect(&port_, &QSerialPort::bytesWritten, this, [this] { emit transmitted(); });
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPortLink::onErrorOccurred);
}

bool SerialPortLink::open(const QString& portName) {
    if (port_.isOpen())
        close();
    portName_ = portName;
    inUse_.clear();
    port_.setPortName(resolvePortName(programDirectory_, portName));
    port_.setBaudRate(settings_.baudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite))
        return false;
    if (::flock(int(port_.handle()), LOCK_EX | LOCK_NB) != 0) {
        port_.close();
        inUse_ = QStringLiteral("Порт %1 занят другой программой").arg(portName);
        return false;
    }
    lineSignalsReadable_ = true;
    // A pseudo-terminal refuses the modem-line requests; the link works on.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(settings_.requestToSend);
    port_.clearError();
    emit openChanged(true);
    return true;
}

void SerialPortLink::close() {
    if (!port_.isOpen())
        return;
    port_.close();
    emit openChanged(false);
}

bool SerialPortLink::isOpen() const {
    return port_.isOpen();
}

QString SerialPortLink::errorString() const {
    return inUse_.isEmpty() ? port_.errorString() : inUse_;
}

void SerialPortLink::write(const QByteArray& bytes) {
    if (port_.isOpen())
        port_.write(bytes);
}

QByteArray SerialPortLink::read(qint64 count) {
    return port_.read(count);
}

LineSignals SerialPortLink::lineSignals() const {
    if (!port_.isOpen() || !lineSignalsReadable_)
        return {};
    port_.clearError();
    const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
    if (port_.error() != QSerialPort::NoError) {
        lineSignalsReadable_ = false;
        port_.clearError();
        return {};
    }
    return {pins.testFlag(QSerialPort::ClearToSendSignal),
            pins.testFlag(QSerialPort::DataSetReadySignal),
            pins.testFlag(QSerialPort::DataCarrierDetectSignal),
            pins.testFlag(QSerialPort::RingIndicatorSignal)};
}

void SerialPortLink::onErrorOccurred(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        // Qt 6 reports parity, framing and break conditions no more; what it does
        // report of a failing line is an I/O error on it.
        port_.clearError();
        emit lineError();
        break;
    default:
        // Opening failures reach the caller of open(); a pseudo-terminal's refusal
        // of the modem-line requests is no fault of the link.
        break;
    }
}

} // namespace tirvon::serial
