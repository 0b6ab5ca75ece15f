#pragma once

#include "log/LogTable.h"
#include "log/LogTableModel.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace tirvon::station {

class ObjectView;

// The event log of the station: the table bound at login, opened at the end of
// start-up, and addtables, which appends one record per event and drives the
// object view. Database errors come out as log::LogError: the event's handling
// stops there, and what was written stays written.
class EventLog {
public:
    EventLog(ObjectView& view, std::function<QByteArray()> currentOperator);
    ~EventLog();

    // The table the login bound (alias folder + BASE); empty when none.
    void bind(const QString& tablePath);
    const QString& boundPath() const { return path_; }

    void open();
    void close();
    // The records appended so far are on the disk (see log::LogTable::sync).
    void sync();
    bool isOpen() const { return table_ != nullptr; }
    const log::LogTable* table() const { return table_.get(); }
    log::LogTableModel& model() { return model_; }

    // A state event (state key not empty, value its new value) or a plain event
    // (state key empty, value "Act").
    void addtables(const QByteArray& stateKey, const QByteArray& value, const QByteArray& object,
                   const QByteArray& date, const QByteArray& arrival, const QByteArray& sending,
                   const QByteArray& logText);

    static inline const QByteArray PlainEvent = "Act";

private:
    void append(log::LogRecord record);

    ObjectView& view_;
    std::function<QByteArray()> currentOperator_;
    QString path_;
    std::unique_ptr<log::LogTable> table_;
    log::LogTableModel model_;
};

} // namespace tirvon::station
