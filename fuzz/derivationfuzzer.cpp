// Commands from the fuzzer's bytes on two calculators, one keeping the parsed form of each
// derivation and one parsing every derivation again: they must never differ. Odd first
// bytes give the kept parses a budget that holds only a few, so the fallback runs too. An
// input is read up to its 200th byte, some 60 commands: under the sanitizers a longer run
// takes more than the second an input may take.
#include "fuzzsupport.h"
#include "support/derivationtwins.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    DerivationTwins twins(data[0] % 2 ? 40000 : Engine::DefaultKeptParseBudget);
    const QString difference = twins.run({data + 1, std::min<std::size_t>(size, 200) - 1});
    require(difference.isEmpty(), qPrintable(difference));
    return 0;
}
