#pragma once

#include "modem/ModemExchange.h"
#include "serial/ModemLink.h"

// A modem link that records what is written and delivers what a test gives it,
// with one notification per delivery.
class FakeModemLink : public tirvon::serial::ModemLink {
public:
    bool open(const QString& portName) override {
        if (refuseOpen)
            return false;
        name = portName;
        opened = true;
        emit openChanged(true);
        return true;
    }
    void close() override {
        if (opened)
            emit openChanged(false);
        opened = false;
    }
    bool isOpen() const override { return opened; }
    QString portName() const override { return name; }
    QString errorString() const override { return QStringLiteral("refused"); }
    void write(const QByteArray& bytes) override { written += bytes; }
    QByteArray read(qint64 count) override {
        const QByteArray out = pending.left(count);
        pending.remove(0, out.size());
        return out;
    }
    tirvon::serial::LineSignals lineSignals() const override { return signalState; }

    void deliver(const QByteArray& bytes) {
        pending += bytes;
        emit charactersReceived(bytes.size());
    }

    QByteArray written;
    QByteArray pending;
    QString name;
    bool opened = false;
    bool refuseOpen = false;
    tirvon::serial::LineSignals signalState;
};

// An exchange view that shows nothing, for tests that look elsewhere.
struct NullExchangeView : tirvon::modem::ExchangeView {
    void exchangeEnded(tirvon::modem::ExchangeOutcome) override {}
    void monitorEntry(const QByteArray&) override {}
};
