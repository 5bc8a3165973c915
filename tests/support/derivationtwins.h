// Two calculators given the same commands: one keeps the parsed form of each derivation,
// the other parses every derivation again at every rebuild. Whatever they are told, their
// memories, derivations, messages, result field and memory list must stay identical. The
// commands come from bytes (a seeded generator or a fuzzer) and draw their names from a
// handful, so that names collide and are deleted, reloaded and redefined.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "support/recordingmessages.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>

class DerivationTwins {
public:
    /// `keptParseBudget` is the budget of the calculator that keeps parsed forms.
    explicit DerivationTwins(std::size_t keptParseBudget)
        : m_budget(keptParseBudget)
        , m_kept(keptParseBudget)
        , m_plain(0)
    {
    }

    /// The most the kept parses were estimated to hold after any command so far.
    std::size_t peakKeptBytes() const { return m_peak; }

    /// Runs the commands in `bytes` on both calculators. Returns both states at the first
    /// command after which they differ, or the kept parses' bytes once they exceed the
    /// budget; an empty string when neither happened.
    QString run(std::span<const std::uint8_t> bytes)
    {
        Reader in{bytes};
        for (int command = 1; !in.atEnd(); ++command) {
            const std::uint8_t op = in.next();
            switch (op % 8) {
            case 0:
            case 1:
            case 2: {
                const QString text = expression(in, op & 0x08 ? "@" : "");
                both([&](Side &s) { s.calculator.calculate(text); });
                break;
            }
            case 3: {
                const int row = in.next();
                both([&](Side &s) { s.calculator.deleteMemories({row % 8}); });
                break;
            }
            case 4:
                both([](Side &s) { s.calculator.setFilter(!s.calculator.filter()); });
                break;
            case 5: {
                // An Open of a file with one memory.
                ReadState read;
                const QString name = this->name(in);
                const double value = in.next() / 4.0;
                read.addMemory(
                    {name, value, in.next() % 2 ? name + u'=' + expression(in, "") : QString()});
                both([&](Side &s) { s.calculator.merge(read); });
                break;
            }
            default:
                both([](Side &s) { s.calculator.refreshAndReport(); });
                break;
            }
            // Compared as they are, and put into words only when they differ: the lines
            // of both states after every command would cost more than the commands.
            if (!m_kept.sameAs(m_plain))
                return QStringLiteral("after command %1: kept {%2}, plain {%3}")
                    .arg(command)
                    .arg(m_kept.state().join(u" | "), m_plain.state().join(u" | "));
            m_peak = std::max(m_peak, m_kept.engine.keptParseBytes());
            if (m_peak > m_budget)
                return QStringLiteral("after command %1: kept parses of %2 bytes, budget %3")
                    .arg(command)
                    .arg(m_peak)
                    .arg(m_budget);
        }
        return {};
    }

private:
    struct Reader {
        std::span<const std::uint8_t> bytes;
        std::size_t at = 0;
        bool atEnd() const { return at >= bytes.size(); }
        std::uint8_t next() { return atEnd() ? 0 : bytes[at++]; }
    };

    struct Side {
        explicit Side(std::size_t budget)
            : engine(budget)
        {
            engine.PrimeParser();
        }
        Engine engine;
        RecordingMessages messages;
        Calculator calculator{engine, messages};

        /// Whether `state()` would give the same lines for both.
        bool sameAs(const Side &other) const
        {
            if (calculator.resultField() != other.calculator.resultField()
                || messages.shown != other.messages.shown
                || engine.createdSlots() != other.engine.createdSlots()
                || engine.loadedSlots() != other.engine.loadedSlots())
                return false;
            const std::vector<MemoryRef> mine = engine.memories(), theirs = other.engine.memories();
            const auto sameMemory = [](const MemoryRef &a, const MemoryRef &b) {
                return a.name == b.name
                       && std::bit_cast<quint64>(*a.slot) == std::bit_cast<quint64>(*b.slot);
            };
            const auto sameRecord = [](const CVariabele &a, const CVariabele &b) {
                return a.name == b.name && a.derivation == b.derivation;
            };
            const auto sameRow = [](const MemoryRow &a, const MemoryRow &b) {
                return a.name == b.name && a.value == b.value && a.derivation == b.derivation;
            };
            const auto &records = engine.derivations(), &otherRecords = other.engine.derivations();
            const auto &rows = calculator.memoryList()->rows();
            const auto &otherRows = other.calculator.memoryList()->rows();
            return std::equal(mine.begin(), mine.end(), theirs.begin(), theirs.end(), sameMemory)
                   && std::equal(records.begin(), records.end(), otherRecords.begin(),
                                 otherRecords.end(), sameRecord)
                   && std::equal(rows.begin(), rows.end(), otherRows.begin(), otherRows.end(),
                                 sameRow);
        }

        QStringList state() const
        {
            QStringList lines{QStringLiteral("result ") + calculator.resultField()};
            for (Message message : messages.shown)
                lines << QStringLiteral("message %1").arg(int(message));
            for (const MemoryRef &memory : engine.memories())
                lines << memory.name + u'='
                             + QString::number(std::bit_cast<quint64>(*memory.slot), 16);
            for (const CVariabele &record : engine.derivations())
                lines << QStringLiteral("record ") + record.name + u' ' + record.derivation;
            for (const MemoryRow &row : calculator.memoryList()->rows())
                lines << QStringLiteral("row ") + row.name + u' ' + row.value + u' '
                             + row.derivation;
            lines << QStringLiteral("slots %1 %2")
                         .arg(engine.createdSlots())
                         .arg(engine.loadedSlots());
            return lines;
        }
    };

    template <class Command>
    void both(Command command)
    {
        command(m_kept);
        command(m_plain);
    }

    QString name(Reader &in)
    {
        static const char *const names[] = {"a", "b", "c", "x", "y"};
        return QString::fromLatin1(names[in.next() % 5]);
    }

    // A name and '=' more often than not, then tokens until a zero byte, eight of them or
    // 160 characters; most texts parse, some do not, and some are long enough to be kept at
    // once.
    QString expression(Reader &in, const char *prefix)
    {
        static const QByteArray longSum = QByteArray("+b*0").repeated(40);
        static const char *const tokens[] = {"a",   "b",   "c",    "x",     "y",
                                             "+",   "-",   "*",    "/",     "^",
                                             "1",   "2,5", "0.5",  "1.000", "1e3",
                                             "(",   ")",   "sin(", "max(",  ";",
                                             "_pi", "=",   "a=",   " ",     longSum.constData()};
        QString text = QString::fromLatin1(prefix);
        if (in.next() % 4 != 0)
            text += name(in) + u'=';
        for (int i = 0; i < 8 && text.size() < 160; ++i) {
            const std::uint8_t token = in.next();
            if (token == 0)
                break;
            text += QString::fromLatin1(tokens[token % std::size(tokens)]);
        }
        return text;
    }

    std::size_t m_budget;
    std::size_t m_peak = 0;
    Side m_kept;
    Side m_plain;
};
