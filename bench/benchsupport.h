// What the benchmarks share: the largest state the calculator can hold, a message channel
// that shows nothing, and a platform that does nothing.
#pragma once

#include "core/copyresult.h"
#include "core/engine.h"
#include "core/platform.h"
#include "desktop/manual.h"
#include "persistence/datafilecommands.h"

/// 999 loaded memories, each derived from one of 999 memories that expressions made.
inline void fillMemoryTable(Engine &engine)
{
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

// Nothing the benchmarks click reaches the platform.
struct QuietPlatform : FileChooser, Clipboard, Keyboard, DocumentOpener {
    QString choose(Purpose) override { return {}; }
    void setText(const QString &) override {}
    bool shiftHeld() const override { return false; }
    void open(const QString &) override {}
};
