// Locale-independent "%.15lg": std::to_chars never consults LC_NUMERIC, which Qt sets
// from the environment on Unix (a German desktop would otherwise print "0,25" already).
#include "core/numberformat.h"

#include <charconv>

QString formatNumber(double value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}
