// Readable Qt values and message codes in GoogleTest's messages and test names.
#pragma once

#include "core/platform.h"

#include <QList>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{' << texts.join(u" | ").toStdString() << '}';
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
    }
    return "?";
}

inline void PrintTo(Message message, std::ostream *out)
{
    *out << messageName(message);
}

inline void PrintTo(const QList<Message> &messages, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < messages.size(); ++i)
        *out << (i ? ", " : "") << messageName(messages[i]);
    *out << '}';
}
