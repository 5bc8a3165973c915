// Numbers as the user reads them (at most 15 significant digits and a decimal comma) and
// as data files keep them (a full stop), whatever the locale of the process.
#pragma once

#include <QString>
#include <QStringView>

/// Formats like printf's "%.15lg" in the "C" locale: at most 15 significant digits and a
/// full stop, as data files keep them.
QString formatDecimal(double value);

/// formatDecimal with every '.' turned into ',', as the user reads numbers.
QString formatNumber(double value);

/// The number at the start of `text`, read as the C library's wcstod reads it in the "C"
/// locale: leading blanks skipped, then the longest prefix that is a number (decimal or
/// hexadecimal, with a full stop, "inf" and "nan" included); 0 when there is none, and an
/// infinity when it is too large for a double.
double parseDecimalPrefix(QStringView text);

/// strtod in the "C" locale, whatever LC_NUMERIC the process was given (Qt takes it from the
/// environment, and a German one would read ',' as the decimal point).
double strtodInCLocale(const char *text, char **end);
