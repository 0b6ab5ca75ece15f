#pragma once

#include "control_interpreter.h"
#include "control_server.h"
#include "controller_park.h"
#include "modem_model.h"
#include "pty_endpoint.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <memory>

namespace gsmsim {

struct SimulatorOptions {
    ModemSettings modem;
    QString linkPath;       // symbolic link to the pseudo-terminal's slave
    QString receivedPath;   // raw copy of every byte the station sent
    QString transcriptPath; // readable record of both directions
    QString controlPath;    // UNIX socket of the control interface
    bool controlOnStdin = true;
    QList<ControllerConfig> controllers; // simulated controllers; none without a controllers file
    ParkSettings park;                   // their scenario, one tick per second
};

// Wires the modem model to the pseudo-terminal, the record files, the control interface, the
// ring timer of incoming calls and, when there are simulated controllers, their one-second tick.
class Simulator : public QObject {
    Q_OBJECT
public:
    static constexpr int kRingIntervalMs = 3000;
    static constexpr int kParkTickMs = 1000;

    explicit Simulator(SimulatorOptions options, QObject* parent = nullptr);

    bool start(QString* error);
    QString portPath() const { return m_pty.portPath(); }

signals:
    void quitRequested();

private:
    void takeStationBytes(const QByteArray& bytes);
    QList<QByteArray> takeControlLine(const QByteArray& line);
    void ring();
    void writeTranscript(Direction direction, const QByteArray& bytes);

    SimulatorOptions m_options;
    ModemModel m_modem;
    ControlInterpreter m_interpreter;
    PtyEndpoint m_pty;
    ControlServer m_control;
    QTimer m_ringTimer;
    std::unique_ptr<ControllerPark> m_park;
    QTimer m_parkTimer;
    QFile m_received;
    QFile m_transcript;
};

} // namespace gsmsim
