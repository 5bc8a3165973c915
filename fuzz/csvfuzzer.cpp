// The text data file reader fed with any bytes: it ends, keeps no more than the bytes
// hold, and what it read comes back from a save of it, values to 15 digits.
#include "core/numberformat.h"
#include "fuzzsupport.h"
#include "persistence/textdatafile.h"

#include <cstdint>

namespace {

// The state with each value as the file writes it.
QStringList asText(const FuzzCalculator &calc)
{
    const CalculatorState state = calc.calculator.state();
    QStringList lines = stateLines({state.expression, state.history, {}});
    for (const SavedMemory &memory : state.memories)
        lines.append(memory.name + u'=' + formatDecimal(memory.value) + u' ' + memory.derivation);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzCalculator first;
    first.calculator.setExpressionText(QStringLiteral("kept"));
    readBytes(readTextDataFile, bytes, first.calculator);
    qsizetype kept = 0;
    for (const QString &entry : first.calculator.history()->entries())
        kept += entry.size();
    require(kept <= bytes.size(), "kept more text than the file holds");

    const QByteArray saved = writeTextDataFile(first.calculator.state());
    // A line the reader would take in two pieces cannot come back whole; none of the
    // input's texts can make one, but a value written longer than it was read can.
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(saved.constData() + 2), (saved.size() - 2) / 2);
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (line.size() >= 4999)
            return 0;
    }
    FuzzCalculator second;
    readBytes(readTextDataFile, saved, second.calculator);
    requireSame(asText(second), asText(first), "a save and an open changed the state");
    return 0;
}
