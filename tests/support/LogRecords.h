#pragma once

#include "log/LogTable.h"

#include <QList>

// Every record of a log table, read as an independent reader would.
inline QList<tirvon::log::LogRecord> logRecords(const QString& path) {
    const auto table = tirvon::log::LogTable::open(path, tirvon::log::LogTable::Access::ReadOnly);
    QList<tirvon::log::LogRecord> all;
    for (int i = 0; i < table->recordCount(); ++i)
        all.append(table->record(i));
    return all;
}
