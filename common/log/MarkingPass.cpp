#include "log/MarkingPass.h"
#include "log/LogError.h"

#include <cerrno>

namespace tirvon::log {

MarkingPass::MarkingPass(const QString& path)
    : path_(path), fd_(openTableFile(path, true)), header_(DbfHeader::read(fd_.get(), path)),
      layout_(LogLayout::of(header_, path)) {}

qint64 MarkingPass::offsetOf(int index) const {
    return header_.headerLength + qint64(index) * layout_.recordLength();
}

void MarkingPass::setMark(int i, bool marked) {
    char& mark = block_.data()[qsizetype(i) * layout_.recordLength() + layout_.alarmOffset()];
    const char wanted = LogLayout::alarmByte(marked);
    if (mark == wanted)
        return;
    mark = wanted;
    if (firstChanged_ < 0)
        firstChanged_ = i;
    lastChanged_ = i;
}

void MarkingPass::finish() {
    if (firstChanged_ < 0)
        return;
    const qint64 length = layout_.recordLength();
    const qint64 from = firstChanged_ * length + layout_.alarmOffset();
    const qint64 to = lastChanged_ * length + layout_.alarmOffset() + 1;
    firstChanged_ = lastChanged_ = -1;
    if (!writeFully(fd_.get(), block_.data() + from, to - from, offsetOf(start_) + from))
        throw LogError(
            QStringLiteral("Cannot write to table %1: %2").arg(path_, systemMessage(errno)));
}

bool MarkingPass::nextBlock() {
    finish();
    start_ += size_;
    size_ = qMin(BlockRecords, recordCount() - start_);
    if (size_ <= 0) {
        size_ = 0;
        return false;
    }
    block_.resize(qsizetype(size_) * layout_.recordLength());
    if (!readFully(fd_.get(), block_.data(), block_.size(), offsetOf(start_)))
        throw LogError(QStringLiteral("Cannot read records %1 to %2 of table %3: %4")
                           .arg(start_)
                           .arg(start_ + size_ - 1)
                           .arg(path_, systemMessage(errno)));
    return true;
}

} // namespace tirvon::log
