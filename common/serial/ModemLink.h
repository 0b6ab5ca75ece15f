#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace tirvon::serial {

// The serial line signals the station shows on its indicators.
struct LineSignals {
    bool cts = false;
    bool dsr = false;
    bool rlsd = false; // carrier detect
    bool ring = false;
    bool operator==(const LineSignals&) const = default;
};

// The one serial port of the modem, as the exchange sees it. Notifications come
// on the thread that owns the link (the GUI thread), in arrival order.
class ModemLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;
    virtual QString errorString() const = 0;

    virtual void write(const QByteArray& bytes) = 0;
    // Reads up to count of the characters received and not read yet.
    virtual QByteArray read(qint64 count) = 0;

    virtual LineSignals lineSignals() const = 0;
    // False once the port has refused to tell its line signals (a
    // pseudo-terminal does): asking again is of no use.
    virtual bool lineSignalsReadable() const { return true; }

signals:
    void charactersReceived(qint64 count);
    void lineError();
    void transmitted(); // bytes went out: the Tx indicator
    void openChanged(bool open);
};

} // namespace tirvon::serial
