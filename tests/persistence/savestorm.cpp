// A helper of the crash-safety test: saves one of two calculator states to a settings
// file, once or over and over, the way Korvel closes, so that the test can kill it at any
// moment.
//
//   korvel_savestorm PATH once|loop A|B
#include "core/calculator.h"
#include "core/engine.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"
#include "support/recordingmessages.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool loop = std::strcmp(argv[2], "loop") == 0;
    const bool b = std::strcmp(argv[3], "B") == 0;
    Engine engine;
    RecordingMessages messages;
    Calculator calculator(engine, messages);
    engine.PrimeParser();
    // State A has three memories and two history entries, state B five and four: B leaves
    // keys that A does not write, as a longer earlier save does.
    for (int i = 0; i < (b ? 5 : 3); ++i)
        calculator.calculate(
            QStringLiteral("%1%2 = %3").arg(QChar(b ? u'b' : u'a')).arg(i).arg(i * 1.5));
    for (bool first = true; first || loop; first = false) {
        QSettingsStore store(path);
        closeDown(store, calculator);
        if (first) {
            std::printf("saved\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
