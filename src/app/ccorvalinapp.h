// The application: prepares Qt and the user-interface language and runs the main dialog.
#pragma once

#include "ui/language.h"

#include <QApplication>

class CCorvalinApp : public QApplication {
    Q_OBJECT
public:
    CCorvalinApp(int &argc, char **argv);

    /// Runs the main dialog until it is closed; the program then ends.
    int InitInstance();

private:
    Translations m_translations;
};
