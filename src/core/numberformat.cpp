// Locale-independent number text: std::to_chars never consults LC_NUMERIC, which Qt sets
// from the environment on Unix (a German desktop would otherwise print "0,25" already),
// and reading goes through strtod under a "C" locale of its own.
#include "core/numberformat.h"

#include <charconv>

#include <locale.h>
#include <stdlib.h>

QString formatDecimal(double value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString formatNumber(double value)
{
    return formatDecimal(value).replace(QLatin1Char('.'), QLatin1Char(','));
}

double strtodInCLocale(const char *text, char **end)
{
#ifdef Q_OS_WIN
    static const _locale_t c = _create_locale(LC_ALL, "C");
    return _strtod_l(text, end, c);
#else
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, end, c);
#endif
}

double parseDecimalPrefix(QStringView text)
{
    // Characters beyond Latin-1 cannot belong to a number; '?' ends the reading there.
    return strtodInCLocale(text.toLatin1().constData(), nullptr);
}
