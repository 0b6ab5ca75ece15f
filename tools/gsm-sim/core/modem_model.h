#pragma once

#include "message_store.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace gsmsim {

struct ModemSettings {
    bool echoAtPowerOn = true; // what ATZ restores
    QByteArray maker = "GSMSIM";
    QByteArray model = "VIRTUAL-1";
    int signalQuality = 17; // rssi of +CSQ, 0..31 or 99
    int storeCapacity = 30;
    // Fault injection, matched without case against the start of the command line.
    QList<QByteArray> silentCommands; // echo only, no result at all
    QList<QByteArray> errorCommands;  // answered "ERROR"
};

enum class Direction { ToModem, FromModem };

struct TrafficChunk {
    Direction direction;
    QByteArray bytes;
};

struct SentMessage {
    QByteArray number;
    QByteArray text; // everything before Ctrl-Z, so the station's closing CR LF is part of it
};

enum class CallState { Idle, Ringing, Connected };

// A GSM modem in text mode without any I/O: bytes from the station go in, the modem's answer
// comes out. Unsolicited output (RING, NO CARRIER) is returned by the call methods; the caller
// of the model delivers it to the station.
//
// Behaviour the station can observe:
// - a command line ends at CR; LF is ignored; with echo on the line comes back as its text and
//   CR before the result. An empty line gets neither echo nor answer, and a line that does not
//   start with "AT" is echoed but not answered, as modems wait for "AT".
// - results are verbose: "\r\nOK\r\n", "\r\nERROR\r\n", info lines framed as "\r\n<line>\r\n".
// - at+cmgd= on an empty slot answers "+CMS ERROR: 321" (invalid memory index).
// - after at+cmgs= and the "> " prompt every byte up to Ctrl-Z is message text (echoed when echo
//   is on), except the LF that belongs to the CR closing the at+cmgs= line. ESC cancels with OK.
// - ATA without a ringing call answers NO CARRIER.
class ModemModel {
public:
    using TrafficObserver = std::function<void(Direction, const QByteArray&)>;

    explicit ModemModel(ModemSettings settings = {});

    QByteArray feed(const QByteArray& fromStation);

    // Starts an incoming call and returns its first RING. The number type defaults to 145 for a
    // number starting with "+" and 129 otherwise. Returns nothing while a call is in progress.
    QByteArray startCall(const QByteArray& number, std::optional<int> numberType = std::nullopt);
    // The RING + CLIP repetition of a call that still rings; nothing otherwise.
    QByteArray ringTick();
    // The caller gives up or ends the call: NO CARRIER, or nothing when there is no call.
    QByteArray callerHangsUp();
    CallState callState() const { return m_callState; }

    MessageStore& store() { return m_store; }
    const MessageStore& store() const { return m_store; }
    const QList<SentMessage>& sentMessages() const { return m_sent; }
    bool echo() const { return m_echo; }

    // Every byte both ways, in order, and every byte the station sent.
    const QList<TrafficChunk>& transcript() const { return m_transcript; }
    const QByteArray& receivedBytes() const { return m_received; }
    void setTrafficObserver(TrafficObserver observer) { m_observer = std::move(observer); }

private:
    enum class Mode { Command, TextEntry };

    QByteArray executeLine(const QByteArray& line);
    QByteArray executeCommand(const QByteArray& command);
    QByteArray takeTextByte(char byte);
    QByteArray listMessages();
    QByteArray deleteMessage(const QByteArray& argument);
    QByteArray beginSend(const QByteArray& argument);
    QByteArray finishSend();
    QByteArray answerCall();
    QByteArray storeStatus() const;
    QByteArray unsolicited(const QByteArray& bytes);
    void record(Direction direction, const QByteArray& bytes);

    ModemSettings m_settings;
    MessageStore m_store;
    bool m_echo;
    Mode m_mode = Mode::Command;
    QByteArray m_line;
    bool m_lineJustEnded = false;
    SentMessage m_draft;
    int m_nextReference = 1;
    QList<SentMessage> m_sent;
    CallState m_callState = CallState::Idle;
    QByteArray m_caller;
    int m_callerType = 145;
    QList<TrafficChunk> m_transcript;
    QByteArray m_received;
    TrafficObserver m_observer;
};

} // namespace gsmsim
