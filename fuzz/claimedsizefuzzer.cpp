// Both data file readers on a device that claims far more than it holds, as a sparse file
// or a damaged file system does: size() and bytesAvailable() say 1 TiB while read() gives
// the input's bytes and then the end. The first byte chooses the reader (even: .cdf, odd:
// .csv); the rest is the file. Whatever its lengths and counts declare, the reader ends,
// allocates nothing near the claimed size (the run's -malloc_limit_mb catches that) and
// keeps no more text than the bytes hold.
#include "fuzzsupport.h"
#include "persistence/calculatordatafile.h"
#include "persistence/textdatafile.h"

#include <QBuffer>

#include <cstdint>

namespace {

class ClaimingDevice : public QBuffer {
public:
    static constexpr qint64 Claimed = qint64(1) << 40;

    explicit ClaimingDevice(const QByteArray &bytes)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }

    qint64 size() const override { return Claimed; }
    qint64 bytesAvailable() const override { return Claimed - pos(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    ClaimingDevice device(bytes);
    FuzzCalculator calc;
    if (data[0] % 2 == 0)
        readInto(readCalculatorDataFile, device, calc.calculator);
    else
        readInto(readTextDataFile, device, calc.calculator);

    const CalculatorState state = calc.calculator.state();
    qsizetype kept = state.expression.size();
    for (const QString &entry : state.history)
        kept += entry.size();
    for (const SavedMemory &memory : state.memories)
        kept += memory.name.size() + memory.derivation.size();
    require(kept <= bytes.size(), "kept more text than the file holds");
    return 0;
}
