// Korvel, a calculator for expressions with memories.
#include "app/ccorvalinapp.h"
#include "app/commandline.h"
#include "ui/identity.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // A terminal without a display still gets its help: a QApplication would end the
    // process for want of one before the question is read.
    if (asksForHelpOrVersion(argc, argv)) {
        const QCoreApplication app(argc, argv);
        nameApplication();
        const std::variant<QStringList, int> answer = filesFromCommandLine(app.arguments());
        if (const int *status = std::get_if<int>(&answer))
            return *status;
    }
    CCorvalinApp app(argc, argv);
    return app.InitInstance();
}
