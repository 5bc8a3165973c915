// The rows of the memory list (name, value, derivation) as a table model.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

/// What the memory buttons may do for a given selection.
struct MemoryButtons {
    bool copyDerivation = false; ///< exactly one row selected
    bool remove = false;         ///< at least one row selected
    bool operator==(const MemoryButtons &) const = default;
};

/// Which memory buttons a selection of `selectedRows` rows enables: copying a derivation
/// wants exactly one, deleting at least one. A rule of the list alone, read by whoever
/// shows the buttons.
MemoryButtons UpdateMemoryButtons(int selectedRows);

struct MemoryRow {
    QString name;
    QString value;      ///< already formatted for display
    QString derivation; ///< empty for a memory without one
};

class MemoryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        ValueColumn,
        DerivationColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<MemoryRow> &rows() const { return m_rows; }
    /// Replaces every row; views lose their selection, as after any rebuild.
    void setRows(std::vector<MemoryRow> rows);

private:
    std::vector<MemoryRow> m_rows;
};
