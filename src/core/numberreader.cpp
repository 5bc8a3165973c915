// The library reads a number by streaming a double out of a string stream with its own
// numpunct facet, then asks the stream for its position. This follows that path step by
// step (the standard library's float extraction, its grouping check, its conversion and
// its end-of-text rule) without copying the rest of the expression.
#include "core/numberreader.h"

#include "core/numberformat.h"

#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr char DecimalPoint = ',';
constexpr char ThousandsSep = '.';
// The group size the facet asks for; the standard library keeps group sizes as plain
// chars, so a group of 259 digits counts as one of 3.
constexpr char GroupSize = 3;

bool isBlank(char c)
{
    // The classic "C" character classes, which the facet's locale keeps.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// What the stream's float extraction gathers: the characters the conversion reads (sign,
// digits, '.' for the decimal comma and 'e' with its sign; thousands separators dropped),
// where it stops, and whether the thousands separators stood in whole groups.
struct Extraction {
    std::string collected;
    const char *end = nullptr;
    bool grouped = true;
};

std::optional<Extraction> extract(const char *p)
{
    Extraction read;
    std::string &collected = read.collected;
    if (*p == '+' || *p == '-')
        collected += *p++;

    bool mantissa = false;
    bool decimal = false;
    bool exponent = false;
    // Digits since the last thousands separator; leading zeros count although only the
    // first is kept.
    unsigned run = 0;
    int groups = 0;
    auto closeGroup = [&] {
        // Wraps modulo 256 like the char it is kept in. The first group may be short,
        // compared as a plain char: where char is signed, 128 to 255 digits pass too.
        const char size = static_cast<char>(run);
        read.grouped = read.grouped && (groups == 0 ? size <= GroupSize : size == GroupSize);
        ++groups;
        run = 0;
    };

    for (; *p == '0'; ++p, ++run) {
        if (!mantissa)
            collected += '0';
        mantissa = true;
    }
    for (;; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            collected += c;
            mantissa = true;
            ++run;
        } else if (c == ThousandsSep && !decimal && !exponent) {
            // A separator with no digit before it, first or doubled, voids the whole read.
            if (run == 0)
                return std::nullopt;
            closeGroup();
        } else if (c == DecimalPoint && !decimal && !exponent) {
            if (groups > 0)
                closeGroup();
            collected += '.';
            decimal = true;
        } else if ((c == 'e' || c == 'E') && mantissa && !exponent) {
            if (groups > 0 && !decimal)
                closeGroup();
            collected += 'e';
            exponent = true;
            // The exponent's sign is taken without a look at what follows it.
            if (p[1] == '+' || p[1] == '-')
                collected += *++p;
        } else {
            break;
        }
    }
    if (groups > 0 && !decimal && !exponent)
        closeGroup();
    read.end = p;
    return read;
}

} // namespace

int readNumber(const char *text, int *pos, double *value)
{
    const char *p = text;
    while (isBlank(*p))
        ++p;
    const std::optional<Extraction> read = extract(p);
    // Reaching the end sets the stream's eofbit, and its position is then unknown.
    if (!read || *read->end == '\0' || !read->grouped || read->collected.empty())
        return 0;

    // Only a complete conversion counts ("1e" and "1e+" are not numbers), and an overflow
    // to infinity is refused while an underflow to a denormal or zero is kept.
    const char *digits = read->collected.c_str();
    char *end = nullptr;
    const double number = strtodInCLocale(digits, &end);
    if (end == digits || *end != '\0' || std::isinf(number))
        return 0;
    *pos += static_cast<int>(read->end - text);
    *value = number;
    return 1;
}
