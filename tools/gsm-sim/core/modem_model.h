#pragma once

#include "message_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRandomGenerator>
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

    // Forms in which real modems' answers differ from the plain one; all off is the plain form.
    bool quotedAlpha = false;      // the listing's empty alpha field as "" rather than nothing
    bool detailsAtPowerOn = false; // AT+CSDH=1 at power-on and after ATZ: address type and
                                   // text length after the listing's time stamp
    bool blankLineBetweenEntries = false; // an empty line between the entries of a listing
    bool compactSignal = false;           // "+CSQ:17,0" rather than "+CSQ: 17,99"
    // Status lines now and then, between exchanges (unsolicitedTick) and at line boundaries
    // inside replies, +CMTI for every stored message, and the banner lines after ATZ's OK.
    bool unsolicitedLines = false;
    quint32 unsolicitedSeed = 1; // which lines come and at which boundaries
    // 0: a boundary inside a reply carries a line by chance of the seed; n: every n-th one
    // does, so tests can place a line exactly.
    int unsolicitedInReplyEvery = 0;
};

// Switches on a profile by its command-line name: quoted-alpha, detailed-headers, blank-lines,
// unsolicited, compact-csq. False for a name that is none of them.
bool applyDeviceProfile(QByteArrayView name, ModemSettings& settings);
QList<QByteArray> deviceProfileNames();

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

// The message format of AT+CMGF: text mode at power-on, PDU mode after the modem restarted on
// its own.
enum class MessageFormat { Pdu, Text };

// A GSM modem in text mode without any I/O: bytes from the station go in, the modem's answer
// comes out. Unsolicited output (RING, NO CARRIER, status lines, +CMTI) is returned by the call
// methods, unsolicitedTick() and messageNotices(); the caller of the model delivers it to the
// station.
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
// - with unsolicited lines on, a reply is a sequence of pieces (the echo, each info line or
//   listing entry, the final result, ATZ's banner lines) and a status line framed as
//   "\r\n<line>\r\n" may come between two pieces, never inside one.
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

    // With unsolicited lines on, one status line (^RSSI, ^MODE, ^BOOT, ^SRVST) or a waiting
    // +CMTI for the station between exchanges; nothing otherwise and while the station writes
    // a message's text.
    QByteArray unsolicitedTick();
    // With unsolicited lines on, "+CMTI" for every message stored since the last notice;
    // nothing otherwise. During a message's text the notices wait.
    QByteArray messageNotices();

    // A modem that went silent: while muted it answers nothing at all (no echo, no result, no
    // RING, no unsolicited line or +CMTI, not even later) and forgets what the station writes;
    // the bytes are still recorded. Messages still arrive in the store.
    void setMuted(bool muted);
    bool muted() const { return m_muted; }
    // The modem restarts by itself: a command line, a message being written and a call are
    // dropped, echo and detail fields are as at power-on, the format is PDU mode and the mute
    // ends. Returns the start-up words RDY, Call Ready and SMS Ready. The store is kept.
    QByteArray restart();
    // As after power-on (a modem plugged in again): like restart() but in text mode and without
    // a word to the station.
    void powerOn();
    MessageFormat messageFormat() const { return m_format; }

    MessageStore& store() { return m_store; }
    const MessageStore& store() const { return m_store; }
    const QList<SentMessage>& sentMessages() const { return m_sent; }
    bool echo() const { return m_echo; }
    bool detailedHeaders() const { return m_details; }

    // Every byte both ways, in order, and every byte the station sent.
    const QList<TrafficChunk>& transcript() const { return m_transcript; }
    const QByteArray& receivedBytes() const { return m_received; }
    void setTrafficObserver(TrafficObserver observer) { m_observer = std::move(observer); }

private:
    enum class Mode { Command, TextEntry };
    // A reply in pieces that each end on a line boundary of the modem's output.
    using Reply = QList<QByteArray>;

    QByteArray executeLine(const QByteArray& line);
    Reply executeCommand(const QByteArray& command);
    Reply reset();
    Reply detailSetting(const QByteArray& argument);
    Reply formatSetting(const QByteArray& argument);
    void powerUp(MessageFormat format);
    QByteArray takeTextByte(char byte);
    Reply listMessages();
    QByteArray listingHeader(const StoredMessage& message) const;
    Reply deleteMessage(const QByteArray& argument);
    Reply beginSend(const QByteArray& argument);
    Reply finishSend();
    Reply answerCall();
    QByteArray signalQuality() const;
    QByteArray storeStatus() const;
    QByteArray compose(const Reply& reply);
    bool lineAtBoundary();
    QByteArray nextUnsolicitedLine();
    std::optional<QByteArray> takeMessageNotice();
    QByteArray unsolicited(const QByteArray& bytes);
    void record(Direction direction, const QByteArray& bytes);

    ModemSettings m_settings;
    MessageStore m_store;
    bool m_echo;
    bool m_details;
    MessageFormat m_format = MessageFormat::Text;
    bool m_muted = false;
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
    QRandomGenerator m_unsolicitedRandom;
    qint64 m_boundaries = 0;      // line boundaries inside replies so far
    quint64 m_noticedArrival = 0; // the store's latest arrival that had its +CMTI
};

} // namespace gsmsim
