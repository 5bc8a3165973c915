#include "ui/edittextkeeper.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>

EditTextKeeper::EditTextKeeper(QComboBox *box)
    : QObject(box)
    , m_box(box)
{
    const QAbstractItemModel *model = box->model();
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &EditTextKeeper::keep);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &EditTextKeeper::keep);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &EditTextKeeper::keep);
    connect(model, &QAbstractItemModel::rowsInserted, this, &EditTextKeeper::restore);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EditTextKeeper::restore);
    connect(model, &QAbstractItemModel::modelReset, this, &EditTextKeeper::restore);
}

void EditTextKeeper::keep()
{
    const QLineEdit *edit = m_box->lineEdit();
    m_text = edit->text();
    m_cursor = edit->cursorPosition();
    m_selectionStart = edit->selectionStart();
    m_selectionLength = int(edit->selectedText().size());
}

void EditTextKeeper::restore()
{
    QLineEdit *edit = m_box->lineEdit();
    if (edit->text() == m_text)
        return;
    edit->setText(m_text);
    if (m_selectionStart >= 0)
        edit->setSelection(m_selectionStart, m_selectionLength);
    else
        edit->setCursorPosition(m_cursor);
}
