// The layout of the settings store: section and key names, key numbering and limits.
// The names are Dutch in every language, so stores written by any build read back alike.
#pragma once

#include <QString>

#include <algorithm>
#include <string>

namespace SettingsKeys {

/// The expression text and the history.
inline const QString HistorySection = QStringLiteral("Expressies");
/// The memories with their values and derivations.
inline const QString MemorySection = QStringLiteral("Variabelen");

/// A settings file larger than this is no store Korvel wrote: 1,998 memories with
/// derivations of 20,000 characters, each escaped in the file, take less.
inline constexpr qint64 MaxFileBytes = qint64(256) << 20;

/// The expression field's text (string).
inline const QString Edit = QStringLiteral("edit");
/// How many history entries a close writes (integer, only ever read).
inline const QString MaxHistory = QStringLiteral("max_aantal");
/// How many entries of a section were written (integer, in both sections).
inline const QString Count = QStringLiteral("aantal");

/// A numbered key: a stem followed by the position, zero-padded to a minimum width.
struct KeyPattern {
    const char16_t *stem;
    int width;
    int first; ///< the position of the first entry
};

/// History entries, newest first, numbered from 0: combo00, combo99, combo100.
inline constexpr KeyPattern HistoryEntry{u"combo", 2, 0};
/// Memory names, in name order, numbered from 1: naam001, naam999, naam1000.
inline constexpr KeyPattern MemoryName{u"naam", 3, 1};
/// Memory values as 8-byte little-endian IEEE doubles.
inline constexpr KeyPattern MemoryValue{u"waarde", 3, 1};
/// Memory derivations, present and empty for a memory without one.
inline constexpr KeyPattern MemoryDerivation{u"afleiding", 3, 1};

/// The expression text is saved through a buffer of 2048 UTF-16 units, terminator included.
inline constexpr int EditMaxLength = 2047;
/// The history limit when the store holds no "max_aantal".
inline constexpr int DefaultMaxHistory = 30;
/// The size of a stored memory value.
inline constexpr int ValueSize = 8;

/// The key of `pattern` at `position`, like printf's "%02d" or "%03d".
inline QString key(const KeyPattern &pattern, int position)
{
    if (position < 0) {
        return QString::fromUtf16(pattern.stem)
               + QStringLiteral("%1").arg(position, pattern.width, 10, QLatin1Char('0'));
    }
    // Written out by hand: a save and a start build three keys per memory, and through
    // QString::arg the keys cost more than the values they name.
    char16_t digits[10];
    int count = 0;
    for (auto rest = unsigned(position); count == 0 || rest != 0; rest /= 10)
        digits[count++] = char16_t(u'0' + rest % 10);
    const auto stem = std::char_traits<char16_t>::length(pattern.stem);
    QString name(qsizetype(stem) + std::max(count, pattern.width), u'0');
    QChar *out = name.data();
    for (std::size_t i = 0; i < stem; ++i)
        out[i] = QChar(pattern.stem[i]);
    // The digits came least significant first; they fill the name from its end.
    QChar *end = out + name.size();
    for (int i = 0; i < count; ++i)
        *--end = QChar(digits[i]);
    return name;
}

} // namespace SettingsKeys
