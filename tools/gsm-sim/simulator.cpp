#include "simulator.h"

#include "byte_escape.h"

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
      m_control([this](const QByteArray& line) { return takeControlLine(line); }) {
    m_ringTimer.setInterval(kRingIntervalMs);
    connect(&m_ringTimer, &QTimer::timeout, this, &Simulator::ring);
    connect(&m_pty, &PtyEndpoint::received, this, &Simulator::takeStationBytes);
    if (!m_options.controllers.isEmpty()) {
        m_park = std::make_unique<ControllerPark>(m_modem, m_options.park);
        for (const ControllerConfig& controller : m_options.controllers)
            m_park->add(controller);
        m_interpreter.attachPark(m_park.get());
        m_parkTimer.setInterval(kParkTickMs);
        connect(&m_parkTimer, &QTimer::timeout, this,
                [this] { m_park->tick(QDateTime::currentDateTime()); });
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
    return true;
}

void Simulator::takeStationBytes(const QByteArray& bytes) {
    if (m_received.isOpen())
        m_received.write(bytes); // unbuffered: on disk before the modem answers
    m_pty.send(m_modem.feed(bytes));
}

QList<QByteArray> Simulator::takeControlLine(const QByteArray& line) {
    const ControlOutcome outcome = m_interpreter.execute(line);
    m_pty.send(outcome.toStation);
    if (m_modem.callState() == CallState::Ringing && !m_ringTimer.isActive())
        m_ringTimer.start();
    if (outcome.quit)
        QMetaObject::invokeMethod(this, &Simulator::quitRequested, Qt::QueuedConnection);
    return outcome.replyLines;
}

void Simulator::ring() {
    m_pty.send(m_modem.ringTick());
    if (m_modem.callState() != CallState::Ringing)
        m_ringTimer.stop();
}

void Simulator::writeTranscript(Direction direction, const QByteArray& bytes) {
    const QByteArray arrow = direction == Direction::ToModem ? ">> " : "<< ";
    m_transcript.write(arrow + escapeBytes(bytes) + '\n');
}

} // namespace gsmsim
