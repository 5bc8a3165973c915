// Keeps the text being typed in an editable combo box while its list changes underneath.
#pragma once

#include <QObject>
#include <QString>

class QComboBox;

/// QComboBox rewrites its edit text when rows around its current item come or go and
/// empties it on a reset; but the text being typed is the user's. A keeper puts the text,
/// the caret and the selection back after every such change of the box's model. Create it
/// after the box has its model, so that it acts after the box's own reaction.
class EditTextKeeper : public QObject {
    Q_OBJECT
public:
    explicit EditTextKeeper(QComboBox *box);

private:
    void keep();
    void restore();

    QComboBox *m_box;
    QString m_text;
    int m_cursor = 0;
    int m_selectionStart = -1;
    int m_selectionLength = 0;
};
