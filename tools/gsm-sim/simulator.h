#pragma once

#include "control_interpreter.h"
#include "control_server.h"
#include "controller_park.h"
#include "line_pacer.h"
#include "modem_model.h"
#include "pty_endpoint.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QRandomGenerator>
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
    int baud = 0;         // output paced as on a serial line of this rate; 0: as fast as it goes
    quint32 lineSeed = 1; // chunk sizes of paced output, pauses between unsolicited lines
};

// Wires the modem model to the pseudo-terminal, the record files, the control interface, the
// ring timer of incoming calls and, when there are simulated controllers, their one-second tick.
// Everything for the station leaves through send(): straight to the pseudo-terminal, or with a
// rate through the line pacer, whose timer runs only while bytes wait.
class Simulator : public QObject {
    Q_OBJECT
public:
    static constexpr int kRingIntervalMs = 3000;
    static constexpr int kParkTickMs = 1000;
    static constexpr int kMinUnsolicitedPauseMs = 2000;
    static constexpr int kMaxUnsolicitedPauseMs = 8000;

    explicit Simulator(SimulatorOptions options, QObject* parent = nullptr);

    bool start(QString* error);
    QString portPath() const { return m_pty.portPath(); }

signals:
    void quitRequested();

private:
    void takeStationBytes(const QByteArray& bytes);
    QList<QByteArray> takeControlLine(const QByteArray& line);
    std::optional<QByteArray> plug(bool plugIn);
    void dropPendingOutput();
    void ring();
    void send(const QByteArray& bytes);
    void writeDueChunks();
    void schedulePacedOutput();
    void sendUnsolicitedLine();
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
    std::unique_ptr<LinePacer> m_pacer;
    QTimer m_paceTimer;
    QElapsedTimer m_lineClock;
    QRandomGenerator m_lineRandom;
    QTimer m_unsolicitedTimer;
};

} // namespace gsmsim
