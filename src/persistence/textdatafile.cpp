#include "persistence/textdatafile.h"

#include "core/engine.h"
#include "core/numberformat.h"
#include "persistence/datafileformat.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

using namespace DataFileFormat;

namespace {

constexpr char Utf16Mark[] = "\xff\xfe";
constexpr char Utf8Mark[] = "\xef\xbb\xbf";

// Hands out the text of a file in the pieces a line-based reader with a buffer of 5,000
// characters sees: up to and including a line feed, or 4,999 characters, whichever comes
// first. CR LF arrives as a single line feed, as through a text-mode file.
class PieceReader {
public:
    explicit PieceReader(QIODevice &device)
        : m_device(device)
    {
        const QByteArray head = device.peek(3);
        auto encoding = QStringConverter::Utf16LE;
        if (head.startsWith(Utf8Mark)) {
            device.skip(3);
            encoding = QStringConverter::Utf8;
        } else if (head.startsWith(Utf16Mark)) {
            device.skip(2);
        }
        // Only the mark just skipped is one; a second is a character of the text.
        m_decoder = QStringDecoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    }

    std::optional<QString> next()
    {
        for (;;) {
            const qsizetype feed = m_pending.indexOf(u'\n');
            if (feed >= 0 && feed < PieceLength)
                return take(feed + 1);
            // A CR at the end of what was read may yet become half of a CR LF.
            const bool open = !m_atEnd && m_pending.endsWith(u'\r');
            if (m_pending.size() > PieceLength || (m_pending.size() == PieceLength && !open))
                return take(PieceLength);
            if (m_atEnd && m_pending.isEmpty())
                return std::nullopt;
            if (m_atEnd)
                return take(m_pending.size());
            fill();
        }
    }

private:
    QString take(qsizetype length)
    {
        QString piece = m_pending.left(length);
        m_pending.remove(0, length);
        return piece;
    }

    // A read error ends the text as the end of the data does, so reading always stops.
    void fill()
    {
        char buffer[16384];
        const qint64 count = m_device.read(buffer, sizeof buffer);
        if (count > 0)
            m_pending += m_decoder.decode(QByteArrayView(buffer, count));
        else
            m_atEnd = true;
        m_pending.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    QIODevice &m_device;
    QStringDecoder m_decoder;
    QString m_pending;
    bool m_atEnd = false;
};

} // namespace

QByteArray writeTextDataFile(const CalculatorState &state)
{
    const QChar tab(FieldSeparator);
    QString text = CurrentKeyword + tab + state.expression + u'\n';
    for (const QString &entry : state.history)
        text += HistoryKeyword + tab + entry + u'\n';
    for (const SavedMemory &memory : state.memories) {
        text += MemoryKeyword + tab + memory.name + tab + formatDecimal(memory.value) + tab
                + memory.derivation + u'\n';
    }
    // Text-mode files store every line feed as CR LF, one inside a text too.
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray(Utf16Mark, 2) + QByteArray(encoder.encode(text));
}

QStringList splitFields(QStringView line)
{
    QStringList fields;
    qsizetype start = 0;
    while (start < line.size() && fields.size() < MaxFields) {
        qsizetype end = start;
        while (end < line.size() && line[end] != FieldSeparator && line[end] != u'\n')
            ++end;
        fields.append(line.sliced(start, end - start).toString());
        start = end + 1;
    }
    return fields;
}

ReadState readTextDataFile(QIODevice &device)
{
    PieceReader pieces(device);
    ReadState read;
    int taken = 0;
    while (const std::optional<QString> line = pieces.next()) {
        const QStringList fields = splitFields(*line);
        const QString keyword = fields.value(0);
        if (keyword == CurrentKeyword) {
            read.addExpression(fields.value(1));
        } else if (keyword == HistoryKeyword) {
            read.addHistory(fields.value(1));
        } else if (keyword == MemoryKeyword) {
            const double value = parseDecimalPrefix(fields.value(2));
            read.addMemory({fields.value(1), value, fields.value(3)});
            // A merge finds the load pool full at this line at the latest and applies
            // nothing after it, so the rest need not be read nor held.
            if (Engine::takesName(fields.value(1)) && ++taken > Engine::PoolSize)
                break;
        }
    }
    return read;
}
