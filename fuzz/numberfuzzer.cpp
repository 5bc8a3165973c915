// The number reader against the library's own recogniser on any text: both must accept or
// refuse alike and leave the same position and the same bits (on a refusal, the ones they
// were given).
#include "core/numberreader.h"
#include "fuzzsupport.h"

#include <muParser.h>

#include <bit>
#include <cstdint>
#include <string>

namespace {

struct LibraryReader : mu::Parser {
    using mu::Parser::IsVal;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The separators are process-wide: set them once, as the engine does.
    [[maybe_unused]] static const bool configured = [] {
        mu::Parser parser;
        parser.SetDecSep(',');
        parser.SetThousandsSep('.');
        return true;
    }();

    // Everything up to the first NUL is the text, for both readers alike.
    const std::string text(reinterpret_cast<const char *>(data), size);
    constexpr int start = 7;
    constexpr double untouched = -1.25;
    int ours = start, theirs = start;
    double ourValue = untouched, theirValue = untouched;
    const int accepted = readNumber(text.c_str(), &ours, &ourValue);
    const int expected = LibraryReader::IsVal(text.c_str(), &theirs, &theirValue);
    if (accepted != expected || ours != theirs
        || std::bit_cast<std::uint64_t>(ourValue) != std::bit_cast<std::uint64_t>(theirValue)) {
        std::fprintf(stderr, "\"%s\": reader %d, %d, %a; library %d, %d, %a\n", text.c_str(),
                     accepted, ours, ourValue, expected, theirs, theirValue);
        require(false, "the number reader differs from the library's recogniser");
    }
    return 0;
}
