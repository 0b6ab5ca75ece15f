#pragma once

#include "log/LogRecord.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tirvon::log {

class LogTable;

// A column of a grid on a log table: the field, its title (empty: the object
// word) and its width in pixels (0: the rest of the grid).
struct LogColumn {
    LogField field;
    QString title;
    int width;
};

// A grid's view of an open log table, one row per record in the table's order
// (or per chosen record, in the order given). Records are read when a row is
// shown, through a small cache of recent rows, so a table of any size opens at
// once. Read only. The table must outlive its use here (or be detached with
// setTable(nullptr) first).
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The main window's log grid: DATE, BANK, TIME, TIMEO, MAIL.
    enum Column { DateColumn, BankColumn, TimeColumn, TimeOColumn, MailColumn };

    explicit LogTableModel(QObject* parent = nullptr);
    LogTableModel(std::vector<LogColumn> columns, QObject* parent = nullptr);

    // Every record of the table; nullptr detaches: the model is empty.
    void setTable(const LogTable* table);
    // Only the records of these indices, in this order.
    void setTable(const LogTable* table, std::vector<int> records);
    const LogTable* table() const { return table_; }
    void setBankTitle(const QString& title);
    // Call after appending to the table: the new records become rows.
    void recordsAppended();

    int columnWidth(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // The row's texts; nullptr when its record cannot be read.
    const QStringList* row(int index) const;
    void reset(const LogTable* table, std::optional<std::vector<int>> records);

    static constexpr int CachedRows = 512;

    std::vector<LogColumn> columns_;
    const LogTable* table_ = nullptr;
    std::optional<std::vector<int>> records_;
    int rows_ = 0;
    QString bankTitle_;
    mutable QCache<int, QStringList> cache_{CachedRows};
};

} // namespace tirvon::log
