#include "app/ccorvalinapp.h"

#include "app/terminationwatcher.h"
#include "desktop/diagnostics.h"
#include "desktop/singleinstance.h"
#include "desktop/windowactivation.h"
#include "persistence/qsettingsstore.h"
#include "ui/identity.h"
#include "ui/program.h"

#include <QLocale>
#include <QTreeView>

#include <cstdio>

CCorvalinApp::CCorvalinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    nameApplication();
    setWindowIcon(programIcon());
}

int CCorvalinApp::InitInstance(const QStringList &files, const Activation &activation)
{
    m_translations.install(languageFor(QLocale::system().uiLanguages()));
    if (const std::optional<int> status = reportManualIfAsked(applicationFilePath()))
        return *status;

    // A start in a session where Korvel runs already only passes its files on: it has no
    // dialog, and leaves the settings to the running one.
    SingleInstance session(SingleInstance::sessionSocketPath());
    const SingleInstance::Start start = session.start(files, activation);
    if (!session.problem().isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(applicationName()),
                     qPrintable(session.problem()));
    if (start == SingleInstance::Start::HandedOver)
        return 0;
    if (start == SingleInstance::Start::Failed)
        return 1;

    QtPlatform platform;
    QSettingsStore store;
    Program program(platform.messages, store, platform.forDialog(applicationFilePath()));
    CCorvalinDlg &dialog = program.dialog;
    platform.setParentWidget(&dialog);

    // Logging out, shutting down or a polite kill would otherwise lose the whole run's
    // work: treat them as a close, then leave every event loop, a message box's too, and
    // open no further box, not even one the start-up still has to show. Files taken but
    // not yet opened open before the close saves. Inside an open whose box is up, the
    // close waits until that open is over, outside every loop.
    bool leaving = false;
    const auto closeAndLeave = [&program, &platform, &leaving] {
        platform.messages.endRun();
        if (!program.intake.isOpening())
            program.dialog.closeCommand();
        leaving = true;
        QCoreApplication::exit(0);
    };
    TerminationWatcher terminationWatcher;
    connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &dialog, closeAndLeave);
    connect(this, &QGuiApplication::commitDataRequest, &dialog, closeAndLeave);
    connect(&session, &SingleInstance::handedOver, &dialog,
            [&program](const QStringList &paths, const Activation &activation) {
                program.intake.open(paths);
                comeForward(program.dialog, activation);
            });
    // Files given to an ending run would never open: the next start takes them instead.
    connect(&dialog, &QDialog::finished, &session, &SingleInstance::stop);

    // The files open after the start-up, once the dialog shows, and before any handed over
    // meanwhile.
    program.intake.open(files);
    dialog.OnInitDialog();
    reportFirstFrameIfAsked(
        dialog.control<QTreeView>(CCorvalinDlg::ControlId::MemoryList)->viewport());
    // How the dialog ended does not matter: every way out is the close command, and one
    // that ended the loop some other way still saves here. A run closed while the
    // start-up showed a message never shows the dialog.
    if (!dialog.isClosed() && !leaving)
        dialog.exec();
    dialog.closeCommand();
    return 0;
}
