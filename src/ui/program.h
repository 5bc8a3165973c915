// The program's objects and how they are joined: the engine, the calculator on it, and the
// main dialog over the calculator, a settings store and the platform. The program, the
// widget tests, the benchmarks and the screenshot tool all build them here, so that they
// run what the user runs; the program joins them to the desktop here too.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "core/platform.h"
#include "desktop/fileintake.h"
#include "desktop/singleinstance.h"
#include "desktop/terminationwatcher.h"
#include "persistence/qsettingsstore.h"
#include "ui/ccorvalindlg.h"
#include "ui/qtplatform.h"

class SettingsStore;

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

/// The program as the desktop runs it: the Qt platform with its boxes modal to the dialog,
/// the user's settings store, the files other starts hand over, and a polite end (a
/// signal, a logout) that closes and saves as the close command does.
class DesktopProgram : public QObject {
    Q_OBJECT
public:
    /// For the program at `programPath`, taking what `session` hands over while it runs.
    DesktopProgram(const QString &programPath, SingleInstance &session);

    /// Runs the start-up, opens `files` (absolute) once the dialog shows, before any
    /// handed over meanwhile, and returns the exit status once the dialog has closed.
    int exec(const QStringList &files);

private:
    void leave();

    QtPlatform m_platform;
    QSettingsStore m_store;
    Program m_program;
    TerminationWatcher m_watcher;
    bool m_leaving = false;
};
