// Keys a dialog answers wherever the focus is in it, beyond those Qt gives its controls.
#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QAbstractItemView;
class QWidget;

/// Shift+F10 opens the focused control's context menu, as the menu key does; Delete in
/// `list` clicks `deleteButton` (when it is enabled), so the list keeps the focus.
class DialogKeys : public QObject {
    Q_OBJECT
public:
    /// Watches `dialog` and `list`, a view inside it; owned by `dialog`.
    DialogKeys(QWidget *dialog, QAbstractItemView *list, QAbstractButton *deleteButton);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_dialog;
    QAbstractItemView *m_list;
    QPointer<QAbstractButton> m_deleteButton;
};
