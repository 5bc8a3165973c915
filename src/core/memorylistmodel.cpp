#include "core/memorylistmodel.h"

int MemoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MemoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MemoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_rows.size())
        return {};
    const MemoryRow &row = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case NameColumn:
            return row.name;
        case ValueColumn:
            return row.value;
        case DerivationColumn:
            return row.derivation;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal =
            index.column() == ValueColumn ? Qt::AlignRight : Qt::AlignLeft;
        return int(horizontal | Qt::AlignVCenter);
    }
    return {};
}

QVariant MemoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = section == ValueColumn ? Qt::AlignRight : Qt::AlignLeft;
        return int(horizontal | Qt::AlignVCenter);
    }
    return {};
}

void MemoryListModel::setRows(std::vector<MemoryRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

MemoryButtons UpdateMemoryButtons(int selectedRows)
{
    return {selectedRows == 1, selectedRows >= 1};
}
