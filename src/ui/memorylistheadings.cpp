#include "ui/memorylistheadings.h"

#include "core/memorylistmodel.h"

#include <QCoreApplication>

#include <iterator>

namespace {

const char *const Headings[] = {
    QT_TRANSLATE_NOOP("MemoryListModel", "Name"),
    QT_TRANSLATE_NOOP("MemoryListModel", "Value"),
    QT_TRANSLATE_NOOP("MemoryListModel", "Automatic calculation"),
};
static_assert(std::size(Headings) == MemoryListModel::ColumnCount);

} // namespace

QVariant MemoryListHeadings::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < int(std::size(Headings)))
        return QCoreApplication::translate("MemoryListModel", Headings[section]);
    return QIdentityProxyModel::headerData(section, orientation, role);
}

void MemoryListHeadings::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, int(std::size(Headings)) - 1);
}
