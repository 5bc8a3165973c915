// The channel through which the calculator tells the user about a failure.
// The dialog shows these texts in a message box; tests record them.
#pragma once

#include <QString>

namespace MessageText {
/// Shown when an expression or a derivation cannot be evaluated.
inline const QString CannotEvaluate =
    QStringLiteral("De ingevoerde expressie kan niet worden uitgerekend!");
/// Shown once when a loading run finds the load pool full.
inline const QString MemoryPoolFull = QStringLiteral("Maximaal aantal geheugens bereikt!");
} // namespace MessageText

/// Reports a fixed message to the user and returns once it has been acknowledged.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void warning(const QString &text) = 0;
};
