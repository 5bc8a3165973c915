// Restoring and saving the calculator's state, against the in-memory store so that every
// key written, and its kind, can be checked.
#include "persistence/settingsfile.h"

#include "core/engine.h"
#include "core/historymodel.h"
#include "persistence/memorysettingsstore.h"
#include "persistence/settingskeys.h"
#include "printers.h"
#include "recordingmessages.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <optional>
#include <set>
#include <vector>

using namespace SettingsKeys;
using namespace Qt::StringLiterals;
using Value = MemorySettingsStore::Value;

namespace {

// Written out byte by byte so that the byte order is checked, not assumed.
QByteArray littleEndian(double value)
{
    const auto bits = std::bit_cast<quint64>(value);
    QByteArray bytes;
    for (int i = 0; i < 8; ++i)
        bytes.append(char((bits >> (8 * i)) & 0xff));
    return bytes;
}

void put(SettingsStore &store, const QString &section, const QString &key, const Value &value)
{
    std::visit(
        [&](const auto &v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, int>)
                store.putInt(section, key, v);
            else if constexpr (std::is_same_v<T, QString>)
                store.putString(section, key, v);
            else
                store.putBinary(section, key, v);
        },
        value);
}

class SettingsLogic : public ::testing::Test {
protected:
    void SetUp() override { engine.StartEngine(); }

    void storeMemory(int k, const QString &name, const std::optional<Value> &value,
                     const QString &derivation = {})
    {
        store.putString(MemorySection, key(MemoryName, k), name);
        if (value)
            put(store, MemorySection, key(MemoryValue, k), *value);
        store.putString(MemorySection, key(MemoryDerivation, k), derivation);
    }
    const Value *stored(const QString &section, const QString &k) const
    {
        return store.find(section, k);
    }

    MemorySettingsStore store;
    Engine engine;
    HistoryModel history;
    RecordingMessages messages;
};

struct HistoryCase {
    const char *name;
    std::vector<std::pair<QString, Value>> stored;
    QStringList expected;
    QString expectedEdit = {};
};

