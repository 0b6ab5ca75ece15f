#include "ui/MessageQueue.h"

#include <QMetaObject>

namespace tirvon::ui {

void MessageQueue::post(const QString& text) {
    if (showing_ == text || pending_.contains(text))
        return;
    pending_.append(text);
    if (!showing_)
        QMetaObject::invokeMethod(this, &MessageQueue::showPending, Qt::QueuedConnection);
}

void MessageQueue::showPending() {
    // A box's own loop may run this again for a later post: the first call
    // shows what comes after the box it is waiting on.
    if (showing_)
        return;
    while (!pending_.isEmpty()) {
        showing_ = pending_.takeFirst();
        prompt_.inform(*showing_);
        showing_.reset();
    }
}

} // namespace tirvon::ui
