#include "app/ccorvalinapp.h"

#include "app/terminationwatcher.h"
#include "persistence/qsettingsstore.h"
#include "ui/diagnostics.h"
#include "ui/identity.h"
#include "ui/program.h"

#include <QLocale>
#include <QTreeView>

CCorvalinApp::CCorvalinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    nameApplication();
    setWindowIcon(programIcon());
}

int CCorvalinApp::InitInstance()
{
    m_translations.install(languageFor(QLocale::system().uiLanguages()));
    if (const std::optional<int> status = reportManualIfAsked(applicationFilePath()))
        return *status;
    QtPlatform platform;
    QSettingsStore store;
    Program program(platform.messages, store, platform.forDialog(applicationFilePath()));
    CCorvalinDlg &dialog = program.dialog;
    platform.setParentWidget(&dialog);

    // Logging out, shutting down or a polite kill would otherwise lose the whole run's
    // work: treat them as a close, then leave every event loop, a message box's too, and
    // open no further box, not even one the start-up still has to show.
    const auto closeAndLeave = [&dialog, &platform] {
        dialog.closeCommand();
        platform.messages.endRun();
        QCoreApplication::exit(0);
    };
    TerminationWatcher terminationWatcher;
    connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &dialog, closeAndLeave);
    connect(this, &QGuiApplication::commitDataRequest, &dialog, closeAndLeave);

    dialog.OnInitDialog();
    reportFirstFrameIfAsked(
        dialog.control<QTreeView>(CCorvalinDlg::ControlId::MemoryList)->viewport());
    // How the dialog ended does not matter: every way out is the close command, and one
    // that ended the loop some other way still saves here. A run closed while the
    // start-up showed a message never shows the dialog.
    if (!dialog.isClosed())
        dialog.exec();
    dialog.closeCommand();
    return 0;
}
