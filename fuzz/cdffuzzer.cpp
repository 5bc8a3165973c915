// The Calculator Data File reader fed with any bytes: it ends, keeps no more than the bytes
// hold, and what it read comes back whole from a save of it.
#include "fuzzsupport.h"
#include "persistence/calculatordatafile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzCalculator first;
    readBytes(readCalculatorDataFile, bytes, first.calculator);
    qsizetype kept = first.calculator.expressionText().size();
    for (const QString &entry : first.calculator.history()->entries())
        kept += entry.size();
    require(kept <= bytes.size(), "kept more text than the file holds");

    const QByteArray saved = writeCalculatorDataFile(first.calculator.state());
    FuzzCalculator second;
    require(readBytes(readCalculatorDataFile, saved, second.calculator) == ReadState::End::Complete,
            "a saved file did not read whole");
    requireSame(second.saved(), first.saved(), "a save and an open changed the state");
    return 0;
}
