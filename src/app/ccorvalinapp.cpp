#include "app/ccorvalinapp.h"

#include "core/engine.h"
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
    CCorvalinDlg dialog(engine, messages);
    messages.setParentWidget(&dialog);
    dialog.OnInitDialog();
    // How the dialog ended does not matter: every way out is the close command.
    dialog.exec();
    return 0;
}
