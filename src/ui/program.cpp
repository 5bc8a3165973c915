#include "ui/program.h"

#include "desktop/diagnostics.h"
#include "desktop/windowactivation.h"

#include <QApplication>
#include <QTreeView>

Program::Program(Messages &messages, SettingsStore &store, const DialogPlatform &platform)
    : calculator(engine, messages)
    , dialog(calculator, store, platform)
    , intake(calculator, dialog)
{
    // A file taken is a file kept: whatever still waits opens before the close saves.
    QObject::connect(&dialog, &CCorvalinDlg::aboutToClose, &intake, &FileIntake::openRemaining);
}

DesktopProgram::DesktopProgram(const QString &programPath, SingleInstance &session)
    : m_program(m_platform.messages, m_store, m_platform.forDialog(programPath))
{
    CCorvalinDlg &dialog = m_program.dialog;
    m_platform.setParentWidget(&dialog);
    connect(&m_watcher, &TerminationWatcher::terminationRequested, this, &DesktopProgram::leave);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &DesktopProgram::leave);
    connect(&session, &SingleInstance::handedOver, this,
            [this](const QStringList &paths, const Activation &activation) {
                m_program.intake.open(paths);
                comeForward(m_program.dialog, activation);
            });
    // Files given to an ending run would never open: the next start takes them instead.
    connect(&dialog, &QDialog::finished, &session, &SingleInstance::stop);
}

// Logging out, shutting down or a polite kill would otherwise lose the whole run's work:
// treat them as a close, then leave every event loop, a message box's too, and open no
// further box, not even one the start-up still has to show. Files taken but not yet
// opened open before the close saves. Inside an open whose box is up, the close waits
// until that open is over, outside every loop.
void DesktopProgram::leave()
{
    m_platform.messages.endRun();
    if (!m_program.intake.isOpening())
        m_program.dialog.closeCommand();
    m_leaving = true;
    QCoreApplication::exit(0);
}

int DesktopProgram::exec(const QStringList &files)
{
    CCorvalinDlg &dialog = m_program.dialog;
    m_program.intake.open(files);
    dialog.OnInitDialog();
    reportFirstFrameIfAsked(
        dialog.control<QTreeView>(CCorvalinDlg::ControlId::MemoryList)->viewport());
    // How the dialog ended does not matter: every way out is the close command, and one
    // that ended the loop some other way still saves here. A run closed while the
    // start-up showed a message never shows the dialog.
    if (!dialog.isClosed() && !m_leaving)
        dialog.exec();
    dialog.closeCommand();
    return 0;
}
