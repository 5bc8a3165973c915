// What the fuzz targets share: a Qt application, a calculator that shows nothing, a way
// to read its whole state, and the check that fails a run.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "core/messages.h"
#include "persistence/datafilemerge.h"
#include "persistence/settingsfile.h"
#include "persistence/settingsstore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QStringList>

#include <bit>
#include <cstdio>
#include <cstdlib>

class QuietMessages : public Messages {
public:
    void show(Message) override {}
};

/// A calculator as the dialog starts it, with an empty store.
struct FuzzCalculator {
    FuzzCalculator()
    {
        engine.StartEngine();
        engine.PrimeParser();
        QObject::connect(&calculator, &Calculator::expressionFieldSet,
                         [this](const QString &text) { field = text; });
    }
    Engine engine;
    QuietMessages messages;
    Calculator calculator{engine, messages};
    QString field;

    /// The expression text, the history, every memory with its value's bits and the
    /// derivation that counts for it: what a save writes.
    QStringList saved() const
    {
        QStringList lines{QStringLiteral("edit ") + field};
        for (const QString &entry : const_cast<Calculator &>(calculator).history()->entries())
            lines.append(QStringLiteral("history ") + entry);
        for (const MemoryRef &memory : engine.memories()) {
            const CVariabele *record = engine.FindDerivation(memory.name);
            lines.append(memory.name + u'='
                         + QString::number(std::bit_cast<quint64>(*memory.slot), 16) + u' '
                         + (record ? record->derivation : QString()));
        }
        return lines;
    }
};

/// The state a start reads from `store`, before the memory list's rebuild evaluates the
/// derivations again (which, done in one pass, may move a value on).
inline QStringList restored(const SettingsStore &store)
{
    FuzzCalculator calc;
    calc.field = RestoreHistory(store, *calc.calculator.history());
    RestoreMemories(store, calc.engine, calc.messages);
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

/// Reads `bytes` as a data file into `into` with `reader`, one of the two file readers.
template <class Reader>
ReadOutcome readData(Reader reader, const QByteArray &bytes, FuzzCalculator &into)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return reader(buffer, into.calculator);
}

// Each target is one file that includes this header: the Qt application it runs in.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "korvel_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return 0;
}
