// The channel through which the calculator tells the user about a failure. The core says
// which message it means; the user interface holds the words, tests record the codes.
#pragma once

/// The fixed messages the calculator can show.
enum class Message {
    CannotEvaluate,      ///< an expression or a derivation cannot be evaluated
    MemoryPoolFull,      ///< a loading run found the load pool full; shown once per run
    UnexpectedEndOfFile, ///< a data file ended inside a field; an error, not a warning
    CannotCreate,        ///< a data file could not be written completely
};

/// Reports a fixed message to the user and returns once it has been acknowledged.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void show(Message message) = 0;
};
