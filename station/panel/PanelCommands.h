#pragma once

#include "commands/Commands.h"
#include "ini/IniFile.h"
#include "rules/RuleRunner.h"
#include "ui/Prompt.h"

#include <QByteArray>
#include <QDateTime>
#include <array>
#include <functional>

namespace tirvon::station {

class OutgoingQueue;

// What a command button reads back from the control panel.
class ControlPanelFields {
public:
    virtual ~ControlPanelFields() = default;
    virtual QByteArray shownPhone() const = 0;
    virtual QByteArray shownName() const = 0;
    virtual std::array<commands::TestPointEntry, 4> testPointEntries() const = 0;
    // Every day field shows "Не активна".
    virtual bool testPointsInactive() const = 0;
    virtual bool alarmWithoutTest() const = 0;
    virtual QByteArray testTolerance() const = 0;
};

// The command buttons of the control panel (DISARMClick, told apart by tag):
// the object is the one whose number the panel shows; without a Pass key
// nothing is sent, logged or shown. A command goes to "+" and the number and is
// logged as "< " and its description, arriving "00:00:00", sent now.
class PanelCommands {
public:
    PanelCommands(ini::IniFile& file, OutgoingQueue& queue, RuleRunner::PlainEventLog log,
                  ui::Prompt& prompt, std::function<QDateTime()> clock)
        : file_(file), queue_(queue), log_(std::move(log)), prompt_(prompt),
          clock_(std::move(clock)) {}

    void DISARMClick(int tag, const ControlPanelFields& panel);

private:
    struct Command {
        QByteArray body;
        QByteArray description;
    };
    // Nothing when the command is refused.
    std::optional<Command> compose(int tag, const QByteArray& section,
                                   const ControlPanelFields& panel);

    ini::IniFile& file_;
    OutgoingQueue& queue_;
    RuleRunner::PlainEventLog log_;
    ui::Prompt& prompt_;
    std::function<QDateTime()> clock_;
};

} // namespace tirvon::station
