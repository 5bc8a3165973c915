// Readable QString values in GoogleTest's messages and test names.
#pragma once

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
