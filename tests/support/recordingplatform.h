// Recorders of what the dialog asks of the platform: clipboard texts, the Shift key as a
// test sets it, and the documents opened.
#pragma once

#include "core/copyresult.h"
#include "desktop/manual.h"

#include <QStringList>

class RecordingClipboard : public Clipboard {
public:
    void setText(const QString &text) override { texts.append(text); }
    QStringList texts; ///< every text put on the clipboard, in order
};

class ScriptedKeyboard : public Keyboard {
public:
    bool shiftHeld() const override { return shift; }
    bool shift = false;
};

class RecordingDocuments : public DocumentOpener {
public:
    void open(const QString &path) override { opened.append(path); }
    QStringList opened;
};
