// Copying the last result, or with Shift the last expression and its result, to the
// clipboard: the command and the two platform operations it needs.
#pragma once

#include <QString>

class Calculator;

/// The system clipboard, as plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// Makes `text` the clipboard's only content.
    virtual void setText(const QString &text) = 0;
};

/// The keyboard's state at the moment of asking, not at the last input event.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual bool shiftHeld() const = 0;
};

/// Puts the last result text on the clipboard; with Shift held, the last expression text,
/// " = " and the last result text. Both are the calculator's, from the last Calculate,
/// whatever the fields show now. An empty text leaves the clipboard as it was.
void CopyResult(const Calculator &calculator, const Keyboard &keyboard, Clipboard &clipboard);
