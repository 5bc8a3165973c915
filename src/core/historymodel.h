// The expression history, newest first, as a list model the expression field shows.
#pragma once

#include <QAbstractListModel>
#include <QStringList>

class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &entries() const { return m_entries; }

    /// Index of the first entry equal to `text` with letter case ignored, or -1.
    int findExact(const QString &text) const;
    /// Puts `text` at the top, without looking for duplicates.
    void insertTop(const QString &text);
    /// Adds `texts` at the bottom in their order, without looking for duplicates.
    void append(const QStringList &texts);
    void removeAt(int row);
    void clear();

private:
    QStringList m_entries;
};
