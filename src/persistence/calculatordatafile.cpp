#include "persistence/calculatordatafile.h"

#include "persistence/datafileformat.h"

#include <QIODevice>
#include <QtEndian>

#include <bit>
#include <optional>

using namespace DataFileFormat;

namespace {

class ArchiveWriter {
public:
    void int32(qint32 value) { append<qint32>(value); }
    void float64(double value) { append<quint64>(std::bit_cast<quint64>(value)); }

    void string(const QString &text)
    {
        m_bytes.append(reinterpret_cast<const char *>(UnicodeMarker), sizeof UnicodeMarker);
        const quint64 length = quint64(text.size());
        if (length < ByteEscape) {
            append<quint8>(quint8(length));
        } else {
            append<quint8>(ByteEscape);
            if (length < WideWord) {
                append<quint16>(quint16(length));
            } else {
                append<quint16>(WordEscape);
                if (length < DwordEscape) {
                    append<quint32>(quint32(length));
                } else {
                    append<quint32>(DwordEscape);
                    append<quint64>(length);
                }
            }
        }
        for (const QChar c : text)
            append<quint16>(c.unicode());
    }

    QByteArray bytes() const { return m_bytes; }

private:
    template <class T>
    void append(T value)
    {
        char little[sizeof(T)];
        qToLittleEndian(value, little);
        m_bytes.append(little, sizeof little);
    }

    QByteArray m_bytes;
};

// Windows-1252 differs from Latin-1 only from 0x80 to 0x9f; the five codes it leaves
// undefined pass through as the control characters of the same number.
constexpr char16_t Windows1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = quint8(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xa0 ? Windows1252High[byte - 0x80] : byte);
    }
    return text;
}

// Every read answers nothing once the data has run out. A length is only what the file
// claims (a sparse file claims a terabyte on a few kilobytes of disk): the bytes of a
// string are taken in bounded steps as they arrive, so nothing is allocated for more than
// has been read.
class ArchiveReader {
public:
    explicit ArchiveReader(QIODevice &device)
        : m_device(device)
    {
    }

    std::optional<qint32> int32() { return read<qint32>(); }

    std::optional<double> float64()
    {
        const auto bits = read<quint64>();
        return bits ? std::optional(std::bit_cast<double>(*bits)) : std::nullopt;
    }

    std::optional<QString> string()
    {
        bool wide = false;
        const std::optional<quint64> length = lengthPrefix(wide);
        if (!length)
            return std::nullopt;
        const quint64 size = wide ? 2 : 1;
        // No file Korvel reads can hold more; the data must end before.
        if (*length > quint64(MaxFileBytes) / size)
            return std::nullopt;
        const auto bytes = readBytes(qint64(*length * size));
        if (!bytes)
            return std::nullopt;
        if (!wide)
            return fromWindows1252(*bytes);
        QString text(qsizetype(*length), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(bytes->constData() + 2 * i));
        return text;
    }

private:
    // A byte below the escape, or after it a 16-bit word and the escapes to 32 and 64
    // bits. Before the first length, the escape and the word 0xfffe are the Unicode marker
    // of a wide string, and the length follows; after it, that word is a length.
    std::optional<quint64> lengthPrefix(bool &wide)
    {
        const auto byte = read<quint8>();
        if (!byte || *byte != ByteEscape)
            return byte;
        const auto word = read<quint16>();
        if (word && *word == WideWord && !wide) {
            wide = true;
            return lengthPrefix(wide);
        }
        return longLength(word);
    }

    // The length after the escape byte: a 16-bit word, or escapes to 32 and 64 bits.
    std::optional<quint64> longLength(std::optional<quint16> word)
    {
        if (!word || *word != WordEscape)
            return word;
        const auto dword = read<quint32>();
        if (!dword || *dword != DwordEscape)
            return dword;
        return read<quint64>();
    }

    // Exactly `count` bytes, or nothing when the data ends before.
    std::optional<QByteArray> readBytes(qint64 count)
    {
        QByteArray bytes;
        while (bytes.size() < count) {
            const qint64 step = std::min(count - bytes.size(), ReadStep);
            const qsizetype had = bytes.size();
            // Doubling keeps the copies linear in the length.
            if (bytes.capacity() < had + step)
                bytes.reserve(std::max(2 * bytes.capacity(), had + step));
            bytes.resize(had + step);
            if (m_device.read(bytes.data() + had, step) != step)
                return std::nullopt;
        }
        return bytes;
    }

    template <class T>
    std::optional<T> read()
    {
        char little[sizeof(T)];
        if (m_device.read(little, sizeof little) != qint64(sizeof little))
            return std::nullopt;
        return qFromLittleEndian<T>(little);
    }

    QIODevice &m_device;
};

} // namespace

QByteArray writeCalculatorDataFile(const CalculatorState &state)
{
    ArchiveWriter out;
    out.string(state.expression);
    out.int32(qint32(state.history.size()));
    for (const QString &entry : state.history)
        out.string(entry);
    out.int32(qint32(state.memories.size()));
    for (const SavedMemory &memory : state.memories) {
        out.string(memory.name);
        out.float64(memory.value);
        out.string(memory.derivation);
    }
    return out.bytes();
}

ReadState readCalculatorDataFile(QIODevice &device)
{
    ArchiveReader in(device);
    ReadState read;
    // Whatever ends inside a field leaves the items before it for the merge.
    read.end = ReadState::End::Cut;

    const auto text = in.string();
    if (!text)
        return read;
    read.addExpression(*text);

    const auto historyCount = in.int32();
    if (!historyCount)
        return read;
    for (qint32 i = 0; i < *historyCount; ++i) {
        const auto entry = in.string();
        if (!entry)
            return read;
        read.addHistory(*entry);
    }

    const auto memoryCount = in.int32();
    if (!memoryCount)
        return read;
    const qint32 entries = std::min<qint32>(*memoryCount, MaxMemoryEntries);
    for (qint32 i = 0; i < entries; ++i) {
        auto name = in.string();
        const auto value = name ? in.float64() : std::nullopt;
        auto derivation = value ? in.string() : std::nullopt;
        if (!derivation)
            return read;
        read.addMemory({std::move(*name), *value, std::move(*derivation)});
    }
    read.end = ReadState::End::Complete;
    return read;
}
