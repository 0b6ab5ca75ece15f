#include "modem_model.h"

#include <utility>

namespace gsmsim {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEscape = 0x1B;

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";
const QByteArray kNoCarrier = "\r\nNO CARRIER\r\n";
const QByteArray kInvalidIndex = "\r\n+CMS ERROR: 321\r\n";
const QByteArray kPrompt = "\r\n> ";

QByteArray info(const QByteArray& line) {
    return "\r\n" + line + "\r\n";
}

bool startsWithAny(const QByteArray& command, const QList<QByteArray>& prefixes) {
    for (const QByteArray& prefix : prefixes) {
        if (!prefix.isEmpty() && command.startsWith(prefix.trimmed().toUpper()))
            return true;
    }
    return false;
}

QByteArray unquoted(QByteArray text) {
    text = text.trimmed();
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace

ModemModel::ModemModel(ModemSettings settings)
    : m_settings(std::move(settings)), m_store(m_settings.storeCapacity),
      m_echo(m_settings.echoAtPowerOn) {}

QByteArray ModemModel::feed(const QByteArray& fromStation) {
    record(Direction::ToModem, fromStation);
    m_received += fromStation;
    QByteArray answer;
    for (char byte : fromStation) {
        const bool lineEndingLf = byte == '\n' && m_lineJustEnded;
        m_lineJustEnded = false;
        if (m_mode == Mode::TextEntry) {
            if (!lineEndingLf)
                answer += takeTextByte(byte);
        } else if (byte == '\r') {
            answer += executeLine(std::exchange(m_line, {}));
            m_lineJustEnded = true;
        } else if (byte != '\n') {
            m_line += byte;
        }
    }
    record(Direction::FromModem, answer);
    return answer;
}

QByteArray ModemModel::executeLine(const QByteArray& line) {
    const QByteArray command = line.trimmed().toUpper();
    if (command.isEmpty())
        return {};
    QByteArray answer = m_echo ? line + '\r' : QByteArray();
    if (!command.startsWith("AT") || startsWithAny(command, m_settings.silentCommands))
        return answer;
    if (startsWithAny(command, m_settings.errorCommands))
        return answer + kError;
    return answer + executeCommand(command);
}

QByteArray ModemModel::executeCommand(const QByteArray& command) {
    if (command == "AT")
        return kOk;
    if (command == "ATZ" || command == "ATZ0") {
        m_echo = m_settings.echoAtPowerOn;
        return kOk;
    }
    if (command == "ATE" || command == "ATE0" || command == "ATE1") {
        m_echo = command == "ATE1";
        return kOk;
    }
    if (command == "ATA")
        return answerCall();
    if (command == "ATH" || command == "ATH0") {
        m_callState = CallState::Idle;
        return kOk;
    }
    if (command == "AT+CGMI")
        return info(m_settings.maker) + kOk;
    if (command == "AT+CGMM")
        return info(m_settings.model) + kOk;
    if (command == "AT+CSQ")
        return info("+CSQ: " + QByteArray::number(m_settings.signalQuality) + ",99") + kOk;
    if (command.startsWith("AT+CPMS="))
        return info(storeStatus()) + kOk;
    if (command.startsWith("AT+CMGF=") || command.startsWith("AT+CSNS=") ||
        command.startsWith("AT+CLIP="))
        return kOk;
    if (command == "AT+CMGL=ALL" || command == "AT+CMGL=\"ALL\"")
        return listMessages();
    if (command.startsWith("AT+CMGD="))
        return deleteMessage(command.mid(8));
    if (command.startsWith("AT+CMGS="))
        return beginSend(command.mid(8));
    return kError;
}

// Entries follow the echo as one block framed by CR LF; the last entry's CR LF and the final
// "\r\nOK\r\n" make the "\r\n\r\nOK\r\n" the station waits for. An empty store answers the bare
// final result, so the whole reply with echo is exactly "at+cmgl=all\r\r\nOK\r\n".
QByteArray ModemModel::listMessages() {
    QByteArray entries;
    for (const auto& [index, message] : m_store.messages()) {
        entries += "+CMGL: " + QByteArray::number(index) + ",\"" +
                   (message.read ? "REC READ" : "REC UNREAD") + "\",\"" + message.sender +
                   "\",,\"" + message.timestamp + "\"\r\n" + message.text + "\r\n";
    }
    m_store.markAllRead();
    return entries.isEmpty() ? kOk : "\r\n" + entries + kOk;
}

QByteArray ModemModel::deleteMessage(const QByteArray& argument) {
    bool isNumber = false;
    const int index = argument.split(',').first().trimmed().toInt(&isNumber);
    if (!isNumber)
        return kError;
    return m_store.remove(index) ? kOk : kInvalidIndex;
}

QByteArray ModemModel::beginSend(const QByteArray& argument) {
    const QByteArray number = unquoted(argument.split(',').first());
    if (number.isEmpty())
        return kError;
    m_draft = SentMessage{number, {}};
    m_mode = Mode::TextEntry;
    return kPrompt;
}

QByteArray ModemModel::takeTextByte(char byte) {
    if (byte == kCtrlZ) {
        m_mode = Mode::Command;
        return finishSend();
    }
    if (byte == kEscape) {
        m_mode = Mode::Command;
        m_draft = {};
        return kOk;
    }
    m_draft.text += byte;
    return m_echo ? QByteArray(1, byte) : QByteArray();
}

QByteArray ModemModel::finishSend() {
    m_sent.append(std::exchange(m_draft, {}));
    const int reference = m_nextReference;
    m_nextReference = (m_nextReference + 1) % 256;
    return info("+CMGS: " + QByteArray::number(reference)) + kOk;
}

QByteArray ModemModel::answerCall() {
    if (m_callState != CallState::Ringing)
        return kNoCarrier;
    m_callState = CallState::Connected;
    return kOk;
}

QByteArray ModemModel::storeStatus() const {
    const QByteArray pair =
        QByteArray::number(m_store.count()) + "," + QByteArray::number(m_store.capacity());
    return "+CPMS: " + pair + "," + pair + "," + pair;
}

QByteArray ModemModel::startCall(const QByteArray& number, std::optional<int> numberType) {
    if (m_callState != CallState::Idle)
        return {};
    m_caller = number;
    m_callerType = numberType.value_or(number.startsWith('+') ? 145 : 129);
    m_callState = CallState::Ringing;
    return ringTick();
}

QByteArray ModemModel::ringTick() {
    if (m_callState != CallState::Ringing)
        return {};
    return unsolicited("\r\nRING\r\n\r\n+CLIP: \"" + m_caller + "\"," +
                       QByteArray::number(m_callerType) + ",,,,0\r\n");
}

QByteArray ModemModel::callerHangsUp() {
    if (m_callState == CallState::Idle)
        return {};
    m_callState = CallState::Idle;
    return unsolicited(kNoCarrier);
}

QByteArray ModemModel::unsolicited(const QByteArray& bytes) {
    record(Direction::FromModem, bytes);
    return bytes;
}

void ModemModel::record(Direction direction, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    m_transcript.append(TrafficChunk{direction, bytes});
    if (m_observer)
        m_observer(direction, bytes);
}

} // namespace gsmsim
