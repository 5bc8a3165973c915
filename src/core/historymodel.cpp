#include "core/historymodel.h"

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_entries.at(index.row());
    return {};
}

int HistoryModel::findExact(const QString &text) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void HistoryModel::insertTop(const QString &text)
{
    beginInsertRows({}, 0, 0);
    m_entries.prepend(text);
    endInsertRows();
}

void HistoryModel::append(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    beginInsertRows({}, int(m_entries.size()), int(m_entries.size() + texts.size() - 1));
    m_entries.append(texts);
    endInsertRows();
}

void HistoryModel::removeAt(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void HistoryModel::clear()
{
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}
