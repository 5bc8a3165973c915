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
    // The characters read, 0 for a refusal, and the value read.
    const std::tuple<std::string, int, double> table[] = {
        {"1.23 ", 0, 0},     {"1.23,4 ", 0, 0},    {"1.000,25e-3 ", 11, 1.00025},
        {"1.23e3 ", 0, 0},   {"1234.567 ", 0, 0},  {"12.345.678)", 10, 12345678.0},
        {"00.000 ", 6, 0.0}, {"0000.000 ", 0, 0},  {"1" + zeros255 + ".000 ", 260, 1e258},
        {".5 ", 0, 0},       {".000 ", 0, 0},      {"1." + zeros259 + " ", 261, 1e259},
        {",5 ", 2, 0.5},     {"1,5 ", 3, 1.5},     {"1" + zeros259 + ".000 ", 0, 0},
        {"1e ", 0, 0},       {"1e+ ", 0, 0},       {"1e-320 ", 6, 1e-320},
        {"2e3 ", 3, 2000.0}, {"2E+3 ", 4, 2000.0}, {"1e400 ", 0, 0},
        {"inf ", 0, 0},      {"nan ", 0, 0},       {"12abc ", 2, 12.0},
        {"12", 0, 0},        {"-0 ", 2, -0.0},     {" \t\n12 ", 5, 12.0},
        {"1,5,5 ", 3, 1.5}};
    for (const auto &[text, consumed, value] : table) {
        int pos = 5;
        double read = -1.25;
        const int accepted = readNumber(text.c_str(), &pos, &read);
        EXPECT_EQ(std::tuple(accepted, pos, std::bit_cast<std::uint64_t>(read)),
                  std::tuple(consumed ? 1 : 0, 5 + consumed,
                             std::bit_cast<std::uint64_t>(consumed ? value : -1.25)))
            << text;
    }
}

} // namespace
