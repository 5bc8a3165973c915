#include "persistence/filename.h"

#include <QDir>
#include <QFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t EscapeBase = 0xdc00;

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none:
// overlong forms, surrogates and code points beyond U+10FFFF are not valid.
int sequenceLength(const QByteArray &bytes, qsizetype at, char32_t &code)
{
    const auto byte = [&](qsizetype i) { return quint8(bytes[i]); };
    const quint8 lead = byte(at);
    int length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xc2 && lead < 0xe0) {
        length = 2, code = lead & 0x1f, minimum = 0x80;
    } else if (lead >= 0xe0 && lead < 0xf0) {
        length = 3, code = lead & 0x0f, minimum = 0x800;
    } else if (lead >= 0xf0 && lead < 0xf5) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3f);
    }
    if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code < 0xe000))
        return 0;
    return length;
}

} // namespace

#ifdef Q_OS_WIN
// Windows names are UTF-16 already; Qt's own conversion is exact there.
QString fileNameFromBytes(const QByteArray &bytes)
{
    return QFile::decodeName(bytes);
}

QByteArray fileNameBytes(const QString &name)
{
    return QFile::encodeName(name);
}
#else
QString fileNameFromBytes(const QByteArray &bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t code = 0;
        const int length = sequenceLength(bytes, at, code);
        if (length == 0) {
            name.append(QChar(char16_t(EscapeBase + quint8(bytes[at]))));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(code))
            name.append(QChar(QChar::highSurrogate(code))).append(QChar(QChar::lowSurrogate(code)));
        else
            name.append(QChar(char16_t(code)));
        at += length;
    }
    return name;
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;
    // Runs of ordinary text go through Qt's encoder; an escaped byte is put back as it was.
    const auto flush = [&](qsizetype to) {
        if (to > from)
            bytes += QStringView(name).sliced(from, to - from).toUtf8();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool paired = i > 0 && name[i - 1].isHighSurrogate();
        if (unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xff && !paired) {
            flush(i);
            bytes.append(char(unit - EscapeBase));
            from = i + 1;
        }
    }
    flush(name.size());
    return bytes;
}
#endif

QString fileNameFromUrl(const QUrl &url)
{
    if (!url.isValid() || url.scheme() != u"file" || url.hasQuery() || url.hasFragment()
        || !(url.host().isEmpty() || url.host() == u"localhost"))
        return {};
#ifdef Q_OS_UNIX
    // The path holds the name's bytes, percent-encoded; Qt's own decoding would turn bytes
    // that are not UTF-8 into replacement characters, and the file would not open.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const QString name = fileNameFromBytes(bytes);
#else
    const QString name = url.toLocalFile();
    const QByteArray bytes = name.toUtf8();
#endif
    return bytes.contains('\0') || !QDir::isAbsolutePath(name) ? QString() : name;
}

QString fileUrl(const QString &name)
{
#ifdef Q_OS_UNIX
    return u"file://"_s + QString::fromLatin1(fileNameBytes(name).toPercentEncoding("/"));
#else
    return QUrl::fromLocalFile(name).toString(QUrl::FullyEncoded);
#endif
}
