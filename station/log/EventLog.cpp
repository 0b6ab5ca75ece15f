#include "log/EventLog.h"

#include "objects/ObjectView.h"

namespace tirvon::station {

EventLog::EventLog(ObjectView& view, std::function<QByteArray()> currentOperator)
    : view_(view), currentOperator_(std::move(currentOperator)) {}

EventLog::~EventLog() {
    close();
}

void EventLog::bind(const QString& tablePath) {
    path_ = tablePath;
}

void EventLog::open() {
    if (table_)
        return;
    table_ = log::LogTable::open(path_, log::LogTable::Access::Append);
    model_.setTable(table_.get());
}

void EventLog::sync() {
    if (table_)
        table_->sync();
}

void EventLog::close() {
    model_.setTable(nullptr);
    table_.reset();
}

void EventLog::append(log::LogRecord record) {
    record.alarm = false;
    record.admin = currentOperator_();
    table_->append(record);
    model_.recordsAppended();
}

void EventLog::addtables(const QByteArray& stateKey, const QByteArray& value,
                         const QByteArray& object, const QByteArray& date,
                         const QByteArray& arrival, const QByteArray& sending,
                         const QByteArray& logText) {
    open();
    log::LogRecord record;
    record.bank = object;
    record.date = date;
    record.time = arrival;
    record.timeo = sending;
    record.mail = logText;
    if (!stateKey.isEmpty()) {
        append(record);
        view_.setRowText(object, logText, date, sending);
        view_.applyState(object, logText, stateKey, value);
    }
    if (value == PlainEvent) {
        append(record);
        view_.setRowText(object, logText, date, sending);
    }
    view_.f2update(object);
}

} // namespace tirvon::station
