#include "ui/dialogkeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace {

// The menu key reaches Qt as a context-menu request of the window, which Qt hands to the
// focused control at its text cursor; Shift+F10 is only a key, so it is turned into the
// same request here. A control without a text cursor gets it at its centre.
void openContextMenu(QWidget *control)
{
    const QRect cursor = control->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint at = cursor.isValid() ? cursor.center() : control->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, control->mapToGlobal(at),
                              QApplication::keyboardModifiers());
    QApplication::sendEvent(control, &request);
}

} // namespace

DialogKeys::DialogKeys(QWidget *dialog, QAbstractItemView *list, QAbstractButton *deleteButton)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_list(list)
    , m_deleteButton(deleteButton)
{
    // The dialog sees every key its controls leave alone, Shift+F10 among them; the list
    // is watched itself, since its own handling of Delete would come first.
    dialog->installEventFilter(this);
    list->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (watched == m_list && key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        if (m_deleteButton && m_deleteButton->isEnabled())
            m_deleteButton->click();
        return true;
    }
    if (watched == m_dialog && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        QWidget *focus = m_dialog->focusWidget();
        openContextMenu(focus && focus->isEnabled() ? focus : m_dialog);
        return true;
    }
    return false;
}
