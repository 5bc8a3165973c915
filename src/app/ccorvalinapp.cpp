#include "app/ccorvalinapp.h"

#include "app/terminationwatcher.h"
#include "persistence/qsettingsstore.h"
#include "ui/diagnostics.h"
#include "ui/identity.h"
#include "ui/program.h"
#include "ui/singleinstance.h"

#include <QLocale>
#include <QTreeView>

#include <cstdio>

namespace {

// Puts the window, and a box it shows, in front of the user.
void comeForward(QWidget &window)
{
    if (window.isVisible()) {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
        window.activateWindow();
    }
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != &window) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace

CCorvalinApp::CCorvalinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    nameApplication();
    setWindowIcon(programIcon());
}

int CCorvalinApp::InitInstance(const QStringList &files)
{
    m_translations.install(languageFor(QLocale::system().uiLanguages()));
    if (const std::optional<int> status = reportManualIfAsked(applicationFilePath()))
        return *status;

    // A start in a session where Korvel runs already only passes its files on: it has no
    // dialog, and leaves the settings to the running one.
    SingleInstance session(SingleInstance::sessionSocketPath());
    switch (session.start(files)) {
    case SingleInstance::Start::HandedOver:
        return 0;
    case SingleInstance::Start::Failed:
        std::fprintf(stderr, "%s: the running Korvel did not take the files\n",
                     qPrintable(applicationName()));
        return 1;
    case SingleInstance::Start::Running:
    case SingleInstance::Start::Alone:
        break;
    }

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
    connect(&session, &SingleInstance::filesHandedOver, &dialog,
            [&program](const QStringList &paths) {
                program.intake.open(paths);
                comeForward(program.dialog);
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
    if (!dialog.isClosed())
        dialog.exec();
    dialog.closeCommand();
    return 0;
}
