// Readable texts and message codes in GoogleTest's messages; lists of them print through
// these element by element.
#pragma once

#include "core/platform.h"

#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline const char *messageName(Message message)
{
    switch (message) {
    case Message::CannotEvaluate:
        return "CannotEvaluate";
    case Message::MemoryPoolFull:
        return "MemoryPoolFull";
    case Message::UnexpectedEndOfFile:
        return "UnexpectedEndOfFile";
    case Message::CannotCreate:
        return "CannotCreate";
    case Message::FileTooLarge:
        return "FileTooLarge";
    }
    return "?";
}

inline void PrintTo(Message message, std::ostream *out)
{
    *out << messageName(message);
}
