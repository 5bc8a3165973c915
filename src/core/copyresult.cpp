#include "core/copyresult.h"

#include "core/calculator.h"

void CopyResult(const Calculator &calculator, const Keyboard &keyboard, Clipboard &clipboard)
{
    const QString text = keyboard.shiftHeld() ? calculator.lastExpression() + QStringLiteral(" = ")
                                                    + calculator.lastResult()
                                              : calculator.lastResult();
    if (!text.isEmpty())
        clipboard.setText(text);
}
