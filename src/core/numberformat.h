// Numbers as the user reads them: at most 15 significant digits and a decimal comma,
// whatever the locale of the process.
#pragma once

#include <QString>

/// Formats like printf's "%.15lg" in the "C" locale, then turns every '.' into ','.
QString formatNumber(double value);
