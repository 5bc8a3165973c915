// What the fuzz targets share: a Qt application, a calculator that shows nothing, its whole
// state as lines, and the check that fails a run.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "core/platform.h"
#include "persistence/savedstate.h"
#include "persistence/settingsstore.h"
#include "support/statelines.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <vector>

class QuietMessages : public Messages {
public:
    void show(Message) override {}
};

/// A calculator as the dialog starts it, with an empty store, showing nothing.
struct FuzzCalculator {
    FuzzCalculator() { engine.PrimeParser(); }
    Engine engine;
    QuietMessages messages;
    Calculator calculator{engine, messages};

    /// What a save writes, as lines.
    QStringList saved() const { return stateLines(calculator.state()); }
};

/// The state a start reads from `store`, before the memory list's rebuild evaluates the
/// derivations again (which, done in one pass, may move a value on).
inline QStringList restored(const SettingsStore &store)
{
    FuzzCalculator calc;
    calc.calculator.merge(readSettings(store), MergeScope::Items);
    return calc.saved();
}

/// `saved` as the next start finds it: the close keeps the newest 30 history entries, and
/// the start skips the empty ones.
inline QStringList asClosed(QStringList saved, qsizetype history)
{
    if (history > 30)
        saved.remove(31, history - 30);
    saved.removeAll(QStringLiteral("history "));
    return saved;
}

/// Stops the run with a report when `holds` is false: libFuzzer keeps the input.
inline void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "requirement failed: %s\n", what);
        std::abort();
    }
}

/// Stops the run with the first line where `got` and `expected` differ.
inline void requireSame(const QStringList &got, const QStringList &expected, const char *what)
{
    if (got == expected)
        return;
    for (qsizetype i = 0; i < std::max(got.size(), expected.size()); ++i) {
        if (got.value(i) != expected.value(i)) {
            std::fprintf(stderr, "line %lld: got \"%s\", expected \"%s\"\n",
                         static_cast<long long>(i), qPrintable(got.value(i)),
                         qPrintable(expected.value(i)));
            break;
        }
    }
    require(false, what);
}

// Each target is one file that includes this header: the Qt application it runs in.
//
// A target whose calculator lives across inputs (it defines KORVEL_FUZZ_LONG_LIVED before
// this header) holds more after an input than before it, by design. libFuzzer takes that
// for a possible leak and, for each of its first thousand new inputs, runs the input again
// and scans the whole heap, which costs far more than the fuzzing. Such a target starts
// with -detect_leaks=0 (a flag given by hand still wins); the other targets, which build
// everything per input, keep the check, as does the asan test run.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
#ifdef KORVEL_FUZZ_LONG_LIVED
    static char noLeakCheck[] = "-detect_leaks=0";
    static std::vector<char *> args;
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + 1, noLeakCheck);
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
#else
    (void)argc;
    (void)argv;
#endif
    static int appArgc = 1;
    static char name[] = "korvel_fuzz";
    static char *appArgv[] = {name, nullptr};
    static QCoreApplication app(appArgc, appArgv);
    return 0;
}
