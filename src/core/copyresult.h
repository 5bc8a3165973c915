// Copying the last result, or with Shift the last expression and its result, to the
// clipboard.
#pragma once

#include "core/platform.h"

class Calculator;

/// Puts the last result text on the clipboard; with Shift held, the last expression text,
/// " = " and the last result text. Both are the calculator's, from the last Calculate,
/// whatever the fields show now. An empty text leaves the clipboard as it was.
void CopyResult(const Calculator &calculator, const Keyboard &keyboard, Clipboard &clipboard);
