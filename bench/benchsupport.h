// What the benchmarks share: the largest state the calculator can hold, a message channel
// that shows nothing, and a file chooser that is always cancelled.
#pragma once

#include "core/engine.h"
#include "core/messages.h"
#include "persistence/datafilecommands.h"

/// 999 loaded memories, each derived from one of 999 memories that expressions made.
inline void fillMemoryTable(Engine &engine)
{
    engine.StartEngine();
    for (int i = 1; i <= Engine::PoolSize; ++i) {
        const QString name = QStringLiteral("load%1").arg(i, 3, 10, QLatin1Char('0'));
        engine.LoadMemory(name, i, name + QStringLiteral(" = made%1 * 2").arg(i));
    }
    // The last creation slot is left for the name the first rebuild meets.
    for (int i = 1; i < Engine::PoolSize; ++i)
        engine.evaluate(QStringLiteral("made%1 = %1").arg(i));
}

class SilentMessages : public Messages {
public:
    void show(Message) override {}
};

class CancelledFileChooser : public FileChooser {
public:
    QString choose(Purpose) override { return {}; }
};
