#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <optional>

namespace gsmsim {

// The modem's output as it crosses a serial line of a given rate. Bytes leave strictly in the
// order they were pushed, in chunks of a few bytes (the sizes drawn from the seed), the way a
// reader of a real port gets them; a chunk is due once its last character has crossed the line
// at 10 bits a character (start bit, 8 data bits, stop bit). The line starts sending when bytes
// arrive at an idle line and keeps its own pace from then on: a caller that takes chunks late
// gets several due at once, so n characters always take n * 10 / baud seconds.
//
// Times are nanoseconds on whatever monotonic clock the caller uses; the pacer keeps no timer.
class LinePacer {
public:
    static constexpr int kBitsPerCharacter = 10;

    LinePacer(int baud, quint32 seed, int minChunk = 1, int maxChunk = 8);

    void push(const QByteArray& bytes, qint64 now);
    // When the next chunk is due; nothing while no byte waits.
    std::optional<qint64> nextDue() const;
    // The next chunk when it is due at now; nothing before that or when no byte waits.
    std::optional<QByteArray> takeDue(qint64 now);

    // Forgets every byte that has not left yet; the chunk on the wire still ends when it ends.
    void clear();

    qsizetype waiting() const { return m_queue.size() - m_head; }
    int baud() const { return m_baud; }

private:
    qsizetype nextChunkSize() const;
    qint64 lineTime(qint64 characters) const;

    int m_baud;
    int m_minChunk;
    int m_maxChunk;
    QRandomGenerator m_random;
    int m_drawnChunk;   // the size of the next chunk when enough bytes wait
    QByteArray m_queue; // bytes before m_head are sent
    qsizetype m_head = 0;
    qint64 m_busySince = 0; // when the line last started from idle
    qint64 m_sentSinceBusy = 0;
    qint64 m_lineFreeAt = 0;
};

} // namespace gsmsim
