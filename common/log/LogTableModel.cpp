#include "log/LogTableModel.h"
#include "log/LogTable.h"
#include "text/Cp1251.h"

namespace tirvon::log {

LogTableModel::LogTableModel(QObject* parent)
    : LogTableModel({{LogField::Date, QStringLiteral("Дата"), 80},
                     {LogField::Bank, QString(), 250},
                     {LogField::Time, QStringLiteral("Время прихода"), 113},
                     {LogField::TimeO, QStringLiteral("Время отправки"), 115},
                     {LogField::Mail, QStringLiteral("Событие"), 0}},
                    parent) {}

LogTableModel::LogTableModel(std::vector<LogColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)),
      bankTitle_(QStringLiteral("Банкомат")) {}

void LogTableModel::reset(const LogTable* table, std::optional<std::vector<int>> records) {
    beginResetModel();
    table_ = table;
    records_ = table ? std::move(records) : std::nullopt;
    rows_ = !table ? 0 : records_ ? int(records_->size()) : table->recordCount();
    cache_.clear();
    endResetModel();
}

void LogTableModel::setTable(const LogTable* table) {
    reset(table, std::nullopt);
}

void LogTableModel::setTable(const LogTable* table, std::vector<int> records) {
    reset(table, std::move(records));
}

void LogTableModel::setBankTitle(const QString& title) {
    bankTitle_ = title;
    for (int c = 0; c < int(columns_.size()); ++c) {
        if (columns_[size_t(c)].title.isEmpty())
            emit headerDataChanged(Qt::Horizontal, c, c);
    }
}

void LogTableModel::recordsAppended() {
    if (records_)
        return; // a choice of records stays as it was made
    const int count = table_ ? table_->recordCount() : 0;
    if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        setTable(table_);
    }
}

int LogTableModel::columnWidth(int column) const {
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)].width : 0;
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int LogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

const QStringList* LogTableModel::row(int index) const {
    if (const QStringList* cached = cache_.object(index))
        return cached;
    LogRecord record;
    try {
        record = table_->record(records_ ? (*records_)[size_t(index)] : index);
    } catch (const LogError&) {
        return nullptr;
    }
    auto* fresh = new QStringList;
    for (const LogColumn& column : columns_)
        fresh->append(text::toUnicode(record.text(column.field)));
    cache_.insert(index, fresh);
    return fresh;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !table_ || !index.isValid() || index.row() >= rows_ ||
        index.column() >= columnCount())
        return {};
    const QStringList* r = row(index.row());
    if (!r)
        return {};
    return r->at(index.column());
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= columnCount())
        return {};
    const QString& title = columns_[size_t(section)].title;
    return title.isEmpty() ? bankTitle_ : title;
}

Qt::ItemFlags LogTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace tirvon::log
