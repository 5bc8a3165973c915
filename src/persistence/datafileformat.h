// The layout of the two data files: the binary Calculator Data File (.cdf) and the
// tab-separated UTF-16 text file (.csv).
#pragma once

#include <QString>

namespace DataFileFormat {

/// The suffix a name typed without one receives.
inline const QString DefaultSuffix = QStringLiteral("cdf");
/// The extension (any letter case) that makes a path a text data file; any other is binary.
inline const QString TextSuffix = QStringLiteral("csv");

/// At most this many memory entries of one file are read; the rest is left unread.
inline constexpr int MaxMemoryEntries = 999;

/// A larger data file is refused before it is read. The largest state Korvel writes in
/// practice (1,998 memories with derivations of 15,000 characters, a 40,000-character
/// expression) takes less than 60 MiB; a larger file is damaged, or sparse, or not a data
/// file at all, and reading it would hold the window for as long as it takes.
inline constexpr qint64 MaxFileBytes = qint64(64) << 20;
/// Strings are read in steps of this many bytes, so that what a length claims is never
/// allocated before the file has shown that it holds it.
inline constexpr qint64 ReadStep = qint64(64) << 10;

// Calculator Data File: little-endian, no header. A string is the Unicode marker, a
// length in UTF-16 units and the units; a length of 255 or more is announced by the escape
// byte, and the longer forms by escape words.
inline constexpr quint8 UnicodeMarker[] = {0xff, 0xfe, 0xff};
inline constexpr quint8 ByteEscape = 0xff;
inline constexpr quint16 WideWord = 0xfffe;        ///< after the escape byte: a wide string
inline constexpr quint16 WordEscape = 0xffff;      ///< a 32-bit length follows
inline constexpr quint32 DwordEscape = 0xffffffff; ///< a 64-bit length follows

// Text data file: UTF-16LE with a byte order mark, TAB-separated, CR LF line ends. A
// reader takes a line in pieces of at most PieceLength characters and splits it into at
// most MaxFields fields.
inline const QString CurrentKeyword = QStringLiteral("current");
inline const QString HistoryKeyword = QStringLiteral("history");
inline const QString MemoryKeyword = QStringLiteral("memory");
inline constexpr char16_t FieldSeparator = u'\t';
inline constexpr int PieceLength = 4999;
inline constexpr int MaxFields = 10;

} // namespace DataFileFormat
