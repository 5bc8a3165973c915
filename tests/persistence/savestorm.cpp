// A helper of the crash-safety test: saves one of two calculator states to a settings
// file, once or over and over, the way Korvel closes, so that the test can kill it at any
// moment.
//
//   korvel_savestorm PATH once|loop A|B
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"
#include "support/statelines.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const bool b = args[3] == u"B";
    TestCalculator calc;
    // State A has three memories and three history entries, state B five of each: B leaves
    // keys that A does not write, as a longer earlier save does.
    for (int i = 0; i < (b ? 5 : 3); ++i)
        calc.calculator.calculate(
            QStringLiteral("%1%2 = %3").arg(QChar(b ? u'b' : u'a')).arg(i).arg(i * 1.5));
    for (bool first = true; first || args[2] == u"loop"; first = false) {
        QSettingsStore store(args[1]);
        closeDown(store, calc.calculator);
        if (first) {
            std::printf("saved\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
