// File names as the system holds them: bytes, which on Linux need not be UTF-8. A name
// read from the command line, a hand-over or a drop keeps every byte, so that it opens
// the file it names, whatever the name's encoding.
#pragma once

#include <QByteArray>
#include <QString>

/// The text of a file name's `bytes`: valid UTF-8 decoded, and each byte that is not part
/// of valid UTF-8 kept as the lone surrogate U+DC00 plus the byte, which no valid text
/// contains.
QString fileNameFromBytes(const QByteArray &bytes);

/// The bytes of a file name made by fileNameFromBytes, or typed as text: the exact inverse
/// of fileNameFromBytes.
QByteArray fileNameBytes(const QString &name);

class QUrl;

/// The name of the local file a `file:` URL names, with the bytes of its path as they are;
/// empty when the URL names anything else: another scheme, another host, a relative path,
/// a query or a fragment, or a NUL.
QString fileNameFromUrl(const QUrl &url);

/// The `file:` URL of the absolute file name `name`, its bytes percent-encoded.
QString fileUrl(const QString &name);
