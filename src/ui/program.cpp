#include "ui/program.h"

DialogPlatform QtPlatform::forDialog(const QString &programPath)
{
    return {files, clipboard, keyboard, documents, programPath};
}

void QtPlatform::setParentWidget(QWidget *window)
{
    messages.setParentWidget(window);
    files.setParentWidget(window);
}

Program::Program(Messages &messages, SettingsStore &store, const DialogPlatform &platform)
    : calculator(engine, messages)
    , dialog(calculator, store, platform)
    , intake(calculator, dialog)
{
    // A file taken is a file kept: whatever still waits opens before the close saves.
    QObject::connect(&dialog, &CCorvalinDlg::aboutToClose, &intake, &FileIntake::openRemaining);
}
