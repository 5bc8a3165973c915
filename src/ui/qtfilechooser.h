// The file chooser of the Save and Open commands: Qt's file dialog.
#pragma once

#include "persistence/datafilecommands.h"

#include <QPointer>
#include <QWidget>

class QtFileChooser : public FileChooser {
public:
    /// The window the file dialogs are modal to; set once the dialog exists.
    void setParentWidget(QWidget *parent);

    /// Offers the data file filters, the first selected, and gives a typed name without an
    /// extension the suffix "cdf". Saving asks before replacing a file; opening accepts
    /// only an existing one.
    QString choose(Purpose purpose) override;

private:
    QPointer<QWidget> m_parent;
};
