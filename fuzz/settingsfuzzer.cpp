// The start-up fed with any values a settings file or the registry can hand the store:
// it ends, and the state it reached comes back whole when the close writes it and the next
// start reads it again. The input is read as such values in memory and goes through the
// store's own typed reads and writes (VariantSettingsStore); parsing and writing the INI
// file is Qt's, and a file per input would cost more than the rest of the run, so only the
// first eight inputs of a run (the seeds first) also go through real files, written and read
// by QSettings.
#include "fuzzsupport.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <cstdint>

namespace {

/// The values by path, in memory.
class VariantMapStore : public VariantSettingsStore {
public:
    QMap<QString, QVariant> values;

protected:
    QVariant value(const QString &path) const override { return values.value(path); }
    void setValue(const QString &path, const QVariant &value) override
    {
        values.insert(path, value);
    }
    QStringList childKeys(const QString &section) const override
    {
        QStringList names;
        const QString prefix = section + u'/';
        for (auto it = values.lowerBound(prefix); it != values.end(); ++it) {
            if (!it.key().startsWith(prefix))
                break;
            const QStringView name = QStringView(it.key()).sliced(prefix.size());
            if (!name.isEmpty() && !name.contains(u'/'))
                names.append(name.toString());
        }
        return names;
    }
};

// The escapes of an INI value: \0 to \377 in octal, \xHH, and the letters of C.
QByteArray unescaped(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            bytes.append(c);
            continue;
        }
        const char e = text[++i];
        const auto digits = [&](int base, int most) {
            int value = 0, n = 0;
            for (; n < most && i < text.size(); ++n, ++i) {
                const int digit = QByteArrayView("0123456789abcdef").indexOf(char(text[i] | 0x20));
                if (digit < 0 || digit >= base)
                    break;
                value = value * base + digit;
            }
            --i;
            return n ? char(value) : e;
        };
        if (e >= '0' && e <= '7') {
            bytes.append(digits(8, 3));
        } else if (e == 'x') {
            ++i;
            bytes.append(digits(16, 2));
        } else {
            const qsizetype at = QByteArrayView("abfnrtv").indexOf(e);
            bytes.append(at < 0 ? e : "\a\b\f\n\r\t\v"[at]);
        }
    }
    return bytes;
}

// A value as the store may find it: bytes, a kind the registry or "@Variant" gives, a
// quoted text, a list of texts where an unquoted value holds commas, or a text.
QVariant decodedValue(QByteArrayView text)
{
    static const std::pair<QByteArrayView, QMetaType::Type> wrapped[] = {
        {"@ByteArray(", QMetaType::QByteArray},
        {"@Int(", QMetaType::Int},
        {"@UInt(", QMetaType::UInt},
        {"@LongLong(", QMetaType::LongLong},
        {"@ULongLong(", QMetaType::ULongLong},
        {"@Double(", QMetaType::Double},
        {"@Bool(", QMetaType::Bool}};
    for (const auto &[opening, type] : wrapped) {
        if (!text.startsWith(opening) || !text.endsWith(')'))
            continue;
        const QByteArray inner = unescaped(text.sliced(opening.size()).chopped(1));
        switch (type) {
        case QMetaType::QByteArray:
            return inner;
        case QMetaType::Int:
            return inner.toInt();
        case QMetaType::UInt:
            return inner.toUInt();
        case QMetaType::LongLong:
            return inner.toLongLong();
        case QMetaType::ULongLong:
            return inner.toULongLong();
        case QMetaType::Double:
            return inner.toDouble();
        default:
            return !inner.isEmpty();
        }
    }
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return QString::fromUtf8(unescaped(text.sliced(1).chopped(1)));
    const QString plain = QString::fromUtf8(unescaped(text));
    if (!text.contains(','))
        return plain;
    QStringList parts = plain.split(u',');
    for (QString &part : parts)
        part = part.trimmed();
    return parts;
}

// Lines of "[section]" and "key=value", as in an INI file.
void fill(VariantMapStore &store, QByteArrayView input)
{
    QString section;
    for (const QByteArrayView line :
         QByteArray::fromRawData(input.data(), input.size()).split('\n')) {
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            section = QString::fromUtf8(trimmed.sliced(1).chopped(1)).trimmed();
            continue;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = QString::fromUtf8(trimmed.first(equals).trimmed());
        const QString path = section.isEmpty() ? key : section + u'/' + key;
        store.values.insert(path, decodedValue(trimmed.sliced(equals + 1).trimmed()));
    }
}

// The same start, close and start through INI files that QSettings reads and writes.
void checkThroughFiles(QByteArrayView input)
{
    const QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("damaged.conf"));
    const QString written = dir.filePath(QStringLiteral("written.conf"));
    {
        QFile file(damaged);
        require(file.open(QIODevice::WriteOnly), "cannot write the input");
        file.write(input.data(), input.size());
    }
    FuzzCalculator first;
    startUp(QSettingsStore(damaged), first.calculator);
    {
        QSettingsStore store(written);
        closeDown(store, first.calculator);
    }
    requireSame(restored(QSettingsStore(written)),
                asClosed(first.saved(), first.calculator.history()->rowCount()),
                "a close and a start through files changed the state");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    static int throughFiles = 8;
    if (size > 0 && throughFiles > 0) {
        --throughFiles;
        checkThroughFiles(input);
    }

    FuzzCalculator first;
    {
        VariantMapStore damaged;
        fill(damaged, input);
        startUp(damaged, first.calculator);
    }
    VariantMapStore written;
    closeDown(written, first.calculator);
    requireSame(restored(written), asClosed(first.saved(), first.calculator.history()->rowCount()),
                "a close and a start changed the state");
    return 0;
}
