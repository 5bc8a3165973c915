// The number reader on the cases where the library's recogniser surprises: grouping, the
// exponent, words, and the end of the text.
#include "core/numberreader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace {

TEST(NumberReader, ReadsAsTheLibraryDoes)
{
    // Group sizes wrap modulo 256: 256 digits pass as a short first group, 259 as a group
    // of 3, 260 as one of 4.
    const std::string zeros255(255, '0'), zeros259(259, '0');
    const struct {
        std::string text;
        bool accepted;
        int consumed;
        double value;
    } table[] = {{"1,5 ", true, 3, 1.5},
                 {"1.000,25e-3 ", true, 11, 1.00025},
                 {"12.345.678)", true, 10, 12345678.0},
                 {"00.000 ", true, 6, 0.0},
                 {"1234.567 ", false, 0, 0},
                 {"0000.000 ", false, 0, 0},
                 {"1.23 ", false, 0, 0},
                 {"1.23,4 ", false, 0, 0},
                 {"1.23e3 ", false, 0, 0},
                 {".5 ", false, 0, 0},
                 {".000 ", false, 0, 0},
                 {",5 ", true, 2, 0.5},
                 {"1,5,5 ", true, 3, 1.5},
                 {"2e3 ", true, 3, 2000.0},
                 {"2E+3 ", true, 4, 2000.0},
                 {"1e ", false, 0, 0},
                 {"1e+ ", false, 0, 0},
                 {"-0 ", true, 2, -0.0},
                 {" \t\n12 ", true, 5, 12.0},
                 {"inf ", false, 0, 0},
                 {"nan ", false, 0, 0},
                 {"12abc ", true, 2, 12.0},
                 {"1e400 ", false, 0, 0},
                 {"1e-320 ", true, 6, 1e-320},
                 {"12", false, 0, 0},
                 {"1" + zeros255 + ".000 ", true, 260, 1e258},
                 {"1." + zeros259 + " ", true, 261, 1e259},
                 {"1" + zeros259 + ".000 ", false, 0, 0}};
    for (const auto &[text, accepted, consumed, value] : table) {
        int pos = 5;
        double read = -1.25;
        EXPECT_EQ(readNumber(text.c_str(), &pos, &read), accepted ? 1 : 0) << text;
        EXPECT_EQ(pos, 5 + consumed) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read),
                  std::bit_cast<std::uint64_t>(accepted ? value : -1.25))
            << text;
    }
}

} // namespace
