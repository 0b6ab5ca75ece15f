#include "message_store.h"

#include <QRegularExpression>

namespace gsmsim {

MessageStore::MessageStore(int capacity) : m_capacity(capacity) {}

std::optional<int> MessageStore::add(const QByteArray& sender, const QByteArray& timestamp,
                                     const QByteArray& text) {
    for (int index = 1; index <= m_capacity; ++index) {
        if (m_messages.contains(index))
            continue;
        m_messages[index] = StoredMessage{index, false, sender, timestamp, text, ++m_arrivals};
        return index;
    }
    return std::nullopt;
}

bool MessageStore::remove(int index) {
    return m_messages.erase(index) > 0;
}

void MessageStore::markAllRead() {
    for (auto& [index, message] : m_messages)
        message.read = true;
}

QByteArray serviceCentreTimestamp(const QDateTime& moment) {
    const int quarters = moment.offsetFromUtc() / (15 * 60);
    const QByteArray zone = QByteArray(quarters < 0 ? "-" : "+") +
                            QByteArray::number(std::abs(quarters)).rightJustified(2, '0');
    return moment.toString(QStringLiteral("yy/MM/dd,hh:mm:ss")).toLatin1() + zone;
}

bool isServiceCentreTimestamp(const QByteArray& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\d\d/\d\d/\d\d,\d\d:\d\d:\d\d[+-]\d\d$)"));
    return form.match(QString::fromLatin1(text)).hasMatch();
}

} // namespace gsmsim
