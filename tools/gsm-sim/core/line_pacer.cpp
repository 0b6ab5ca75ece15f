#include "line_pacer.h"

#include <algorithm>

namespace gsmsim {

namespace {

constexpr qint64 kNanosecondsPerSecond = 1'000'000'000;
// Sent bytes are dropped from the front of the queue once this many have gathered.
constexpr qsizetype kCompactAfter = 4096;

} // namespace

LinePacer::LinePacer(int baud, quint32 seed, int minChunk, int maxChunk)
    : m_baud(std::max(baud, 1)), m_minChunk(std::max(minChunk, 1)),
      m_maxChunk(std::max(maxChunk, m_minChunk)), m_random(seed),
      m_drawnChunk(static_cast<int>(m_random.bounded(m_minChunk, m_maxChunk + 1))) {}

void LinePacer::push(const QByteArray& bytes, qint64 now) {
    if (bytes.isEmpty())
        return;
    if (waiting() == 0) {
        m_queue.clear();
        m_head = 0;
        m_busySince = std::max(now, m_lineFreeAt);
        m_sentSinceBusy = 0;
    }
    m_queue += bytes;
}

std::optional<qint64> LinePacer::nextDue() const {
    if (waiting() == 0)
        return std::nullopt;
    return m_busySince + lineTime(m_sentSinceBusy + nextChunkSize());
}

std::optional<QByteArray> LinePacer::takeDue(qint64 now) {
    const auto due = nextDue();
    if (!due || *due > now)
        return std::nullopt;
    const qsizetype size = nextChunkSize();
    QByteArray chunk = m_queue.mid(m_head, size);
    m_head += size;
    m_sentSinceBusy += size;
    m_lineFreeAt = *due;
    m_drawnChunk = static_cast<int>(m_random.bounded(m_minChunk, m_maxChunk + 1));
    if (m_head >= kCompactAfter) {
        m_queue.remove(0, m_head);
        m_head = 0;
    }
    return chunk;
}

void LinePacer::clear() {
    m_queue.clear();
    m_head = 0;
}

qsizetype LinePacer::nextChunkSize() const {
    return std::min<qsizetype>(m_drawnChunk, waiting());
}

// Counted from the start of the busy stretch, so rounding never adds up over many chunks.
qint64 LinePacer::lineTime(qint64 characters) const {
    return characters * kBitsPerCharacter * kNanosecondsPerSecond / m_baud;
}

} // namespace gsmsim
