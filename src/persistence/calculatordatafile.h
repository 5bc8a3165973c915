// The Calculator Data File (.cdf): the calculator state as a flat little-endian byte
// stream: the expression text, the history, and every memory with its value bit for bit
// and its derivation.
#pragma once

#include "persistence/datafilemerge.h"

#include <QByteArray>
#include <QString>

class Calculator;
class QIODevice;
struct CalculatorState;

/// The file's bytes for `state`: the expression text, the history in list order and every
/// memory in name order with its derivation.
QByteArray writeCalculatorDataFile(const CalculatorState &state);

/// Reads a Calculator Data File from `device` into `calculator`, applying each item the
/// moment it is read. Strings may be wide (UTF-16) or narrow (Windows-1252). No length or
/// count is trusted, nor what the device says it holds: a string's bytes are taken in steps
/// as they arrive, so a damaged or sparse file allocates no more than was read from it. At
/// most 999 memory entries are read.
ReadOutcome readCalculatorDataFile(QIODevice &device, Calculator &calculator);
