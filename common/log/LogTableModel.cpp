#include "log/LogTableModel.h"
#include "log/LogTable.h"
#include "text/Cp1251.h"

namespace tirvon::log {

LogTableModel::LogTableModel(QObject* parent)
    : QAbstractTableModel(parent), bankTitle_(QStringLiteral("Банкомат")) {}

void LogTableModel::setTable(const LogTable* table) {
    beginResetModel();
    table_ = table;
    rows_ = table ? table->recordCount() : 0;
    cache_.clear();
    endResetModel();
}

void LogTableModel::setBankTitle(const QString& title) {
    bankTitle_ = title;
    emit headerDataChanged(Qt::Horizontal, BankColumn, BankColumn);
}

void LogTableModel::recordsAppended() {
    const int count = table_ ? table_->recordCount() : 0;
    if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        setTable(table_);
    }
}

int LogTableModel::columnWidth(int column) {
    switch (column) {
    case DateColumn:
        return 80;
    case BankColumn:
        return 250;
    case TimeColumn:
        return 113;
    case TimeOColumn:
        return 115;
    default:
        return 0;
    }
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const LogTableModel::Row* LogTableModel::row(int index) const {
    if (const Row* cached = cache_.object(index))
        return cached;
    LogRecord record;
    try {
        record = table_->record(index);
    } catch (const LogError&) {
        return nullptr;
    }
    auto* fresh = new Row{{text::toUnicode(record.date), text::toUnicode(record.bank),
                           text::toUnicode(record.time), text::toUnicode(record.timeo),
                           text::toUnicode(record.mail)}};
    cache_.insert(index, fresh);
    return fresh;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !table_ || !index.isValid() || index.row() >= rows_ ||
        index.column() >= ColumnCount)
        return {};
    const Row* r = row(index.row());
    if (!r)
        return {};
    return r->texts[index.column()];
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case DateColumn:
        return QStringLiteral("Дата");
    case BankColumn:
        return bankTitle_;
    case TimeColumn:
        return QStringLiteral("Время прихода");
    case TimeOColumn:
        return QStringLiteral("Время отправки");
    case MailColumn:
        return QStringLiteral("Событие");
    default:
        return {};
    }
}

Qt::ItemFlags LogTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace tirvon::log
