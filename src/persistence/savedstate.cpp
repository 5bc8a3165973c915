#include "persistence/savedstate.h"

#include "core/calculator.h"
#include "core/engine.h"
#include "persistence/settingskeys.h"
#include "persistence/settingsstore.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <vector>

using namespace SettingsKeys;

namespace {

QByteArray encodeValue(double value)
{
    QByteArray bytes(ValueSize, Qt::Uninitialized);
    qToLittleEndian(std::bit_cast<quint64>(value), bytes.data());
    return bytes;
}

// A value of another size or kind cannot be a double written by us. The memory is still
// restored, as 0, so that its name and derivation survive a damaged value.
double decodeValue(const std::optional<QByteArray> &bytes)
{
    if (!bytes || bytes->size() != ValueSize)
        return 0.0;
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes->constData()));
}

bool isAsciiDigits(QStringView text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The positions from pattern.first on, `count` of them, that may have a key in the store,
// in ascending order. A count from a hand-edited or damaged store can be huge while only a
// few keys exist, and walking every position would hold up the start for minutes. Absent
// keys read as empty, so visiting only the positions named by present keys changes
// nothing. Names are matched ignoring letter case and leading zeros, more widely than
// needed; the value is then read under the position's exact key, as a plain walk would.
std::vector<qint64> presentPositions(const SettingsStore &store, const QString &section,
                                     const KeyPattern &pattern, int count)
{
    std::vector<qint64> positions;
    if (count < 1)
        return positions;
    const QString stem = QString::fromUtf16(pattern.stem);
    const qint64 last = qint64(pattern.first) + count - 1;
    for (const QString &name : store.keys(section)) {
        if (!name.startsWith(stem, Qt::CaseInsensitive))
            continue;
        const QStringView digits = QStringView(name).mid(stem.size());
        // No position up to INT_MAX has a key with more than ten digits.
        if (!isAsciiDigits(digits) || digits.size() > 10)
            continue;
        const qint64 position = digits.toLongLong();
        if (position >= pattern.first && position <= last)
            positions.push_back(position);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

// At most EditMaxLength units; a cut between the two halves of a surrogate pair would
// leave half a character, which the store cannot keep, so the cut goes before the pair.
QString cutEditText(const QString &text)
{
    qsizetype length = std::min<qsizetype>(text.size(), EditMaxLength);
    if (length < text.size() && text.at(length - 1).isHighSurrogate()
        && text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

// The saved history entries, the newest first, without the empty ones; duplicates stay.
QStringList RestoreHistory(const SettingsStore &store)
{
    const int count = store.getInt(HistorySection, Count, 0);
    QStringList entries;
    for (const qint64 position : presentPositions(store, HistorySection, HistoryEntry, count)) {
        QString entry = store.getString(HistorySection, key(HistoryEntry, int(position)));
        if (!entry.isEmpty())
            entries.append(std::move(entry));
    }
    return entries;
}

// The saved memories in key order, each to be loaded as it stands.
std::vector<SavedMemory> RestoreMemories(const SettingsStore &store)
{
    std::vector<SavedMemory> memories;
    const int count = store.getInt(MemorySection, Count, 0);
    if (count < 1)
        return memories;
    const std::vector<qint64> positions = presentPositions(store, MemorySection, MemoryName, count);
    memories.reserve(std::min<std::size_t>(positions.size() + 1, Engine::PoolSize + 1));
    qint64 next = MemoryName.first;
    int taken = 0;
    for (const qint64 position : positions) {
        const int k = int(position);
        memories.push_back({store.getString(MemorySection, key(MemoryName, k)),
                            decodeValue(store.getBinary(MemorySection, key(MemoryValue, k))),
                            store.getString(MemorySection, key(MemoryDerivation, k))});
        next = position + 1;
        // A merge finds the load pool full at this entry at the latest, and never looks
        // further; reading on would only make the start slower.
        if (Engine::takesName(memories.back().name) && ++taken > Engine::PoolSize)
            return memories;
    }
    // The entries after the last stored name read as empty names, which the engine
    // refuses without a trace; but when the load pool is full, the first of them ends the
    // restore with the message like any other entry.
    if (next <= qint64(MemoryName.first) + count - 1)
        memories.push_back({});
    return memories;
}

} // namespace

ReadState readSettings(const SettingsStore &store)
{
    ReadState read;
    // The history goes in before the text, so that the text is not replaced by an entry;
    // the text goes in before anything that may show a message.
    read.historyPlace = ReadState::HistoryPlace::Top;
    for (const QString &entry : RestoreHistory(store))
        read.addHistory(entry);
    read.addExpression(store.getString(HistorySection, Edit));
    read.memories = RestoreMemories(store);
    if (!read.memories.empty())
        read.order.push_back({ReadState::Run::Kind::Memory, qsizetype(read.memories.size())});
    return read;
}

void SaveToSettings(SettingsStore &store, const CalculatorState &state)
{
    store.putString(HistorySection, Edit, cutEditText(state.expression));

    // A limit of 0 or below writes no entries, and that limit itself as the count: a
    // negative count restores nothing either.
    const int limit = store.getInt(HistorySection, MaxHistory, DefaultMaxHistory);
    const int written = int(std::min<qsizetype>(state.history.size(), limit));
    store.putInt(HistorySection, Count, written);
    for (int i = 0; i < written; ++i)
        store.putString(HistorySection, key(HistoryEntry, i), state.history.at(i));

    store.putInt(MemorySection, Count, int(state.memories.size()));
    int k = MemoryName.first;
    for (const SavedMemory &memory : state.memories) {
        store.putString(MemorySection, key(MemoryName, k), memory.name);
        store.putBinary(MemorySection, key(MemoryValue, k), encodeValue(memory.value));
        store.putString(MemorySection, key(MemoryDerivation, k), memory.derivation);
        ++k;
    }
}

void startUp(const SettingsStore &store, Calculator &calculator)
{
    calculator.merge(readSettings(store));
}

void closeDown(SettingsStore &store, const Calculator &calculator)
{
    SaveToSettings(store, calculator.state());
    store.sync();
}
