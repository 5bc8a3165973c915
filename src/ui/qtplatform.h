// What the dialog asks of the platform, done with Qt: the file dialog, the clipboard, the
// keyboard's state and the desktop's document viewer.
#pragma once

#include "core/copyresult.h"
#include "desktop/manual.h"
#include "persistence/datafilecommands.h"
#include "ui/messageboxmessages.h"

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

class QtClipboard : public Clipboard {
public:
    void setText(const QString &text) override;
};

class QtKeyboard : public Keyboard {
public:
    /// Asks the window system now, so that Shift pressed or released since the last event
    /// counts as it is.
    bool shiftHeld() const override;
};

class QtDocumentOpener : public DocumentOpener {
public:
    void open(const QString &path) override;
};

/// The platform as the desktop gives it: message boxes, file dialogs, the clipboard, the
/// keyboard and the document viewer.
struct QtPlatform {
    MessageBoxMessages messages;
    QtFileChooser files;
    QtClipboard clipboard;
    QtKeyboard keyboard;
    QtDocumentOpener documents;

    /// What the dialog asks of it, for a program at `programPath`.
    DialogPlatform forDialog(const QString &programPath);
    /// Makes the boxes and file dialogs modal to `window`.
    void setParentWidget(QWidget *window);
};
