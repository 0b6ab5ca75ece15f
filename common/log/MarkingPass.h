#pragma once

#include "log/DbfHeader.h"
#include "log/LogLayout.h"
#include "log/TableFiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tirvon::log {

// One pass over a statistics copy that sets the report mark (ALARM) of each of
// its records. The table is read in blocks of records and each block's marks go
// back with one write of the span they changed, so a pass over a million
// records costs a few hundred reads and writes, not millions. The table is
// locked as by a writer for the whole pass.
class MarkingPass {
public:
    static constexpr int BlockRecords = 2048;

    // LogError when the table is missing, in use, not a log table or damaged.
    explicit MarkingPass(const QString& path);

    int recordCount() const { return header_.recordCount; }
    // Writes the marks of the block before, then reads the next; false after the
    // last block. LogError when a read or a write fails.
    bool nextBlock();
    // The block read last: the index of its first record and its size.
    int blockStart() const { return start_; }
    int blockSize() const { return size_; }
    // A text field of the block's record i, without its trailing blanks.
    QByteArrayView text(int i, LogField field) const { return layout_.text(record(i), field); }
    void setMark(int i, bool marked);
    // Writes the marks of the block read last; LogError when the write fails.
    void finish();

private:
    const char* record(int i) const {
        return block_.constData() + qsizetype(i) * layout_.recordLength();
    }
    qint64 offsetOf(int index) const;

    QString path_;
    UniqueFd fd_;
    DbfHeader header_;
    LogLayout layout_;
    QByteArray block_;
    int start_ = 0;
    int size_ = 0;
    // The records whose mark changed in this block, as a range [first, last].
    int firstChanged_ = -1;
    int lastChanged_ = -1;
};

} // namespace tirvon::log
