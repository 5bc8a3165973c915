// Commands on one long-lived calculator, as a user gives them, so that memories,
// derivations and both pools fill up across inputs. Each input is a list of commands, one
// per line: the first character chooses the command and the rest is its text. After each
// input, a close and a start from what it wrote give back the same state.
#define KORVEL_FUZZ_LONG_LIVED
#include "fuzzsupport.h"
#include "persistence/datafilecommands.h"
#include "persistence/memorysettingsstore.h"
#include "persistence/savedstate.h"

#include <QBuffer>

#include <cstdint>

namespace {

void checkSaveAndStart(FuzzCalculator &calc)
{
    MemorySettingsStore store;
    closeDown(store, calc.calculator);
    requireSame(restored(store), asClosed(calc.saved(), calc.calculator.history()->rowCount()),
                "a close and a start changed the state");
}

void open(FuzzCalculator &calc, const QByteArray &bytes, bool text)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    calc.calculator.merge(readDataFile(buffer, text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static FuzzCalculator calc;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray rest = line.mid(1);
        switch (line.at(0) % 8) {
        case 0:
        case 1:
        case 2:
            calc.calculator.calculate(QString::fromUtf8(rest));
            break;
        case 3:
            calc.calculator.deleteMemories({rest.isEmpty() ? 0 : quint8(rest.at(0))});
            break;
        case 4:
            calc.calculator.setFilter(!calc.calculator.filter());
            break;
        case 5:
            calc.calculator.clearHistory();
            break;
        case 6:
            open(calc, rest, false);
            break;
        case 7:
            open(calc, QByteArray("\xff\xfe") + rest, true);
            break;
        }
        require(calc.engine.createdSlots() <= Engine::PoolSize, "creation pool overrun");
        require(calc.engine.loadedSlots() <= Engine::PoolSize, "load pool overrun");
    }
    checkSaveAndStart(calc);
    return 0;
}
