// What a screen reader needs beyond the names and tips: the result of each Calculate spoken
// while the focus stays where it is, and the full text of a cell that its column cuts short.
#pragma once

#include <QStyledItemDelegate>

class Calculator;
class QLabel;

/// Gives `resultField` a notice that screen readers speak whenever a result arrives (the
/// same one twice too), wherever the focus is; the notice is never drawn. The result also
/// becomes the accessible description of `expressionField`, where the focus stays, so that
/// a reader that follows only the focused object finds it there.
void announceResults(Calculator &calculator, QWidget *resultField, QWidget *expressionField);

/// Names the control that `label`'s mnemonic leads to after the label, without the
/// ampersands; labels without a mnemonic name nothing.
void nameAfterLabel(const QLabel *label);

/// Cells that show their text whole as the view draws them; a cell whose text the column
/// cuts short shows the whole text as its tip, any other leaves the view's own tip.
class CutShortTipDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
