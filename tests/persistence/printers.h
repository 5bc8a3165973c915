// Readable Qt values in GoogleTest's messages and test names.
#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << (text.size() > 80 ? text.left(80) + "..." : text).toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << "bytes(" << bytes.toHex(' ').toStdString() << ')';
}
