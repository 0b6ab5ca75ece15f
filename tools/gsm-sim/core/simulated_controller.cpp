#include "simulated_controller.h"

#include <QRegularExpression>

namespace gsmsim {

namespace {

const QByteArray kConfirmMark = " !";

bool isSwitch(const QByteArray& name) {
    static const QList<QByteArray> switches = {"RELE1", "RELE2", "OUT1", "OUT2",
                                               "OUT3",  "OUT4",  "OUT5"};
    return switches.contains(name);
}

QByteArray armingLine(bool arm, ArmingMethod method, const QByteArray& detail) {
    const QByteArray word = arm ? "ARM" : "DISARM";
    switch (method) {
    case ArmingMethod::Key:
        return word + " T:" + detail;
    case ArmingMethod::Button:
        return word + " B";
    case ArmingMethod::Sms:
        return word + " SMS:" + detail;
    case ArmingMethod::Station:
        break;
    }
    return word;
}

} // namespace

QByteArray inputName(int input) {
    return "IN" + QByteArray::number(input);
}

SimulatedController::SimulatedController(ControllerConfig config, QByteArray stationNumber)
    : m_config(std::move(config)), m_stationNumber(std::move(stationNumber)) {
    for (int input = 1; input <= kInputs; ++input)
        m_signals.append(Signal{inputName(input), "CLOSE"});
    for (const QByteArray name : {"RELE1", "RELE2", "OUT1", "OUT2", "OUT3", "OUT4", "OUT5"})
        m_signals.append(Signal{name, "OFF"});
    m_signals.append(Signal{"POWER", "OK"});
    m_signals.append(Signal{"BATTERY", "100"});
}

std::optional<QByteArray> SimulatedController::signal(const QByteArray& name) const {
    for (const Signal& signal : m_signals) {
        if (signal.name == name)
            return signal.value;
    }
    return std::nullopt;
}

void SimulatedController::setSignal(const QByteArray& name, const QByteArray& value) {
    for (Signal& signal : m_signals) {
        if (signal.name == name)
            signal.value = value;
    }
}

QByteArray SimulatedController::signalLine(const QByteArray& name) const {
    return name + ' ' + signal(name).value_or(QByteArray());
}

QByteArray SimulatedController::report(const QDateTime& now, const QList<QByteArray>& lines) const {
    QByteArray text = clock(now).toString(QStringLiteral("hh:mm")).toLatin1();
    for (const QByteArray& line : lines)
        text += '\n' + line;
    return text;
}

QByteArray SimulatedController::stateReport(const QDateTime& now) const {
    QList<QByteArray> lines;
    for (int input = 1; input <= kInputs; ++input)
        lines.append(signalLine(inputName(input)));
    return report(now, lines + QList<QByteArray>{signalLine("POWER"), signalLine("BATTERY")});
}

QByteArray SimulatedController::testReport(const QDateTime& now) const {
    return "TEST\n" +
           report(now, {m_armed ? "ARM" : "DISARM", signalLine("POWER"), signalLine("BATTERY")});
}

QByteArray SimulatedController::inputChanged(int input, bool open, const QDateTime& now) {
    if (open && m_armed)
        return alarm(input, now);
    setSignal(inputName(input), open ? "OPEN" : "CLOSE");
    return report(now, {signalLine(inputName(input))});
}

QByteArray SimulatedController::alarm(int input, const QDateTime& now) {
    setSignal(inputName(input), "OPEN");
    return report(now, {"ALARM", signalLine(inputName(input))});
}

QByteArray SimulatedController::arm(ArmingMethod method, const QByteArray& detail,
                                    const QDateTime& now) {
    return armingReport(true, method, detail, now);
}

QByteArray SimulatedController::disarm(ArmingMethod method, const QByteArray& detail,
                                       const QDateTime& now) {
    return armingReport(false, method, detail, now);
}

QByteArray SimulatedController::armingReport(bool arm, ArmingMethod method,
                                             const QByteArray& detail, const QDateTime& now) {
    m_armed = arm;
    return report(now, {armingLine(arm, method, detail)});
}

QByteArray SimulatedController::powerChanged(bool ok, const QDateTime& now) {
    setSignal("POWER", ok ? "OK" : "FAULT");
    return report(now, {signalLine("POWER")});
}

QByteArray SimulatedController::batteryChanged(int percent, const QDateTime& now) {
    setSignal("BATTERY", QByteArray::number(percent));
    return report(now, {signalLine("BATTERY")});
}

std::optional<QByteArray> SimulatedController::takeCommand(const QByteArray& text,
                                                           const QDateTime& now) {
    QByteArray command = text;
    while (command.endsWith('\n') || command.endsWith('\r'))
        command.chop(1);
    const QByteArray envelope = '/' + m_config.password + ' ';
    if (!command.startsWith(envelope))
        return std::nullopt;
    QByteArray body = command.mid(envelope.size());
    const bool confirm = body.endsWith(kConfirmMark);
    if (confirm)
        body.chop(kConfirmMark.size());
    const auto confirmed = [&](const QByteArray& answer) -> std::optional<QByteArray> {
        if (!confirm)
            return std::nullopt;
        return answer;
    };

    if (body == "ARM" || body == "DISARM")
        return confirmed(armingReport(body == "ARM", ArmingMethod::Station, {}, now));
    if (body == "TEST")
        return testReport(now);
    if (body == "LISTEN") {
        return report(now, {powerOk() ? "LISTEN +" + m_stationNumber : QByteArray("LISTEN NO")});
    }
    if (body.startsWith("SETTIME ")) {
        if (!setClock(body.mid(8), now))
            return std::nullopt;
        return confirmed(report(now, {signalLine("POWER"), signalLine("BATTERY")}));
    }
    if (body.startsWith("TTIME ")) {
        m_testPoints = body.mid(6);
        return confirmed(report(now, {"TTIME " + m_testPoints}));
    }
    const QList<QByteArray> words = body.split(' ');
    if (words.size() == 2 && isSwitch(words[0]) && (words[1] == "ON" || words[1] == "OFF")) {
        setSignal(words[0], words[1]);
        return confirmed(report(now, {signalLine(words[0])}));
    }
    return pollAnswer(body, now);
}

// A poll list is pairs of a short name and "?", separated by single blanks.
std::optional<QByteArray> SimulatedController::pollAnswer(const QByteArray& body,
                                                          const QDateTime& now) const {
    const QList<QByteArray> words = body.split(' ');
    if (words.size() % 2 != 0)
        return std::nullopt;
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < words.size(); i += 2) {
        if (words[i + 1] != "?")
            return std::nullopt;
        if (signal(words[i]))
            lines.append(signalLine(words[i]));
    }
    if (lines.isEmpty())
        return std::nullopt;
    return report(now, lines);
}

// dd.mm.yy.hh:mm, the year in this century. The clock runs on from the given minute.
bool SimulatedController::setClock(const QByteArray& dateTime, const QDateTime& now) {
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d\d)\.(\d\d)\.(\d\d)\.(\d\d):(\d\d)$)"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(dateTime));
    if (!match.hasMatch())
        return false;
    const auto number = [&](int group) {
        return match.captured(group).toInt();
    };
    const QDate date(2000 + number(3), number(2), number(1));
    const QTime time(number(4), number(5));
    if (!date.isValid() || !time.isValid())
        return false;
    QDateTime target = now;
    target.setDate(date);
    target.setTime(time);
    m_clockOffsetSeconds = now.secsTo(target);
    return true;
}

} // namespace gsmsim
