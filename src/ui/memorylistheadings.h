// The memory list as the dialog shows it: the core's rows under headings in the language
// of the interface.
#pragma once

#include <QIdentityProxyModel>

class MemoryListHeadings : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    /// Tells views that the headings changed, after the language was switched.
    void retranslate();
};
