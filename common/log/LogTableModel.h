#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QString>

namespace tirvon::log {

class LogTable;

// The log grid's view of an open log table, one row per record in the table's
// order, columns DATE, BANK (titled with the object word), TIME, TIMEO and MAIL.
// Records are read when a row is shown, through a small cache of recent rows,
// so a table of any size opens at once. Read only. The table must outlive its
// use here (or be detached with setTable(nullptr) first).
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { DateColumn, BankColumn, TimeColumn, TimeOColumn, MailColumn, ColumnCount };

    explicit LogTableModel(QObject* parent = nullptr);

    // nullptr detaches: the model is empty.
    void setTable(const LogTable* table);
    const LogTable* table() const { return table_; }
    void setBankTitle(const QString& title);
    // Call after appending to the table: the new records become rows.
    void recordsAppended();

    // The grid's width of a column in pixels; 0 for the last, which takes the rest.
    static int columnWidth(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        QString texts[ColumnCount];
    };
    // The row's texts; nullptr when its record cannot be read.
    const Row* row(int index) const;

    static constexpr int CachedRows = 512;

    const LogTable* table_ = nullptr;
    int rows_ = 0;
    QString bankTitle_;
    mutable QCache<int, Row> cache_{CachedRows};
};

} // namespace tirvon::log
