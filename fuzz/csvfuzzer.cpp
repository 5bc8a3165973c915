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
    QStringList lines{QStringLiteral("edit ") + calc.field};
    for (const QString &entry : const_cast<Calculator &>(calc.calculator).history()->entries())
        lines.append(QStringLiteral("history ") + entry);
    for (const MemoryRef &memory : calc.engine.memories()) {
        const CVariabele *record = calc.engine.FindDerivation(memory.name);
        lines.append(memory.name + u'=' + formatDecimal(*memory.slot) + u' '
                     + (record ? record->derivation : QString()));
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzCalculator first;
    first.field = QStringLiteral("kept");
    readData(readTextDataFile, bytes, first);
    qsizetype kept = 0;
    for (const QString &entry : first.calculator.history()->entries())
        kept += entry.size();
    require(kept <= bytes.size(), "kept more text than the file holds");

    const QByteArray saved =
        writeTextDataFile(first.field, *first.calculator.history(), first.engine);
    // A line the reader would take in two pieces cannot come back whole; none of the
    // input's texts can make one, but a value written longer than it was read can.
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(saved.constData() + 2), (saved.size() - 2) / 2);
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (line.size() >= 4999)
            return 0;
    }
    FuzzCalculator second;
    readData(readTextDataFile, saved, second);
    requireSame(asText(second), asText(first), "a save and an open changed the state");
    return 0;
}
