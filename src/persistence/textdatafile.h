// The text data file (.csv): the calculator state as UTF-16LE text with a byte order mark,
// one TAB-separated line per item ("current", "history", "memory"), CR LF line ends.
#pragma once

#include "core/calculator.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>

class QIODevice;

/// The file's bytes for `state`: the "current" line with the expression text, a "history"
/// line per entry in list order, and a "memory" line per memory in name order with its
/// value as "%.15lg" (a full stop in every locale) and its derivation.
QByteArray writeTextDataFile(const CalculatorState &state);

/// The fields of one line: the texts between TABs, each also ended by a line feed, at
/// most ten of them; what follows the tenth is dropped.
QStringList splitFields(QStringView line);

/// What a text data file in `device` holds: its "current", "history" and "memory" lines in
/// file order. A UTF-8 byte order mark is honoured; anything else is read as UTF-16LE.
/// Lines come in pieces of at most 4,999 characters, each handled as a line of its own; a
/// last line without a line feed counts too; unknown lines are ignored. Reading stops at
/// the end of the data, at a read error, or after the memory line at which a merge finds
/// the load pool full at the latest (the 1000th whose name Engine::takesName), and is
/// always complete.
ReadState readTextDataFile(QIODevice &device);
