// A helper of the crash-safety tests: saves one of two calculator states to a file, once
// or over and over, the way Korvel saves, so that a test can kill it at any moment.
//
//   korvel_savestorm datafile|settings PATH once|loop A|B
#include "core/calculator.h"
#include "core/engine.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafilecommands.h"
#include "persistence/qsettingsstore.h"
#include "persistence/session.h"
#include "support/recordingmessages.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

// State A has three memories and two history entries, state B five and four: B leaves
// keys that A does not write, as a longer earlier save does.
void fill(Calculator &calculator, bool b)
{
    calculator.engine().StartEngine();
    calculator.engine().PrimeParser();
    for (int i = 0; i < (b ? 5 : 3); ++i)
        calculator.calculate(
            QStringLiteral("%1%2 = %3").arg(QChar(b ? u'b' : u'a')).arg(i).arg(i * 1.5));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    const bool settings = std::strcmp(argv[1], "settings") == 0;
    const QString path = QString::fromLocal8Bit(argv[2]);
    const bool loop = std::strcmp(argv[3], "loop") == 0;
    const bool b = std::strcmp(argv[4], "B") == 0;
    Engine engine;
    RecordingMessages messages;
    Calculator calculator(engine, messages);
    fill(calculator, b);
    for (bool first = true; first || loop; first = false) {
        if (settings) {
            QSettingsStore store(path);
            closeDown(store, calculator.lastExpression(), calculator);
        } else if (!writeWholeFile(path, writeCalculatorDataFile(calculator.lastExpression(),
                                                                 *calculator.history(), engine))) {
            return 1;
        }
        if (first) {
            std::printf("saved\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
