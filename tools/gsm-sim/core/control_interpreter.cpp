#include "control_interpreter.h"

#include "byte_escape.h"

namespace gsmsim {

namespace {

// Cuts the next blank-separated word from the front of rest; rest keeps the blank after it.
QByteArray takeWord(QByteArrayView& rest) {
    while (rest.startsWith(' '))
        rest = rest.sliced(1);
    qsizetype end = rest.indexOf(' ');
    if (end < 0)
        end = rest.size();
    const QByteArray word = rest.first(end).toByteArray();
    rest = rest.sliced(end);
    return word;
}

ControlOutcome reply(const QByteArray& line) {
    return ControlOutcome{{line}, {}, false};
}
ControlOutcome failure(const QByteArray& reason) {
    return reply("ERROR " + reason);
}

} // namespace

ControlInterpreter::ControlInterpreter(ModemModel& modem, Clock clock)
    : m_modem(modem), m_clock(std::move(clock)) {}

ControlOutcome ControlInterpreter::execute(const QByteArray& line) {
    QByteArrayView rest(line);
    while (rest.endsWith('\n') || rest.endsWith('\r'))
        rest.chop(1);
    const QByteArray verb = takeWord(rest).toUpper();
    if (verb.isEmpty())
        return {};
    if (verb == "SMS")
        return storeMessage(rest);
    if (verb == "CALL")
        return startCall(rest);
    if (verb == "HANGUP")
        return hangUp();
    if (verb == "SENT")
        return listSent();
    if (verb == "STORE")
        return listStore(takeWord(rest).toUpper() == "LIST");
    if (verb == "CONTROLLERS")
        return listControllers();
    if (verb == "REPORT")
        return makeReport(rest);
    if (verb == "MUTE" || verb == "UNMUTE") {
        m_modem.setMuted(verb == "MUTE");
        return reply("OK");
    }
    if (verb == "RESTART") {
        ControlOutcome outcome = reply("OK");
        outcome.toStation = m_modem.restart();
        outcome.dropPendingOutput = true;
        return outcome;
    }
    if (verb == "UNPLUG" || verb == "REPLUG")
        return plug(verb == "REPLUG");
    if (verb == "QUIT")
        return ControlOutcome{{"OK"}, {}, true};
    return failure("unknown command " + verb);
}

ControlOutcome ControlInterpreter::storeMessage(QByteArrayView arguments) {
    const QByteArray sender = takeWord(arguments);
    QByteArray timestamp = takeWord(arguments);
    if (sender.isEmpty() || timestamp.isEmpty())
        return failure("usage: SMS <sender> <yy/MM/dd,hh:mm:ss+zz|now> <text>");
    if (timestamp.toLower() == "now")
        timestamp = serviceCentreTimestamp(m_clock());
    else if (!isServiceCentreTimestamp(timestamp))
        return failure("bad timestamp " + timestamp);
    if (arguments.startsWith(' '))
        arguments = arguments.sliced(1); // the one blank before the text; more belong to it
    const auto text = decodeControlText(arguments.toByteArray());
    if (!text)
        return failure("bad text: unknown escape or a character outside code page 1251");
    const auto index = m_modem.store().add(sender, timestamp, *text);
    if (!index)
        return failure("store full");
    return reply("OK " + QByteArray::number(*index));
}

ControlOutcome ControlInterpreter::startCall(QByteArrayView arguments) {
    const QByteArray number = takeWord(arguments);
    const QByteArray typeWord = takeWord(arguments);
    if (number.isEmpty())
        return failure("usage: CALL <number> [type]");
    std::optional<int> type;
    if (!typeWord.isEmpty()) {
        bool isNumber = false;
        type = typeWord.toInt(&isNumber);
        if (!isNumber)
            return failure("bad number type " + typeWord);
    }
    if (m_modem.callState() != CallState::Idle)
        return failure("call in progress");
    return ControlOutcome{{"OK"}, m_modem.startCall(number, type), false};
}

ControlOutcome ControlInterpreter::hangUp() {
    if (m_modem.callState() == CallState::Idle)
        return failure("no call");
    return ControlOutcome{{"OK"}, m_modem.callerHangsUp(), false};
}

ControlOutcome ControlInterpreter::listStore(bool withMessages) const {
    const MessageStore& store = m_modem.store();
    ControlOutcome outcome = reply("OK " + QByteArray::number(store.count()));
    if (withMessages) {
        for (const auto& [index, message] : store.messages())
            outcome.replyLines.append(QByteArray::number(index) + ' ' + message.sender + ' ' +
                                      message.timestamp);
    }
    return outcome;
}

ControlOutcome ControlInterpreter::listSent() const {
    const auto& sent = m_modem.sentMessages();
    ControlOutcome outcome = reply("OK " + QByteArray::number(sent.size()));
    for (const SentMessage& message : sent)
        outcome.replyLines.append(message.number + ' ' + escapeBytes(message.text));
    return outcome;
}

ControlOutcome ControlInterpreter::listControllers() const {
    if (!m_park)
        return reply("OK 0");
    const auto& controllers = m_park->controllers();
    ControlOutcome outcome = reply("OK " + QByteArray::number(controllers.size()));
    for (const SimulatedController& controller : controllers) {
        const ControllerConfig& config = controller.config();
        const QByteArray password = config.password.isEmpty() ? "\"\"" : config.password;
        QByteArray line = config.phone + ' ' + escapeBytes(password) + ' ' +
                          (controller.armed() ? "armed" : "disarmed");
        if (!config.name.isEmpty())
            line += ' ' + config.name.toUtf8();
        outcome.replyLines.append(line);
    }
    return outcome;
}

ControlOutcome ControlInterpreter::plug(bool plugIn) {
    if (!m_plug)
        return failure("no port to unplug");
    if (const auto error = m_plug(plugIn))
        return failure(*error);
    if (plugIn)
        m_modem.powerOn();
    return reply("OK");
}

ControlOutcome ControlInterpreter::makeReport(QByteArrayView arguments) {
    const QByteArray phone = takeWord(arguments);
    const QByteArray kindWord = takeWord(arguments);
    if (phone.isEmpty() || kindWord.isEmpty())
        return failure("usage: REPORT <phone> <state|alarm|test|power|arm|disarm>");
    if (!m_park || !m_park->find(phone))
        return failure("unknown controller " + phone);
    const auto kind = reportKindFromName(kindWord);
    if (!kind)
        return failure("unknown report kind " + kindWord);
    const auto index = m_park->reportNow(phone, *kind, m_clock());
    if (!index)
        return failure("store full");
    return reply("OK " + QByteArray::number(*index));
}

} // namespace gsmsim
