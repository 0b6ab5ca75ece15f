#include "controller_park.h"

#include <QStringEncoder>

#include <algorithm>

namespace gsmsim {

namespace {

QByteArray withoutPlus(const QByteArray& number) {
    return number.startsWith('+') ? number.mid(1) : number;
}

} // namespace

std::optional<ReportKind> reportKindFromName(const QByteArray& name) {
    static const std::pair<const char*, ReportKind> kinds[] = {
        {"state", ReportKind::State}, {"alarm", ReportKind::Alarm}, {"test", ReportKind::Test},
        {"power", ReportKind::Power}, {"arm", ReportKind::Arm},     {"disarm", ReportKind::Disarm},
    };
    for (const auto& [word, kind] : kinds) {
        if (name.toLower() == word)
            return kind;
    }
    return std::nullopt;
}

QByteArray balanceNotice(int kopecks) {
    const QString text = QStringLiteral("Баланс: %1.%2 р.")
                             .arg(kopecks / 100)
                             .arg(kopecks % 100, 2, 10, QLatin1Char('0'));
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

ControllerPark::ControllerPark(ModemModel& modem, ParkSettings settings)
    : m_modem(modem), m_settings(std::move(settings)), m_random(m_settings.seed),
      m_commandsSeen(modem.sentMessages().size()) {}

bool ControllerPark::add(const ControllerConfig& config) {
    if (find(config.phone))
        return false;
    m_controllers.emplace_back(config, m_settings.stationNumber);
    return true;
}

const SimulatedController* ControllerPark::find(const QByteArray& phone) const {
    const QByteArray wanted = withoutPlus(phone);
    for (const SimulatedController& controller : m_controllers) {
        if (controller.config().phone == wanted)
            return &controller;
    }
    return nullptr;
}

SimulatedController* ControllerPark::findMutable(const QByteArray& phone) {
    return const_cast<SimulatedController*>(find(phone));
}

void ControllerPark::tick(const QDateTime& now) {
    takeCommands();
    deliverCommands(now);
    // With room left no command is held back, so the events do not overtake them.
    if (m_settings.reportEveryTicks > 0 && !m_controllers.empty() && hasRoom() &&
        m_random.bounded(m_settings.reportEveryTicks) == 0)
        makeEvent(now);
    ++m_ticks;
}

std::optional<int> ControllerPark::reportNow(const QByteArray& phone, ReportKind kind,
                                             const QDateTime& now) {
    SimulatedController* controller = findMutable(phone);
    if (!controller)
        return std::nullopt;
    return store(*controller, makeReport(*controller, kind, now), now);
}

// A command reaches its controller a few ticks after the station sent it, in the order sent.
void ControllerPark::takeCommands() {
    const QList<SentMessage>& sent = m_modem.sentMessages();
    for (; m_commandsSeen < sent.size(); ++m_commandsSeen) {
        const SentMessage& command = sent[m_commandsSeen];
        if (!find(command.number))
            continue;
        const int delay =
            m_random.bounded(m_settings.minAnswerDelayTicks, m_settings.maxAnswerDelayTicks + 1);
        m_commands.push_back({m_ticks + delay, command.number, command.text});
    }
}

// Only the oldest command can go, so none overtakes another. The controller acts on it and
// answers at once; while the store is full the commands wait, so no answer is lost.
void ControllerPark::deliverCommands(const QDateTime& now) {
    while (!m_commands.empty() && m_commands.front().dueTick <= m_ticks && hasRoom()) {
        const PendingCommand command = m_commands.front();
        m_commands.pop_front();
        SimulatedController* controller = findMutable(command.number);
        if (const auto answer = controller->takeCommand(command.text, now))
            store(*controller, *answer, now);
    }
}

bool ControllerPark::hasRoom() const {
    return m_modem.store().count() < m_modem.store().capacity();
}

std::optional<int> ControllerPark::store(const SimulatedController& controller,
                                         const QByteArray& text, const QDateTime& now) {
    return m_modem.store().add('+' + controller.config().phone, serviceCentreTimestamp(now), text);
}

void ControllerPark::makeEvent(const QDateTime& now) {
    const int roll = m_random.bounded(100);
    if (roll < 5) {
        sendFromUnknownNumber(now);
        return;
    }
    SimulatedController& controller =
        m_controllers[m_random.bounded(static_cast<quint32>(m_controllers.size()))];
    QByteArray text;
    if (roll < 40)
        text = randomInputEvent(controller, now);
    else if (roll < 60)
        text = randomArming(controller, !controller.armed(), now);
    else if (roll < 75)
        text = controller.testReport(now);
    else if (roll < 85)
        text = controller.powerChanged(!controller.powerOk(), now);
    else
        text = randomBatteryChange(controller, now);
    store(controller, text, now);
}

QByteArray ControllerPark::makeReport(SimulatedController& controller, ReportKind kind,
                                      const QDateTime& now) {
    switch (kind) {
    case ReportKind::State:
        return controller.stateReport(now);
    case ReportKind::Alarm:
        return controller.alarm(1 + m_random.bounded(SimulatedController::kInputs), now);
    case ReportKind::Test:
        return controller.testReport(now);
    case ReportKind::Power:
        return controller.powerChanged(!controller.powerOk(), now);
    case ReportKind::Arm:
        return randomArming(controller, true, now);
    case ReportKind::Disarm:
        break;
    }
    return randomArming(controller, false, now);
}

// An open input closes; a closed one opens, which is an alarm while armed.
QByteArray ControllerPark::randomInputEvent(SimulatedController& controller, const QDateTime& now) {
    const int input = 1 + m_random.bounded(SimulatedController::kInputs);
    const bool open = controller.signal(inputName(input)) == "CLOSE";
    return controller.inputChanged(input, open, now);
}

// By a key, the button or an SMS; the station's own command comes only as a command.
QByteArray ControllerPark::randomArming(SimulatedController& controller, bool arm,
                                        const QDateTime& now) {
    static const ArmingMethod methods[] = {ArmingMethod::Key, ArmingMethod::Button,
                                           ArmingMethod::Sms};
    const ArmingMethod method = methods[m_random.bounded(3)];
    QByteArray detail;
    if (method == ArmingMethod::Key)
        detail = QByteArray::number(m_random.generate(), 16).toUpper().rightJustified(8, '0');
    else if (method == ArmingMethod::Sms)
        detail = "+7916" + randomDigits(7);
    return arm ? controller.arm(method, detail, now) : controller.disarm(method, detail, now);
}

// Charges on mains power, runs down without it.
QByteArray ControllerPark::randomBatteryChange(SimulatedController& controller,
                                               const QDateTime& now) {
    const int charge = controller.powerOk()
                           ? std::min(100, controller.battery() + 10)
                           : std::max(5, controller.battery() - 5 - m_random.bounded(10));
    return controller.batteryChanged(charge, now);
}

// A controller the station does not know raising an alarm, or a notice from the network.
void ControllerPark::sendFromUnknownNumber(const QDateTime& now) {
    const QByteArray sender = "+79" + randomDigits(9);
    if (find(sender))
        return;
    QByteArray text;
    if (m_random.bounded(2) == 0) {
        SimulatedController stranger(ControllerConfig{sender.mid(1), {}, {}});
        text = stranger.alarm(1 + m_random.bounded(SimulatedController::kInputs), now);
    } else {
        text = balanceNotice(m_random.bounded(100, 100000));
    }
    m_modem.store().add(sender, serviceCentreTimestamp(now), text);
}

QByteArray ControllerPark::randomDigits(int count) {
    QByteArray digits;
    for (int i = 0; i < count; ++i)
        digits += static_cast<char>('0' + m_random.bounded(10));
    return digits;
}

} // namespace gsmsim
