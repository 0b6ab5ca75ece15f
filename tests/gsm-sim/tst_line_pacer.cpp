// The modem's output paced as on a serial line, driven by explicit times instead of a clock.

#include "line_pacer.h"

#include <QtTest>
#include <algorithm>

using namespace gsmsim;

namespace {

constexpr qint64 kSecond = 1'000'000'000;

// Takes every chunk the moment it is due, as a timer that is never late would.
QByteArrayList drain(LinePacer& pacer) {
    QByteArrayList chunks;
    while (const auto due = pacer.nextDue())
        chunks.append(pacer.takeDue(*due).value_or("<due but not given>"));
    return chunks;
}

// Every byte value, CR, LF and NUL among them, in a pattern that shows a swapped or lost byte.
QByteArray pattern(int size, int salt) {
    QByteArray bytes(size, '\0');
    for (int at = 0; at < size; ++at)
        bytes[at] = static_cast<char>((at * 7 + salt) % 256);
    return bytes;
}

} // namespace

class LinePacerTest : public QObject {
    Q_OBJECT

private slots:
    void keepsOrderInBoundedChunks_data();
    void keepsOrderInBoundedChunks();
    void takesTenBitsPerCharacter_data();
    void takesTenBitsPerCharacter();
    void clearDropsOnlyWhatWaits();
};

void LinePacerTest::keepsOrderInBoundedChunks_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("minChunk");
    QTest::addColumn<int>("maxChunk");
    QTest::newRow("1 to 8, seed 1") << 1u << 1 << 8;
    QTest::newRow("1 to 8, seed 7") << 7u << 1 << 8;
    QTest::newRow("3 to 5") << 2u << 3 << 5;
}

// Bytes pushed while earlier ones are still on the line join the queue behind them.
void LinePacerTest::keepsOrderInBoundedChunks() {
    QFETCH(quint32, seed);
    QFETCH(int, minChunk);
    QFETCH(int, maxChunk);
    const QByteArray first = pattern(2000, 0);
    const QByteArray second = pattern(1017, 3);
    LinePacer pacer(19200, seed, minChunk, maxChunk);
    pacer.push(first, 0);
    QByteArrayList chunks;
    for (int taken = 0; taken < 50; ++taken)
        chunks.append(pacer.takeDue(pacer.nextDue().value_or(0)).value_or(QByteArray()));
    pacer.push(second, kSecond / 100);
    chunks += drain(pacer);

    QCOMPARE(chunks.join(), first + second);
    QList<qsizetype> sizes;
    for (const QByteArray& chunk : chunks)
        sizes.append(chunk.size());
    const auto [smallest, largest] = std::minmax_element(sizes.begin(), sizes.end() - 1);
    QVERIFY(*smallest >= minChunk && *largest <= maxChunk && sizes.last() <= maxChunk);
    QVERIFY(*smallest < *largest);

    // The seed alone decides the cut.
    LinePacer same(19200, seed, minChunk, maxChunk);
    LinePacer other(19200, seed + 1, minChunk, maxChunk);
    same.push(first + second, 0);
    other.push(first + second, 0);
    QCOMPARE(drain(same), chunks);
    QVERIFY(drain(other) != chunks);
}

void LinePacerTest::takesTenBitsPerCharacter_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("characters");
    QTest::addColumn<qint64>("lineTime");
    QTest::newRow("19200, one second") << 19200 << 1920 << kSecond;
    QTest::newRow("19200, 3000 bytes") << 19200 << 3000 << qint64(1'562'500'000);
    QTest::newRow("9600, one byte") << 9600 << 1 << qint64(1'041'666);
    QTest::newRow("115200, 100 bytes") << 115200 << 100 << qint64(8'680'555);
}

void LinePacerTest::takesTenBitsPerCharacter() {
    QFETCH(int, baud);
    QFETCH(int, characters);
    QFETCH(qint64, lineTime);
    const qint64 start = 5 * kSecond;
    LinePacer pacer(baud, 1);
    pacer.push(pattern(characters, 1), start);

    qint64 sent = 0;
    qint64 lastDue = start;
    while (const auto due = pacer.nextDue()) {
        QVERIFY(!pacer.takeDue(*due - 1)); // never ahead of the line
        sent += pacer.takeDue(*due).value_or(QByteArray()).size();
        // Due once its last character has crossed, counted from the start: no rounding adds up.
        QCOMPARE(*due - start, sent * 10 * kSecond / baud);
        lastDue = *due;
    }
    QCOMPARE(sent, characters);
    QCOMPARE(lastDue - start, lineTime);

    // An idle line owes nothing: bytes after a pause start from their push, not in a burst.
    const qint64 later = lastDue + kSecond;
    pacer.push("ABCD", later);
    QVERIFY(pacer.nextDue() > later);
    QVERIFY(pacer.nextDue() <= later + 4 * 10 * kSecond / baud);

    // A timer that fires late finds every chunk that is due by then, in order.
    pacer.push(pattern(characters, 2), later);
    QByteArray late;
    while (const auto chunk = pacer.takeDue(later + 2 * lineTime + kSecond))
        late += *chunk;
    QCOMPARE(late, "ABCD" + pattern(characters, 2));
}

// A modem that restarts loses its output buffer, but the chunk on the wire still takes its time.
void LinePacerTest::clearDropsOnlyWhatWaits() {
    const int baud = 9600;
    LinePacer pacer(baud, 3, 4, 4);
    pacer.push(pattern(100, 1), 0);
    const auto due = pacer.nextDue();
    QCOMPARE(pacer.takeDue(*due), pattern(4, 1));
    pacer.clear();
    QCOMPARE(pacer.waiting(), 0);
    QVERIFY(!pacer.nextDue());
    pacer.push("RDY", 0);
    QCOMPARE(*pacer.nextDue(), *due + 3 * 10 * kSecond / baud);
    QCOMPARE(drain(pacer), QByteArrayList{"RDY"});
}

QTEST_GUILESS_MAIN(LinePacerTest)
#include "tst_line_pacer.moc"