class RestoreHistoryTest : public SettingsLogic,
                           public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(RestoreHistoryTest, ListsStoredEntriesNewestOnTop)
{
    for (const auto &[k, value] : GetParam().stored)
        put(store, HistorySection, k, value);
    EXPECT_EQ(RestoreHistory(store, history), GetParam().expectedEdit);
    EXPECT_EQ(history.entries(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    RestoreHistory, RestoreHistoryTest,
    ::testing::Values(
        HistoryCase{
            "EmptyEntrySkipped",
            {{"aantal", 3}, {"combo00", u"1+1"_s}, {"combo01", u"2*3"_s}, {"combo02", u""_s}},
            {"1+1", "2*3"}},
        HistoryCase{"AbsentEntryLeavesNoGap",
                    {{"aantal", 3}, {"combo00", u"a"_s}, {"combo02", u"c"_s}, {"edit", u"a+1"_s}},
                    {"a", "c"},
                    "a+1"},
        HistoryCase{"NoCount", {{"combo00", u"a"_s}, {"edit", u""_s}}, {}},
        HistoryCase{"NegativeCount", {{"aantal", -2}, {"combo00", u"a"_s}}, {}},
        HistoryCase{"CountOfAnotherKind", {{"aantal", u"2"_s}, {"combo00", u"a"_s}}, {}},
        HistoryCase{"EntriesBeyondCountIgnored",
                    {{"aantal", 1}, {"combo00", u"a"_s}, {"combo01", u"b"_s}},
                    {"a"}},
        HistoryCase{"DuplicatesKept",
                    {{"aantal", 2}, {"combo00", u"x"_s}, {"combo01", u"x"_s}},
                    {"x", "x"}},
        HistoryCase{"EntryOfAnotherKindSkipped",
                    {{"aantal", 2}, {"combo00", 5}, {"combo01", u"b"_s}},
                    {"b"}},
        HistoryCase{"PositionsPast99",
                    {{"aantal", 101}, {"combo99", u"n99"_s}, {"combo100", u"n100"_s}},
                    {"n99", "n100"}},
        HistoryCase{"HugeCountReadsOnlyExactKeys",
                    {{"aantal", INT_MAX},
                     {"combo00", u"first"_s},
                     {"combo7", u"x"_s},
                     {"combo000", u"x"_s},
                     {"COMBO01", u"x"_s},
                     {"combo2147483646", u"last"_s}},
                    {"first", "last"}}),
    [](const auto &info) { return std::string(info.param.name); });

struct SaveHistoryCase {
    const char *name;
    int entries;
    std::optional<int> limit;
    int expectedCount;
};

class SaveHistoryTest : public SettingsLogic,
                        public ::testing::WithParamInterface<SaveHistoryCase> {};

TEST_P(SaveHistoryTest, WritesNewestEntriesUpToLimitAndLeavesOlderKeys)
{
    const SaveHistoryCase &c = GetParam();
    constexpr int staleKeys = 150;
    for (int i = 0; i < staleKeys; ++i)
        store.putString(HistorySection, key(HistoryEntry, i), QStringLiteral("stale%1").arg(i));
    if (c.limit)
        store.putInt(HistorySection, MaxHistory, *c.limit);
    for (int i = c.entries - 1; i >= 0; --i)
        history.insertTop(QStringLiteral("h%1").arg(i));

    SaveToSettings(store, "1+1", history, engine);

    EXPECT_EQ(store.getInt(HistorySection, Count, 12345), c.expectedCount);
    for (int i = 0; i < staleKeys; ++i) {
        EXPECT_EQ(store.getString(HistorySection, key(HistoryEntry, i)),
                  (i < c.expectedCount ? u"h%1"_s : u"stale%1"_s).arg(i))
            << i;
    }
    EXPECT_EQ(stored(HistorySection, MaxHistory) != nullptr, c.limit.has_value());
    EXPECT_EQ(store.getString(HistorySection, Edit), "1+1");
}

INSTANTIATE_TEST_SUITE_P(SaveToSettings, SaveHistoryTest,
                         ::testing::Values(SaveHistoryCase{"DefaultLimit", 45, {}, 30},
                                           SaveHistoryCase{"BelowLimit", 10, {}, 10},
                                           SaveHistoryCase{"RaisedLimitPast100", 120, 150, 120},
                                           SaveHistoryCase{"LimitZero", 5, 0, 0},
                                           SaveHistoryCase{"NegativeLimit", 5, -3, -3},
                                           SaveHistoryCase{"EmptyHistory", 0, {}, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SettingsLogic, SaveAfterClearHistoryWritesZeroAndEditText)
{
    store.putInt(HistorySection, Count, 2);
    history.insertTop("1+1");
    history.clear();
    SaveToSettings(store, "2*3", history, engine);
    EXPECT_EQ(store.getInt(HistorySection, Count, -1), 0);
    EXPECT_EQ(store.getString(HistorySection, Edit, "absent"), "2*3");
}

TEST_F(SettingsLogic, SaveCutsEditTextTo2047Units)
{
    for (const int length : {0, 1, 2047, 2048, 3000}) {
        QString text;
        for (int i = 0; i < length; ++i)
            text.append(QChar(u'a' + i % 26));
        SaveToSettings(store, text, history, engine);
        const Value *edit = stored(HistorySection, Edit);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(*edit, Value(text.left(2047))) << length;
    }
}

TEST_F(SettingsLogic, SaveWritesExactlyItsKeysWithMemoriesInNameOrder)
{
    engine.evaluate("b = 1");
    engine.evaluate("B = 2");
    engine.evaluate("a = B*3");
    engine.RecordDerivation("a", "a = B*3", 6);
    history.insertTop("1+1");

    SaveToSettings(store, "a+b", history, engine);

    const auto entry = [](const QString &section, const QString &k, const Value &value) {
        return std::pair{std::pair{section, k}, value};
    };
    const MemorySettingsStore::Entries expected{
        entry(HistorySection, "edit", u"a+b"_s),
        entry(HistorySection, "aantal", 1),
        entry(HistorySection, "combo00", u"1+1"_s),
        entry(MemorySection, "aantal", 3),
        entry(MemorySection, "naam001", u"B"_s),
        entry(MemorySection, "waarde001", littleEndian(2)),
        entry(MemorySection, "afleiding001", u""_s),
        entry(MemorySection, "naam002", u"a"_s),
        entry(MemorySection, "waarde002", littleEndian(6)),
        entry(MemorySection, "afleiding002", u"a = B*3"_s),
        entry(MemorySection, "naam003", u"b"_s),
        entry(MemorySection, "waarde003", littleEndian(1)),
        entry(MemorySection, "afleiding003", u""_s),
    };
    EXPECT_EQ(store.entries(), expected);
}

TEST_F(SettingsLogic, SaveWritesFirstDerivationAndSkipsRemovedMemories)
{
    engine.RecordDerivation("a", "a = 1", 1);
    ASSERT_EQ(engine.LoadMemory("a", 2, "a = 2"), LoadResult::Loaded);
    engine.evaluate("gone = 4");
    engine.RemoveMemory("gone");

    SaveToSettings(store, {}, history, engine);

    EXPECT_EQ(store.getInt(MemorySection, Count, -1), 1);
    EXPECT_EQ(store.getString(MemorySection, "naam001"), "a");
    EXPECT_EQ(store.getBinary(MemorySection, "waarde001"), littleEndian(2));
    EXPECT_EQ(store.getString(MemorySection, "afleiding001"), "a = 1");
}

TEST_F(SettingsLogic, RestoreMemoriesLoadsValuesAndDerivations)
{
    store.putInt(MemorySection, Count, 3);
    storeMemory(1, "B", littleEndian(2));
    storeMemory(2, "a", littleEndian(6), "a = B*3");
    store.putString(MemorySection, "naam003", "b"); // no derivation key at all
    store.putBinary(MemorySection, "waarde003", littleEndian(-1.5));

    RestoreMemories(store, engine, messages);

    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(engine.memories().size(), 3u);
    EXPECT_EQ(*engine.memory("B"), 2.0);
    EXPECT_EQ(*engine.memory("a"), 6.0);
    EXPECT_EQ(*engine.memory("b"), -1.5);
    ASSERT_EQ(engine.derivations().size(), 1u);
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = B*3");
    EXPECT_EQ(engine.FindDerivation("a")->value, 6.0);
}

TEST_F(SettingsLogic, RestoreLoadsDuplicateNameTwiceAndKeepsFirstDerivation)
{
    store.putInt(MemorySection, Count, 2);
    storeMemory(1, "a", littleEndian(1), "a = 1");
    storeMemory(2, "a", littleEndian(2), "a = 2");
    RestoreMemories(store, engine, messages);
    EXPECT_EQ(engine.loadedSlots(), 2);
    EXPECT_EQ(*engine.memory("a"), 2.0);
    EXPECT_EQ(engine.derivations().size(), 2u);
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = 1");
}

TEST_F(SettingsLogic, RestoreWithHugeCountReadsOnlyExactKeys)
{
    store.putInt(MemorySection, Count, INT_MAX);
    storeMemory(1, "a", littleEndian(1));
    storeMemory(INT_MAX, "z", littleEndian(26));
    for (const char *odd : {"NAAM002", "naam02", "naam0003"})
        store.putString(MemorySection, odd, "odd");
    RestoreMemories(store, engine, messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(engine.memories().size(), 2u);
    EXPECT_EQ(*engine.memory("a"), 1.0);
    EXPECT_EQ(*engine.memory("z"), 26.0);
}

struct ValueCase {
    const char *name;
    std::optional<Value> stored;
    double expected;
};

class RestoreValueTest : public SettingsLogic, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(RestoreValueTest, RestoresExactlyEightBytesAndOtherwiseZero)
{
    store.putInt(MemorySection, Count, 1);
    storeMemory(1, "m", GetParam().stored, "m = 7");
    RestoreMemories(store, engine, messages);
    ASSERT_NE(engine.memory("m"), nullptr);
    EXPECT_EQ(std::bit_cast<quint64>(*engine.memory("m")),
              std::bit_cast<quint64>(GetParam().expected));
    ASSERT_NE(engine.FindDerivation("m"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(RestoreMemories, RestoreValueTest,
                         ::testing::Values(ValueCase{"Absent", {}, 0.0},
                                           ValueCase{"NoBytes", QByteArray(), 0.0},
                                           ValueCase{"FiveBytes", littleEndian(5.5).left(5), 0.0},
                                           ValueCase{"EightBytes", littleEndian(5.5), 5.5},
                                           ValueCase{"NegativeZero", littleEndian(-0.0), -0.0},
                                           ValueCase{"NineBytes", littleEndian(5.5) + 'x', 0.0},
                                           ValueCase{"Text", QString("12345678"), 0.0},
                                           ValueCase{"Integer", 7, 0.0}),
                         [](const auto &info) { return std::string(info.param.name); });

class RestoreRefusedNameTest : public SettingsLogic,
                               public ::testing::WithParamInterface<QString> {};

TEST_P(RestoreRefusedNameTest, SkipsEntryAndRestoresTheRest)
{
    store.putInt(MemorySection, Count, 3);
    storeMemory(1, "first", littleEndian(1), "first = 1");
    storeMemory(2, GetParam(), littleEndian(2), "x = 2");
    storeMemory(3, "third", littleEndian(3));
    RestoreMemories(store, engine, messages);

    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(engine.loadedSlots(), 2);
    ASSERT_EQ(engine.memories().size(), 2u);
    EXPECT_EQ(*engine.memory("third"), 3.0);
    ASSERT_EQ(engine.derivations().size(), 1u);
    EXPECT_EQ(engine.derivations().front().name, "first");
}

INSTANTIATE_TEST_SUITE_P(RestoreMemories, RestoreRefusedNameTest,
                         ::testing::Values(QString(), QString("1abc"), QString("a b"),
                                           QString("_pi"), QString(101, u'x'),
                                           QString::fromUtf8("caf\u00e9"), QString("a-b")));

struct PoolCase {
    int stored;
    int count;
    bool full;
};

class RestorePoolTest : public SettingsLogic, public ::testing::WithParamInterface<PoolCase> {};

TEST_P(RestorePoolTest, StopsOnceThePoolIsFull)
{
    const PoolCase &c = GetParam();
    store.putInt(MemorySection, Count, c.count);
    for (int k = 1; k <= c.stored; ++k)
        storeMemory(k, QStringLiteral("m%1").arg(k), littleEndian(k));

    RestoreMemories(store, engine, messages);

    EXPECT_EQ(messages.shown, c.full ? QStringList{MessageText::MemoryPoolFull} : QStringList{});
    const int loaded = std::min(c.stored, Engine::PoolSize);
    EXPECT_EQ(engine.loadedSlots(), loaded);
    EXPECT_EQ(*engine.memory(QStringLiteral("m%1").arg(loaded)), double(loaded));
    EXPECT_EQ(engine.memory("m1000"), nullptr);
}

// A count beyond the stored entries still meets the full pool at the first missing one.
INSTANTIATE_TEST_SUITE_P(RestoreMemories, RestorePoolTest,
                         ::testing::Values(PoolCase{999, 999, false}, PoolCase{1000, 1000, true},
                                           PoolCase{1005, 1005, true}, PoolCase{999, 1000, true},
                                           PoolCase{998, INT_MAX, false},
                                           PoolCase{999, INT_MAX, true}));

TEST_F(SettingsLogic, RefusedNameLeavesRoomFor1000thMemory)
{
    store.putInt(MemorySection, Count, 1000);
    for (int k = 1; k <= 1000; ++k)
        storeMemory(k, (k == 5 ? u"%1five"_s : u"m%1"_s).arg(k), littleEndian(k));
    RestoreMemories(store, engine, messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(engine.loadedSlots(), 999);
    ASSERT_NE(engine.memory("m1000"), nullptr);
    EXPECT_EQ(*engine.memory("m1000"), 1000.0);
}

TEST_F(SettingsLogic, SavesAllMemoriesPast999AndRestoresThe999First)
{
    for (int i = 1; i <= Engine::PoolSize; ++i) {
        engine.evaluate(QStringLiteral("c%1 = %1").arg(i));
        ASSERT_EQ(engine.LoadMemory(QStringLiteral("l%1").arg(i), -i, QString()),
                  LoadResult::Loaded);
    }
    SaveToSettings(store, {}, history, engine);

    ASSERT_EQ(store.getInt(MemorySection, Count, -1), 1998);
    std::set<QString> names;
    QString previous;
    for (int k = 1; k <= 1998; ++k) {
        const QString name = store.getString(MemorySection, key(MemoryName, k));
        ASSERT_LT(previous, name) << k;
        const double value = name.mid(1).toInt() * (name.startsWith('l') ? -1 : 1);
        EXPECT_EQ(store.getBinary(MemorySection, key(MemoryValue, k)), littleEndian(value));
        names.insert(name);
        previous = name;
    }
    EXPECT_EQ(names.size(), 1998u);
    EXPECT_NE(stored(MemorySection, "naam1000"), nullptr);
    EXPECT_EQ(stored(MemorySection, "naam1999"), nullptr);

    Engine next;
    next.StartEngine();
    RestoreMemories(store, next, messages);
    EXPECT_EQ(messages.shown, QStringList{MessageText::MemoryPoolFull});
    EXPECT_NE(next.memory(store.getString(MemorySection, "naam999")), nullptr);
    EXPECT_EQ(next.memory(store.getString(MemorySection, "naam1000")), nullptr);
}

// Like the registry, finds a key whatever the letter case it was stored with.
class CaseBlindStore : public MemorySettingsStore {
public:
    QString getString(const QString &section, const QString &key,
                      const QString &defaultValue) const override
    {
        for (const QString &stored : keys(section)) {
            if (stored.compare(key, Qt::CaseInsensitive) == 0)
                return MemorySettingsStore::getString(section, stored, defaultValue);
        }
        return defaultValue;
    }
};

TEST(RestoreFromCaseBlindStore, FindsKeysInAnyLetterCase)
{
    CaseBlindStore store;
    store.putInt(HistorySection, Count, 2);
    store.putString(HistorySection, "COMBO00", "a");
    store.putString(HistorySection, "Combo01", "b");
    store.putInt(MemorySection, Count, 1);
    store.putString(MemorySection, "NAAM001", "x");
    HistoryModel history;
    Engine engine;
    RecordingMessages messages;
    engine.StartEngine();
    RestoreHistory(store, history);
    RestoreMemories(store, engine, messages);
    EXPECT_EQ(history.entries(), QStringList({"a", "b"}));
    EXPECT_NE(engine.memory("x"), nullptr);
}

} // namespace
