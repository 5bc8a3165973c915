// The calculator's state saved to and restored from a settings store: the logic against the
// in-memory store, where every key and its kind can be checked, and the QSettings store on
// real INI files. Keys are spelled out as the file layout documents them.
#include "persistence/memorysettingsstore.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"
#include "support/statelines.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <tuple>

using namespace Qt::StringLiterals;
using Entry = std::tuple<QString, QString, MemorySettingsStore::Value>;
/// A memory at position k: name, value (none writes no value key) and derivation.
using Stored = std::tuple<int, QString, std::optional<MemorySettingsStore::Value>, QString>;

const QString H = u"Expressies"_s, M = u"Variabelen"_s;

// The little-endian bytes of `value`, spelled out so that the byte order is checked.
static QByteArray le(double value)
{
    QByteArray bytes;
    for (int i = 0; i < 8; ++i)
        bytes.append(char(std::bit_cast<quint64>(value) >> (8 * i)));
    return bytes;
}

static void fill(SettingsStore &to, std::vector<Entry> entries, const std::vector<Stored> &memories)
{
    for (const auto &[k, name, value, derivation] : memories) {
        entries.emplace_back(M, QString::asprintf("naam%03d", k), name);
        if (value)
            entries.emplace_back(M, QString::asprintf("waarde%03d", k), *value);
        entries.emplace_back(M, QString::asprintf("afleiding%03d", k), derivation);
    }
    for (const auto &[section, key, value] : entries) {
        if (const int *number = std::get_if<int>(&value))
            to.putInt(section, key, *number);
        else if (const QString *text = std::get_if<QString>(&value))
            to.putString(section, key, *text);
        else
            to.putBinary(section, key, std::get<QByteArray>(value));
    }
}

// Restores into a fresh calculator, the way a start does before its rebuild of the list.
static QStringList restore(const SettingsStore &store)
{
    TestCalculator calc;
    calc.calculator.merge(readSettings(store), MergeScope::Items);
    return calc.state();
}

TEST(Restore, ReadsWhatTheCountsCoverAndSkipsWhatTheEngineCannotUse)
{
    // A huge count is not walked position by position: only the keys present are visited.
    std::vector<Entry> entries{{H, "aantal", 3},          {H, "combo00", u"1+1"_s},
                               {H, "combo01", u"2*3"_s},  {H, "combo02", u""_s},
                               {H, "combo03", u"x"_s},    {H, "edit", u"a+1"_s},
                               {M, "aantal", 2147483647}, {M, "naam08", u"x"_s}};
    // Values of any other size or kind read as 0; a refused name is skipped; a name stored
    // twice keeps the later value and both derivation records, the first one first.
    const std::vector<Stored> memories{
        {1, "a", {}, "a = 1"},       {2, "b", le(5.5).left(5), ""}, {3, "c", le(5.5) + 'x', ""},
        {4, "d", u"12345678"_s, ""}, {5, "e", le(5.5), ""},         {6, "1abc", le(6), "x = 6"},
        {7, "a", le(7), "a = 7"},    {1000, "k", le(-0.0), ""},     {2147483647, "z", {}, ""}};
    MemorySettingsStore store, uncounted;
    fill(store, entries, memories);
    // In hex, 401c000000000000 is 7, 4016000000000000 is 5.5 and 8000000000000000 is -0.
    EXPECT_EQ(restore(store),
              QStringList({"edit a+1", "history 1+1", "history 2*3", "a=401c000000000000 a = 1",
                           "b=0", "c=0", "d=0", "e=4016000000000000", "k=8000000000000000", "z=0",
                           "a: a = 1", "a: a = 7", "rows 0"}));
    std::erase_if(entries, [](const Entry &entry) { return std::get<1>(entry) == "aantal"; });
    fill(uncounted, entries, memories);
    EXPECT_EQ(restore(uncounted), QStringList({"edit a+1", "rows 0"}));
}

TEST(Restore, StopsWithOneMessageWhenTheLoadPoolRunsFull)
{
    // One more counted than stored: the position after the last name reads as an empty
    // name, which a pool filled by the last name answers with the message; and a restore
    // that went on past a full pool would meet it there and show the message again.
    for (const int stored : {999, 1000}) {
        MemorySettingsStore store;
        store.putInt(M, "aantal", stored + 1);
        for (int k = 1; k <= stored; ++k)
            store.putString(M, QString::asprintf("naam%03d", k), u"m%1"_s.arg(k));
        // The text, m1 to m999 in name order, and the message once.
        EXPECT_EQ(restore(store).mid(999), QStringList({"m999=0", "rows 0", "MemoryPoolFull"}))
            << stored;
    }
}

