// The program's objects and how they are joined: the engine, the calculator on it, and the
// main dialog over the calculator, a settings store and the platform. The program, the
// widget tests, the benchmarks and the screenshot tool all build them here, so that they
// run what the user runs.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "core/platform.h"
#include "desktop/fileintake.h"
#include "ui/ccorvalindlg.h"
#include "ui/messageboxmessages.h"
#include "ui/qtplatform.h"

class SettingsStore;

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

/// The engine, the calculator, the dialog and the way files come into it from outside,
/// destroyed in reverse: the dialog before the calculator whose models it shows.
/// `messages`, `store` and the platform outlive it.
struct Program {
    Program(Messages &messages, SettingsStore &store, const DialogPlatform &platform);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    Engine engine;
    Calculator calculator;
    CCorvalinDlg dialog;
    FileIntake intake;
};
