// The Calculator Data File (.cdf): the calculator state as a flat little-endian byte
// stream: the expression text, the history, and every memory with its value bit for bit
// and its derivation.
#pragma once

#include "core/calculator.h"

#include <QByteArray>

class QIODevice;

/// The file's bytes for `state`: the expression text, the history in list order and every
/// memory in name order with its derivation.
QByteArray writeCalculatorDataFile(const CalculatorState &state);

/// What a Calculator Data File in `device` holds, in file order: the expression text, the
/// history and at most 999 memory entries. Data that ends inside a field is a cut
/// (ReadState::End::Cut), and every item before it is kept. Strings may be wide (UTF-16) or
/// narrow (Windows-1252). No length or count is trusted, nor what the device says it holds:
/// a string's bytes are taken in steps as they arrive, so a damaged or sparse file
/// allocates no more than was read from it.
ReadState readCalculatorDataFile(QIODevice &device);
