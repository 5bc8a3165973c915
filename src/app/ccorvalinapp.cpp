#include "app/ccorvalinapp.h"

#include "desktop/diagnostics.h"
#include "desktop/singleinstance.h"
#include "ui/identity.h"
#include "ui/program.h"

#include <QLocale>

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

    DesktopProgram program(applicationFilePath(), session);
    return program.exec(files);
}