TEST(Save, WritesTheNewestHistoryUpToTheLimitAndMemoriesInNameOrder)
{
    CalculatorState state{{}, {}, {{"B", 2, ""}, {"a", 6, "a = B*3"}, {"b", 1, ""}}};
    // {entries, "max_aantal", "aantal" written}; an earlier save left 150 entries.
    const std::tuple<int, std::optional<int>, int> rows[]{
        {45, {}, 30}, {120, 150, 120}, {5, 0, 0}, {5, -3, -3}, {0, {}, 0}};
    for (const auto &[entries, limit, count] : rows) {
        MemorySettingsStore store;
        for (int i = 0; i < 150; ++i)
            store.putString(H, QString::asprintf("combo%02d", i), u"old"_s);
        if (limit)
            store.putInt(H, "max_aantal", *limit);
        MemorySettingsStore expected = store;
        fill(expected, {{H, "edit", u""_s}, {H, "aantal", count}, {M, "aantal", 3}},
             {{1, "B", le(2), ""}, {2, "a", le(6), "a = B*3"}, {3, "b", le(1), ""}});
        state.history.clear();
        for (int i = 0; i < entries; ++i) {
            state.history.append(u"new%1"_s.arg(i));
            if (i < count)
                expected.putString(H, QString::asprintf("combo%02d", i), u"new%1"_s.arg(i));
        }
        SaveToSettings(store, state);
        EXPECT_EQ(store.entries(), expected.entries()) << entries << " entries";
    }
}

// A damaged file gives way to what the close writes, and the next start finds that exactly:
// values whose bytes and texts whose characters need escaping or quoting in the file. A
// folder in the file's place restores nothing and stays; a file as large as a sparse one
// claims is set aside whole.
TEST(QSettingsStore, CalculatorStateRoundTripsExactlyThroughADamagedIniFile)
{
    CalculatorState state;
    // 0.1, -0, 1e300, the smallest denormal, inf, a NaN with a payload, and bytes that need
    // escaping in the file.
    for (const quint64 bits :
         {0x1ULL, 0x3fb999999999999aULL, 0x5c3d2c3b22400a00ULL, 0x7e37e43c8800759cULL,
          0x7ff0000000000000ULL, 0x7ff8000000000123ULL, 0x8000000000000000ULL})
        state.memories.push_back({u"m%1"_s.arg(bits, 0, 16), std::bit_cast<double>(bits),
                                  bits == 1 ? "m1 = 5e-324" : ""});
    state.history = {u"caf\u00e9 \u4e2d \U0001F600"_s, u"@a = 1"_s, u"say \"q\" 'r' \\back\\"_s,
                     u"@ByteArray(12)"_s, u"max(1,2) = 3,5; x"_s};
    // Texts to be cut to 2047 units on save; one with an emoji whose two halves would fall
    // on both sides of the cut, which goes before it.
    const QString repeated = u"a,b;c=\"@\\ \u00e9"_s.repeated(273);
    const std::pair<QString, QString> edits[] = {
        {repeated, repeated.left(2047)},
        {repeated.left(2046) + u"\U0001F600x"_s, repeated.left(2046)},
    };

    const QTemporaryDir dir;
    QFile file(dir.filePath("noise.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (std::mt19937 random(20240611); file.size() < 65536;)
        file.putChar(char(random()));
    file.close();
    QFile sparse(dir.filePath("sparse.ini"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.write("[Expressies]\nedit=x\n")
                && sparse.resize(qint64(1) << 40));
    sparse.close();
    for (const auto &[edit, saved] : edits) {
        for (const QString &path : {file.fileName(), dir.path(), sparse.fileName()}) {
            {
                QSettingsStore store(path);
                EXPECT_NO_THROW(restore(store));
                state.expression = edit;
                EXPECT_NO_THROW(SaveToSettings(store, state));
            }
            state.expression = saved;
            // The store's own file comes back from what this process holds of it, a copy
            // from its text: both give the state back.
            const QString copy =
                dir.filePath(QString::number(edit.size()) + QFileInfo(path).fileName());
            const bool folder = path == dir.path();
            ASSERT_TRUE(folder || QFile::copy(path, copy));
            for (const QString &read : {path, folder ? path : copy}) {
                EXPECT_EQ(restore(QSettingsStore(read)).mid(0, 13),
                          folder ? QStringList({"edit ", "rows 0"}) : stateLines(state));
            }
        }
    }
    EXPECT_EQ(QFileInfo(sparse.fileName() + u".too-large"_s).size(), qint64(1) << 40);
    // Values of another kind read as absent.
    const QSettingsStore store(file.fileName());
    EXPECT_EQ(store.getInt(H, "combo00", -7), -7);
    EXPECT_EQ(store.getString(M, "waarde001", "none"), "none");
    EXPECT_EQ(store.getBinary(H, "combo03"), std::nullopt);
}
