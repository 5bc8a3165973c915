#include "app/ccorvalinapp.h"

#include "app/terminationwatcher.h"
#include "core/calculator.h"
#include "core/engine.h"
#include "persistence/qsettingsstore.h"
#include "ui/ccorvalindlg.h"
#include "ui/firstframe.h"
#include "ui/identity.h"
#include "ui/manual.h"
#include "ui/messageboxmessages.h"
#include "ui/qtplatform.h"

#include <QIcon>
#include <QLocale>
#include <QTreeView>

#include <cstdio>

CCorvalinApp::CCorvalinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    nameApplication();
    setWindowIcon(programIcon());
}

int CCorvalinApp::InitInstance()
{
    m_translations.install(languageFor(QLocale::system().uiLanguages()));
    // For checking an installation: which manual the Info button would open, then stop.
    if (qEnvironmentVariableIsSet("KORVEL_REPORT_MANUAL")) {
        const QString manual = Manual(applicationFilePath()).toOpen();
        std::printf("manual: %s\n", manual.isEmpty() ? "none" : qPrintable(manual));
        return manual.isEmpty() ? 1 : 0;
    }
    // Destroyed in reverse: the dialog before the calculator whose models it shows.
    Engine engine;
    MessageBoxMessages messages;
    Calculator calculator(engine, messages);
    QSettingsStore store;
    QtFileChooser files;
    QtClipboard clipboard;
    const QtKeyboard keyboard;
    QtDocumentOpener documents;
    CCorvalinDlg dialog(calculator, store,
                        {files, clipboard, keyboard, documents, applicationFilePath()});
    messages.setParentWidget(&dialog);
    files.setParentWidget(&dialog);

    // Logging out, shutting down or a polite kill would otherwise lose the whole run's
    // work: treat them as a close, then leave every event loop, a message box's too, and
    // open no further box, not even one the start-up still has to show.
    const auto closeAndLeave = [&dialog, &messages] {
        dialog.closeCommand();
        messages.endRun();
        QCoreApplication::exit(0);
    };
    TerminationWatcher terminationWatcher;
    connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &dialog, closeAndLeave);
    connect(this, &QGuiApplication::commitDataRequest, &dialog, closeAndLeave);

    dialog.OnInitDialog();
    // For the start-up probe: the first frame that shows the restored memory list.
    if (qEnvironmentVariableIsSet("KORVEL_REPORT_FIRST_FRAME"))
        reportFirstFrameAndExit(
            dialog.control<QTreeView>(CCorvalinDlg::ControlId::MemoryList)->viewport());
    // How the dialog ended does not matter: every way out is the close command, and one
    // that ended the loop some other way still saves here. A run closed while the
    // start-up showed a message never shows the dialog.
    if (!dialog.isClosed())
        dialog.exec();
    dialog.closeCommand();
    return 0;
}
