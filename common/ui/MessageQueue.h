#pragma once

#include "ui/Prompt.h"

#include <QObject>
#include <QStringList>
#include <optional>

namespace tirvon::ui {

// Messages of a timer's work, shown once the work has returned. A box shown
// inside a timer's handler keeps that timer from firing again until the box is
// closed: the polling of the modem would stop for as long as nobody is at the
// desk. Boxes come one at a time, in order; a text already waiting or showing
// is not queued again, so an unattended desk collects one box per fault, not one
// per tick.
class MessageQueue : public QObject {
public:
    explicit MessageQueue(Prompt& prompt) : prompt_(prompt) {}

    void post(const QString& text);
    bool idle() const { return !showing_ && pending_.isEmpty(); }

private:
    void showPending();

    Prompt& prompt_;
    QStringList pending_;
    std::optional<QString> showing_;
};

} // namespace tirvon::ui
