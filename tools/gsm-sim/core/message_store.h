#pragma once

#include <QByteArray>
#include <QDateTime>
#include <map>
#include <optional>

namespace gsmsim {

// One received SMS as the modem keeps it. All texts are bytes in code page 1251.
struct StoredMessage {
    int index = 0;
    bool read = false;    // listed as "REC READ" once it has been listed
    QByteArray sender;    // as the network gave it, "+" included for international numbers
    QByteArray timestamp; // service-centre time stamp, yy/MM/dd,hh:mm:ss+zz
    QByteArray text;      // lines separated by LF, as a controller writes them
    quint64 arrival = 0;  // 1 for the first message ever stored, counting on across deletions
};

// The modem's SMS store: a fixed number of slots, indexes counted from 1.
class MessageStore {
public:
    explicit MessageStore(int capacity = 30);

    // Puts the message into the lowest free slot and returns its index; nothing when full.
    std::optional<int> add(const QByteArray& sender, const QByteArray& timestamp,
                           const QByteArray& text);
    // Frees a slot; false when it held no message.
    bool remove(int index);
    void markAllRead();

    int count() const { return static_cast<int>(m_messages.size()); }
    int capacity() const { return m_capacity; }
    // Messages stored so far, the arrival number of the latest one.
    quint64 arrivals() const { return m_arrivals; }
    const std::map<int, StoredMessage>& messages() const { return m_messages; }

private:
    int m_capacity;
    quint64 m_arrivals = 0;
    std::map<int, StoredMessage> m_messages; // by index, so listings come out in index order
};

// The time stamp of a listing entry for a moment: yy/MM/dd,hh:mm:ss and the offset from UTC in
// quarters of an hour with its sign, e.g. "09/01/02,03:04:05+12" at UTC+3.
QByteArray serviceCentreTimestamp(const QDateTime& moment);
bool isServiceCentreTimestamp(const QByteArray& text);

} // namespace gsmsim
