#include "persistence/savedstate.h"

#include "core/calculator.h"
#include "core/historymodel.h"
#include "core/platform.h"
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

} // namespace

QString RestoreHistory(const SettingsStore &store, HistoryModel &history)
{
    const int count = store.getInt(HistorySection, Count, 0);
    const std::vector<qint64> positions =
        presentPositions(store, HistorySection, HistoryEntry, count);
    // The oldest goes in first and each newer one above it, so combo00 ends on top.
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        const QString entry = store.getString(HistorySection, key(HistoryEntry, int(*it)));
        if (!entry.isEmpty())
            history.insertTop(entry);
    }
    return store.getString(HistorySection, Edit);
}

void RestoreMemories(const SettingsStore &store, Calculator &calculator)
{
    const int count = store.getInt(MemorySection, Count, 0);
    if (count < 1)
        return;
    const auto load = [&](const QString &name, double value, const QString &derivation) {
        if (calculator.LoadMemory(name, value, derivation) != LoadResult::PoolFull)
            return true;
        calculator.report(Message::MemoryPoolFull);
        return false;
    };

    qint64 next = MemoryName.first;
    for (const qint64 position : presentPositions(store, MemorySection, MemoryName, count)) {
        const int k = int(position);
        const QString name = store.getString(MemorySection, key(MemoryName, k));
        const double value = decodeValue(store.getBinary(MemorySection, key(MemoryValue, k)));
        const QString derivation = store.getString(MemorySection, key(MemoryDerivation, k));
        if (!load(name, value, derivation))
            return;
        next = position + 1;
    }
    // The entries after the last stored name read as empty names, which the engine
    // refuses without a trace; but when the load pool is full, the first of them ends the
    // restore with the message like any other entry.
    if (next <= qint64(MemoryName.first) + count - 1)
        load(QString(), 0.0, QString());
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
    // The history goes in before the text, so that the text is not replaced by an entry;
    // the text goes in before anything that may show a message.
    const QString text = RestoreHistory(store, *calculator.history());
    calculator.setExpressionField(text, EditSelection::All);
    RestoreMemories(store, calculator);
    calculator.primeAndRefresh();
}

void closeDown(SettingsStore &store, const Calculator &calculator)
{
    SaveToSettings(store, calculator.state());
    store.sync();
}
