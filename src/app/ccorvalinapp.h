// The application: prepares Qt and the user-interface language and runs the main dialog.
#pragma once

#include "desktop/handover.h"
#include "desktop/language.h"

#include <QApplication>

class CCorvalinApp : public QApplication {
    Q_OBJECT
public:
    CCorvalinApp(int &argc, char **argv);

    /// Runs the main dialog until it is closed, opening `files` (absolute) once it shows,
    /// or hands them to the Korvel running in the session with `activation`, the one this
    /// process was started with; the program then ends.
    int InitInstance(const QStringList &files, const Activation &activation);

private:
    Translations m_translations;
};
