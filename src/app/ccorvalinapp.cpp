#include "app/ccorvalinapp.h"

#include "app/terminationwatcher.h"
#include "core/engine.h"
#include "persistence/qsettingsstore.h"
#include "ui/ccorvalindlg.h"
#include "ui/messageboxmessages.h"

#include <QIcon>
#include <QLocale>

CCorvalinApp::CCorvalinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The application name stays Qt's default, the executable's base name: the settings
    // are kept per program name, so a copy under another name starts afresh.
    setOrganizationName(QStringLiteral("Tamsard"));
    setApplicationVersion(QStringLiteral("3.0.1.20"));
    setApplicationDisplayName(QStringLiteral("Korvel"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/korvel.svg")));
}

int CCorvalinApp::InitInstance()
{
    m_translations.install(languageFor(QLocale::system().uiLanguages()));
    Engine engine;
    MessageBoxMessages messages;
    QSettingsStore store;
    CCorvalinDlg dialog(engine, messages, store);
    messages.setParentWidget(&dialog);

    // Logging out, shutting down or a polite kill would otherwise lose the whole run's
    // work: treat them as a close, then leave every event loop, a message box's too.
    const auto closeAndLeave = [&dialog] {
        dialog.closeCommand();
        QCoreApplication::exit(0);
    };
    TerminationWatcher terminationWatcher;
    connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &dialog, closeAndLeave);
    connect(this, &QGuiApplication::commitDataRequest, &dialog, closeAndLeave);

    dialog.OnInitDialog();
    // How the dialog ended does not matter: every way out is the close command, and one
    // that ended the loop some other way still saves here.
    dialog.exec();
    dialog.closeCommand();
    return 0;
}
