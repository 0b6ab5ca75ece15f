#include "modem_model.h"

#include <algorithm>
#include <array>
#include <utility>

namespace gsmsim {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEscape = 0x1B;

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";
const QByteArray kNoCarrier = "\r\nNO CARRIER\r\n";
const QByteArray kInvalidIndex = "\r\n+CMS ERROR: 321\r\n";
// A text-mode argument while the modem is in PDU mode: operation not allowed.
const QByteArray kNotAllowed = "\r\n+CMS ERROR: 302\r\n";
const QByteArray kPrompt = "\r\n> ";
// What such modems print once they are up again, after the OK of a reset.
const QList<QByteArray> kBanner = {"RDY", "Call Ready", "SMS Ready"};
// Without a forced rhythm, one line boundary inside a reply in this many carries a status line.
constexpr int kBoundaryChance = 6;

struct DeviceProfile {
    const char* name;
    bool ModemSettings::*flag;
};

constexpr std::array kProfiles = {
    DeviceProfile{"quoted-alpha", &ModemSettings::quotedAlpha},
    DeviceProfile{"detailed-headers", &ModemSettings::detailsAtPowerOn},
    DeviceProfile{"blank-lines", &ModemSettings::blankLineBetweenEntries},
    DeviceProfile{"unsolicited", &ModemSettings::unsolicitedLines},
    DeviceProfile{"compact-csq", &ModemSettings::compactSignal},
};

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

bool applyDeviceProfile(QByteArrayView name, ModemSettings& settings) {
    for (const DeviceProfile& profile : kProfiles) {
        if (name == profile.name) {
            settings.*profile.flag = true;
            return true;
        }
    }
    return false;
}

QList<QByteArray> deviceProfileNames() {
    QList<QByteArray> names;
    for (const DeviceProfile& profile : kProfiles)
        names.append(profile.name);
    return names;
}

ModemModel::ModemModel(ModemSettings settings)
    : m_settings(std::move(settings)), m_store(m_settings.storeCapacity),
      m_echo(m_settings.echoAtPowerOn), m_details(m_settings.detailsAtPowerOn),
      m_unsolicitedRandom(m_settings.unsolicitedSeed) {}

QByteArray ModemModel::feed(const QByteArray& fromStation) {
    record(Direction::ToModem, fromStation);
    m_received += fromStation;
    if (m_muted)
        return {};
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
    Reply reply;
    if (m_echo)
        reply.append(line + '\r');
    if (!command.startsWith("AT") || startsWithAny(command, m_settings.silentCommands))
        return compose(reply);
    if (startsWithAny(command, m_settings.errorCommands))
        reply.append(kError);
    else
        reply += executeCommand(command);
    return compose(reply);
}

ModemModel::Reply ModemModel::executeCommand(const QByteArray& command) {
    if (command == "AT")
        return {kOk};
    if (command == "ATZ" || command == "ATZ0")
        return reset();
    if (command == "ATE" || command == "ATE0" || command == "ATE1") {
        m_echo = command == "ATE1";
        return {kOk};
    }
    if (command == "ATA")
        return answerCall();
    if (command == "ATH" || command == "ATH0") {
        m_callState = CallState::Idle;
        return {kOk};
    }
    if (command == "AT+CGMI")
        return {info(m_settings.maker), kOk};
    if (command == "AT+CGMM")
        return {info(m_settings.model), kOk};
    if (command == "AT+CSQ")
        return {info(signalQuality()), kOk};
    if (command.startsWith("AT+CPMS="))
        return {info(storeStatus()), kOk};
    if (command.startsWith("AT+CMGF"))
        return formatSetting(command.mid(7));
    if (command.startsWith("AT+CSNS=") || command.startsWith("AT+CLIP="))
        return {kOk};
    if (command.startsWith("AT+CSDH"))
        return detailSetting(command.mid(7));
    if (command.startsWith("AT+CMGL=") && m_format == MessageFormat::Pdu) {
        // Text-mode statuses are words; PDU mode knows only numbers, which are not served.
        const QByteArray status = unquoted(command.mid(8));
        const bool numeric =
            !status.isEmpty() &&
            std::all_of(status.begin(), status.end(), [](char c) { return c >= '0' && c <= '9'; });
        return {numeric ? kError : kNotAllowed};
    }
    if (command == "AT+CMGL=ALL" || command == "AT+CMGL=\"ALL\"")
        return listMessages();
    if (command.startsWith("AT+CMGD="))
        return deleteMessage(command.mid(8));
    if (command.startsWith("AT+CMGS="))
        return beginSend(command.mid(8));
    return {kError};
}

ModemModel::Reply ModemModel::reset() {
    m_echo = m_settings.echoAtPowerOn;
    m_details = m_settings.detailsAtPowerOn;
    Reply reply{kOk};
    if (m_settings.unsolicitedLines) {
        for (const QByteArray& line : kBanner)
            reply.append(info(line));
    }
    return reply;
}

// AT+CSDH=1 shows the detail fields of text-mode headers, AT+CSDH=0 or a bare AT+CSDH hides
// them; AT+CSDH? and AT+CSDH=? ask.
ModemModel::Reply ModemModel::detailSetting(const QByteArray& argument) {
    if (argument == "?")
        return {info("+CSDH: " + QByteArray(m_details ? "1" : "0")), kOk};
    if (argument == "=?")
        return {info("+CSDH: (0,1)"), kOk};
    if (argument.isEmpty() || argument == "=0" || argument == "=1") {
        m_details = argument == "=1";
        return {kOk};
    }
    return {kError};
}

// AT+CMGF=0 is PDU mode, AT+CMGF=1 text mode; other values are taken without effect, as they
// always were. AT+CMGF? and AT+CMGF=? ask. ATZ leaves the format alone.
ModemModel::Reply ModemModel::formatSetting(const QByteArray& argument) {
    if (argument == "?")
        return {info("+CMGF: " + QByteArray(m_format == MessageFormat::Text ? "1" : "0")), kOk};
    if (argument == "=?")
        return {info("+CMGF: (0,1)"), kOk};
    if (!argument.startsWith('='))
        return {kError};
    const QByteArray value = argument.mid(1).trimmed();
    if (value == "0")
        m_format = MessageFormat::Pdu;
    else if (value == "1")
        m_format = MessageFormat::Text;
    return {kOk};
}

// Entries follow the echo as one block framed by CR LF; the last entry's CR LF and the final
// "\r\nOK\r\n" make the "\r\n\r\nOK\r\n" the station waits for. An empty store answers the bare
// final result, so the whole reply with echo is exactly "at+cmgl=all\r\r\nOK\r\n". Each entry
// (its header, text and CR LF, and the empty line before it when entries are spaced) is one
// piece of the reply.
ModemModel::Reply ModemModel::listMessages() {
    Reply reply;
    for (const auto& [index, message] : m_store.messages()) {
        const QByteArray before =
            (reply.isEmpty() || m_settings.blankLineBetweenEntries) ? "\r\n" : "";
        reply.append(before + listingHeader(message) + message.text + "\r\n");
    }
    m_store.markAllRead();
    reply.append(kOk);
    return reply;
}

// +CMGL: <index>,<status>,<sender>,<alpha>,<stamp>[,<address type>,<length in bytes>]
QByteArray ModemModel::listingHeader(const StoredMessage& message) const {
    QByteArray header = "+CMGL: " + QByteArray::number(message.index) + ",\"" +
                        (message.read ? "REC READ" : "REC UNREAD") + "\",\"" + message.sender +
                        "\"," + (m_settings.quotedAlpha ? "\"\"" : "") + ",\"" + message.timestamp +
                        '"';
    if (m_details) {
        const int addressType = message.sender.startsWith('+') ? 145 : 129;
        header +=
            ',' + QByteArray::number(addressType) + ',' + QByteArray::number(message.text.size());
    }
    return header + "\r\n";
}

ModemModel::Reply ModemModel::deleteMessage(const QByteArray& argument) {
    bool isNumber = false;
    const int index = argument.split(',').first().trimmed().toInt(&isNumber);
    if (!isNumber)
        return {kError};
    return {m_store.remove(index) ? kOk : kInvalidIndex};
}

ModemModel::Reply ModemModel::beginSend(const QByteArray& argument) {
    const QByteArray number = unquoted(argument.split(',').first());
    if (number.isEmpty())
        return {kError};
    m_draft = SentMessage{number, {}};
    m_mode = Mode::TextEntry;
    return {kPrompt};
}

QByteArray ModemModel::takeTextByte(char byte) {
    if (byte == kCtrlZ) {
        m_mode = Mode::Command;
        return compose(finishSend());
    }
    if (byte == kEscape) {
        m_mode = Mode::Command;
        m_draft = {};
        return kOk;
    }
    m_draft.text += byte;
    return m_echo ? QByteArray(1, byte) : QByteArray();
}

ModemModel::Reply ModemModel::finishSend() {
    m_sent.append(std::exchange(m_draft, {}));
    const int reference = m_nextReference;
    m_nextReference = (m_nextReference + 1) % 256;
    return {info("+CMGS: " + QByteArray::number(reference)), kOk};
}

ModemModel::Reply ModemModel::answerCall() {
    if (m_callState != CallState::Ringing)
        return {kNoCarrier};
    m_callState = CallState::Connected;
    return {kOk};
}

QByteArray ModemModel::signalQuality() const {
    const QByteArray rssi = QByteArray::number(m_settings.signalQuality);
    return m_settings.compactSignal ? "+CSQ:" + rssi + ",0" : "+CSQ: " + rssi + ",99";
}

QByteArray ModemModel::storeStatus() const {
    const QByteArray pair =
        QByteArray::number(m_store.count()) + "," + QByteArray::number(m_store.capacity());
    return "+CPMS: " + pair + "," + pair + "," + pair;
}

void ModemModel::setMuted(bool muted) {
    m_muted = muted;
    // Half a command line from before or during the silence is not carried over.
    m_line.clear();
    m_lineJustEnded = false;
}

QByteArray ModemModel::restart() {
    powerUp(MessageFormat::Pdu);
    QByteArray words;
    for (const QByteArray& word : kBanner)
        words += info(word);
    return unsolicited(words);
}

void ModemModel::powerOn() {
    powerUp(MessageFormat::Text);
}

// Messages stored before the power cycle had their chance of a +CMTI; none come afterwards.
void ModemModel::powerUp(MessageFormat format) {
    m_muted = false;
    m_echo = m_settings.echoAtPowerOn;
    m_details = m_settings.detailsAtPowerOn;
    m_format = format;
    m_mode = Mode::Command;
    m_line.clear();
    m_lineJustEnded = false;
    m_draft = {};
    m_callState = CallState::Idle;
    m_noticedArrival = m_store.arrivals();
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
    if (m_callState != CallState::Ringing || m_muted)
        return {};
    return unsolicited("\r\nRING\r\n\r\n+CLIP: \"" + m_caller + "\"," +
                       QByteArray::number(m_callerType) + ",,,,0\r\n");
}

QByteArray ModemModel::callerHangsUp() {
    if (m_callState == CallState::Idle)
        return {};
    m_callState = CallState::Idle;
    return m_muted ? QByteArray() : unsolicited(kNoCarrier);
}

QByteArray ModemModel::unsolicitedTick() {
    if (!m_settings.unsolicitedLines || m_mode == Mode::TextEntry || m_muted)
        return {};
    return unsolicited(nextUnsolicitedLine());
}

QByteArray ModemModel::messageNotices() {
    if (!m_settings.unsolicitedLines || m_mode == Mode::TextEntry)
        return {};
    if (m_muted) {
        m_noticedArrival = m_store.arrivals(); // a silent modem's notices are lost, not late
        return {};
    }
    QByteArray notices;
    while (const auto notice = takeMessageNotice())
        notices += *notice;
    return unsolicited(notices);
}

QByteArray ModemModel::compose(const Reply& reply) {
    QByteArray bytes;
    for (const QByteArray& piece : reply) {
        if (piece.isEmpty())
            continue;
        if (!bytes.isEmpty() && lineAtBoundary())
            bytes += nextUnsolicitedLine();
        bytes += piece;
    }
    return bytes;
}

bool ModemModel::lineAtBoundary() {
    if (!m_settings.unsolicitedLines)
        return false;
    if (m_settings.unsolicitedInReplyEvery > 0)
        return ++m_boundaries % m_settings.unsolicitedInReplyEvery == 0;
    return m_unsolicitedRandom.bounded(kBoundaryChance) == 0;
}

// A waiting +CMTI comes first; otherwise one of the status lines, the signal near --csq.
QByteArray ModemModel::nextUnsolicitedLine() {
    if (const auto notice = takeMessageNotice())
        return *notice;
    switch (m_unsolicitedRandom.bounded(4)) {
    case 0: {
        const int base = m_settings.signalQuality <= 31 ? m_settings.signalQuality : 15;
        const int rssi = std::clamp(base + m_unsolicitedRandom.bounded(-3, 4), 0, 31);
        return info("^RSSI:" + QByteArray::number(rssi));
    }
    case 1:
        return info("^MODE:5,4");
    case 2:
        return info("^BOOT:12345678,0,0,0,6");
    default:
        return info("^SRVST:2");
    }
}

std::optional<QByteArray> ModemModel::takeMessageNotice() {
    const StoredMessage* oldest = nullptr;
    for (const auto& [index, message] : m_store.messages()) {
        if (message.arrival > m_noticedArrival && (!oldest || message.arrival < oldest->arrival))
            oldest = &message;
    }
    if (!oldest)
        return std::nullopt;
    m_noticedArrival = oldest->arrival;
    return info("+CMTI: \"ME\"," + QByteArray::number(oldest->index));
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
