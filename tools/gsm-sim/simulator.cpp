#include "simulator.h"

#include "byte_escape.h"

#include <algorithm>

namespace gsmsim {

namespace {

bool openForAppend(QFile& file, const QString& path, QString* error) {
    file.setFileName(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
    *error = QStringLiteral("cannot open ") + path + QStringLiteral(": ") + file.errorString();
    return false;
}

} // namespace

Simulator::Simulator(SimulatorOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_modem(m_options.modem),
      m_interpreter(m_modem),
      m_control([this](const QByteArray& line) { return takeControlLine(line); }),
      m_lineRandom(m_options.lineSeed) {
    m_interpreter.setPlugHandler([this](bool plugIn) { return plug(plugIn); });
    m_ringTimer.setInterval(kRingIntervalMs);
    connect(&m_ringTimer, &QTimer::timeout, this, &Simulator::ring);
    connect(&m_pty, &PtyEndpoint::received, this, &Simulator::takeStationBytes);
    if (!m_options.controllers.isEmpty()) {
        m_park = std::make_unique<ControllerPark>(m_modem, m_options.park);
        for (const ControllerConfig& controller : m_options.controllers)
            m_park->add(controller);
        m_interpreter.attachPark(m_park.get());
        m_parkTimer.setInterval(kParkTickMs);
        connect(&m_parkTimer, &QTimer::timeout, this, [this] {
            m_park->tick(QDateTime::currentDateTime());
            send(m_modem.messageNotices());
        });
    }
    if (m_options.baud > 0) {
        m_pacer = std::make_unique<LinePacer>(m_options.baud, m_options.lineSeed);
        m_paceTimer.setSingleShot(true);
        m_paceTimer.setTimerType(Qt::PreciseTimer);
        connect(&m_paceTimer, &QTimer::timeout, this, &Simulator::writeDueChunks);
        m_lineClock.start();
    }
    if (m_options.modem.unsolicitedLines) {
        m_unsolicitedTimer.setSingleShot(true);
        connect(&m_unsolicitedTimer, &QTimer::timeout, this, &Simulator::sendUnsolicitedLine);
    }
}

bool Simulator::start(QString* error) {
    if (!m_options.receivedPath.isEmpty() &&
        !openForAppend(m_received, m_options.receivedPath, error))
        return false;
    if (!m_options.transcriptPath.isEmpty()) {
        if (!openForAppend(m_transcript, m_options.transcriptPath, error))
            return false;
        m_modem.setTrafficObserver([this](Direction direction, const QByteArray& bytes) {
            writeTranscript(direction, bytes);
        });
    }
    if (!m_pty.open(m_options.linkPath, error))
        return false;
    if (!m_options.controlPath.isEmpty() && !m_control.listen(m_options.controlPath, error))
        return false;
    if (m_options.controlOnStdin)
        m_control.readStandardInput();
    if (m_park)
        m_parkTimer.start();
    if (m_options.modem.unsolicitedLines)
        m_unsolicitedTimer.start(
            m_lineRandom.bounded(kMinUnsolicitedPauseMs, kMaxUnsolicitedPauseMs + 1));
    return true;
}

void Simulator::takeStationBytes(const QByteArray& bytes) {
    if (m_received.isOpen())
        m_received.write(bytes); // unbuffered: on disk before the modem answers
    send(m_modem.feed(bytes));
    send(m_modem.messageNotices()); // those held back while the station wrote a message
}

QList<QByteArray> Simulator::takeControlLine(const QByteArray& line) {
    const ControlOutcome outcome = m_interpreter.execute(line);
    if (outcome.dropPendingOutput)
        dropPendingOutput();
    send(outcome.toStation);
    send(m_modem.messageNotices());
    if (m_modem.callState() == CallState::Ringing && !m_ringTimer.isActive())
        m_ringTimer.start();
    if (outcome.quit)
        QMetaObject::invokeMethod(this, &Simulator::quitRequested, Qt::QueuedConnection);
    return outcome.replyLines;
}

// Unplugging closes the pseudo-terminal and removes the link; what was on its way is lost.
// Plugging in makes a new one behind the same link (the interpreter then powers the modem on).
std::optional<QByteArray> Simulator::plug(bool plugIn) {
    if (plugIn == m_pty.isOpen())
        return QByteArray(plugIn ? "not unplugged" : "already unplugged");
    dropPendingOutput();
    m_ringTimer.stop();
    if (!plugIn) {
        m_pty.close();
        return std::nullopt;
    }
    QString error;
    if (m_pty.open(m_options.linkPath, &error))
        return std::nullopt;
    m_pty.close(); // half made; REPLUG may try again
    return error.toLocal8Bit();
}

void Simulator::dropPendingOutput() {
    if (m_pacer) {
        m_pacer->clear();
        m_paceTimer.stop();
    }
    m_pty.dropPending();
}

void Simulator::ring() {
    send(m_modem.ringTick());
    if (m_modem.callState() != CallState::Ringing)
        m_ringTimer.stop();
}

void Simulator::sendUnsolicitedLine() {
    send(m_modem.unsolicitedTick());
    m_unsolicitedTimer.start(
        m_lineRandom.bounded(kMinUnsolicitedPauseMs, kMaxUnsolicitedPauseMs + 1));
}

void Simulator::send(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (!m_pacer) {
        m_pty.send(bytes);
        return;
    }
    m_pacer->push(bytes, m_lineClock.nsecsElapsed());
    if (!m_paceTimer.isActive())
        schedulePacedOutput();
}

void Simulator::writeDueChunks() {
    const qint64 now = m_lineClock.nsecsElapsed();
    while (const auto chunk = m_pacer->takeDue(now))
        m_pty.send(*chunk);
    schedulePacedOutput();
}

// Wakes up when the next chunk is due, rounded up to the timer's milliseconds; no timer at all
// while nothing waits.
void Simulator::schedulePacedOutput() {
    const auto due = m_pacer->nextDue();
    if (!due) {
        m_paceTimer.stop();
        return;
    }
    const qint64 waitNs = std::max<qint64>(*due - m_lineClock.nsecsElapsed(), 0);
    m_paceTimer.start(static_cast<int>((waitNs + 999'999) / 1'000'000));
}

void Simulator::writeTranscript(Direction direction, const QByteArray& bytes) {
    const QByteArray arrow = direction == Direction::ToModem ? ">> " : "<< ";
    m_transcript.write(arrow + escapeBytes(bytes) + '\n');
}

} // namespace gsmsim
