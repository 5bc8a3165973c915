// The QSettings store against real INI files in a temporary folder: exact round trips,
// files edited by hand or damaged, the user's store location, and the whole calculator
// state saved and restored through a file.
#include "persistence/qsettingsstore.h"

#include "core/engine.h"
#include "core/historymodel.h"
#include "persistence/settingsfile.h"
#include "printers.h"
#include "recordingmessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <optional>
#include <random>

using namespace Qt::StringLiterals;

namespace {

class QSettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath("korvel.ini"); }
    void writeFile(const QByteArray &content) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private:
    QTemporaryDir m_dir;
};

class QSettingsStringTest : public QSettingsStoreTest,
                            public ::testing::WithParamInterface<QString> {};

TEST_P(QSettingsStringTest, RoundTripsExactlyThroughTheFile)
{
    {
        QSettingsStore store(path());
        store.putString("Expressies", "combo00", GetParam());
    }
    ASSERT_TRUE(QFileInfo::exists(path()));
    const QSettingsStore reopened(path());
    EXPECT_EQ(reopened.getString("Expressies", "combo00", "absent"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(QSettingsStore, QSettingsStringTest,
                         ::testing::Values(u""_s, u"max(1,2)"_s, u"3,5"_s, u" a = 1 "_s, u"a=b=c"_s,
                                           u"1;2;x"_s, u"say \"q\" 'r'"_s, u"\\back\\slash\\"_s,
                                           u"@a = 3*4"_s, u"@@"_s, u"@ByteArray(12)"_s,
                                           u"@Invalid()"_s, u"[Variabelen]"_s,
                                           u"#; not a comment"_s, u"tab\there\r\nline"_s,
                                           u"caf\u00e9 \u4e2d \U0001F600"_s,
                                           u"nul"_s + QChar(u'\0') + u"in"_s,
                                           u"a,b;c=\"@\\ \u00e9"_s.repeated(20000)));

TEST_F(QSettingsStoreTest, IntegersAndBlobsRoundTripExactly)
{
    const std::vector<int> numbers{0, 1, -1, 30, INT_MIN, INT_MAX};
    std::vector<QByteArray> blobs{QByteArray(), QByteArray(100000, '\xff')};
    for (int first = 0; first < 256; first += 8) {
        QByteArray eight;
        for (int b = first; b < first + 8; ++b)
            eight.append(char(b));
        blobs.push_back(eight);
    }
    {
        QSettingsStore store(path());
        for (std::size_t i = 0; i < numbers.size(); ++i)
            store.putInt("S", QStringLiteral("n%1").arg(i), numbers[i]);
        for (std::size_t i = 0; i < blobs.size(); ++i)
            store.putBinary("S", QStringLiteral("b%1").arg(i), blobs[i]);
    }
    const QSettingsStore reopened(path());
    for (std::size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(reopened.getInt("S", QStringLiteral("n%1").arg(i), 99), numbers[i]);
    for (std::size_t i = 0; i < blobs.size(); ++i)
        EXPECT_EQ(reopened.getBinary("S", QStringLiteral("b%1").arg(i)), blobs[i]) << i;
    EXPECT_EQ(reopened.keys("S").size(), qsizetype(numbers.size() + blobs.size()));
    EXPECT_EQ(reopened.getInt("S", "absent", 99), 99);
    EXPECT_EQ(reopened.getString("S", "absent", "dflt"), "dflt");
    EXPECT_EQ(reopened.getBinary("S", "absent"), std::nullopt);
    EXPECT_TRUE(reopened.keys("Other").isEmpty());
}

struct RawCase {
    const char *name;
    const char *raw;
    int asInt;
    QString asString;
    std::optional<QByteArray> asBinary;
};

class QSettingsRawTest : public QSettingsStoreTest,
                         public ::testing::WithParamInterface<RawCase> {};

TEST_P(QSettingsRawTest, ReadsHandEditedValuesByKind)
{
    writeFile("[S]\nv=" + QByteArray(GetParam().raw) + "\n");
    const QSettingsStore store(path());
    EXPECT_EQ(store.getInt("S", "v", -7), GetParam().asInt);
    EXPECT_EQ(store.getString("S", "v", "dflt"), GetParam().asString);
    EXPECT_EQ(store.getBinary("S", "v"), GetParam().asBinary);
}

INSTANTIATE_TEST_SUITE_P(
    QSettingsStore, QSettingsRawTest,
    ::testing::Values(
        RawCase{"Integer", "42", 42, u"42"_s, {}},
        RawCase{"Smallest", "-2147483648", INT_MIN, u"-2147483648"_s, {}},
        RawCase{"TooLarge", "2147483648", -7, u"2147483648"_s, {}},
        RawCase{"Hex", "0x10", -7, u"0x10"_s, {}}, RawCase{"Fraction", "2.5", -7, u"2.5"_s, {}},
        RawCase{"Word", "abc", -7, u"abc"_s, {}}, RawCase{"Empty", "", -7, u""_s, {}},
        RawCase{"Quoted", "\"12\"", 12, u"12"_s, {}},
        RawCase{"Commas", "a = 3,5 * max(1, 2)", -7, u"a = 3,5 * max(1,2)"_s, {}},
        RawCase{"Bytes", "@ByteArray(1234\\0\\xff-.)", -7, u"dflt"_s,
                QByteArray("1234\0\xff-.", 8)},
        RawCase{"Invalid", "@Invalid()", -7, u"dflt"_s, {}},
        RawCase{"Rect", "@Rect(1 2 3 4)", -7, u"dflt"_s, {}},
        RawCase{"UnknownVariant", "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3QSt)", -7, u"dflt"_s, {}},
        RawCase{"OversizedList", "@Variant(\\0\\0\\0\\xb\\0\\xff\\xff\\xff\\xf0)", -7, u""_s, {}}),
    [](const auto &info) { return std::string(info.param.name); });

enum class Damage {
    RandomBytes,
    BinaryFile,
    Truncated,
    Directory
};

class QSettingsDamageTest : public QSettingsStoreTest,
                            public ::testing::WithParamInterface<Damage> {
protected:
    void damage() const
    {
        switch (GetParam()) {
        case Damage::RandomBytes: {
            std::mt19937 generator(20240611);
            QByteArray bytes;
            for (int i = 0; i < 64 * 1024; ++i)
                bytes.append(char(generator()));
            writeFile(bytes);
            break;
        }
        case Damage::BinaryFile: {
            QFile program(QCoreApplication::applicationFilePath());
            ASSERT_TRUE(program.open(QIODevice::ReadOnly));
            writeFile(program.read(256 * 1024));
            break;
        }
        case Damage::Truncated: {
            {
                QSettingsStore store(path());
                for (int k = 1; k <= 50; ++k) {
                    store.putString("Variabelen", QStringLiteral("naam%1").arg(k), u"m"_s);
                    store.putBinary("Variabelen", QStringLiteral("waarde%1").arg(k),
                                    QByteArray(8, '\x7f'));
                }
            }
            QFile file(path());
            ASSERT_TRUE(file.resize(file.size() / 2 + 3));
            break;
        }
        case Damage::Directory:
            ASSERT_TRUE(QDir().mkpath(path()));
            break;
        }
    }
};

TEST_P(QSettingsDamageTest, CalculatorStillStartsAndCloses)
{
    damage();
    {
        QSettingsStore store(path());
        HistoryModel history;
        Engine engine;
        RecordingMessages messages;
        engine.StartEngine();
        const QString edit = RestoreHistory(store, history);
        RestoreMemories(store, engine, messages);
        engine.PrimeParser();
        if (GetParam() == Damage::Directory) {
            EXPECT_EQ(edit, "");
            EXPECT_TRUE(history.entries().isEmpty());
            EXPECT_TRUE(engine.memories().empty());
        }
        EXPECT_EQ(engine.evaluate("x = 2*3"), 6.0);
        history.insertTop("x = 2*3");
        SaveToSettings(store, "x+1", history, engine);
    }
    if (GetParam() == Damage::Directory) {
        EXPECT_TRUE(QFileInfo(path()).isDir());
        return;
    }
    // The next start finds what the last close wrote.
    const QSettingsStore store(path());
    HistoryModel history;
    Engine engine;
    RecordingMessages messages;
    engine.StartEngine();
    EXPECT_EQ(RestoreHistory(store, history), "x+1");
    ASSERT_FALSE(history.entries().isEmpty());
    EXPECT_EQ(history.entries().first(), "x = 2*3");
    RestoreMemories(store, engine, messages);
    ASSERT_NE(engine.memory("x"), nullptr);
    EXPECT_EQ(*engine.memory("x"), 6.0);
}

INSTANTIATE_TEST_SUITE_P(QSettingsStore, QSettingsDamageTest,
                         ::testing::Values(Damage::RandomBytes, Damage::BinaryFile,
                                           Damage::Truncated, Damage::Directory));

TEST(QSettingsStoreLocation, UserStoreIsTheProgramsFileUnderTamsardWithoutFallbacks)
{
    // main() has moved the user's settings folder into a temporary one.
    QSettingsStore store;
    const QFileInfo location(store.location());
    EXPECT_EQ(QCoreApplication::applicationName(), "persistence_tests");
    EXPECT_EQ(location.fileName(), "persistence_tests.conf");
    EXPECT_EQ(location.dir().dirName(), "Tamsard");

    const QString userFolder = QFileInfo(location.absolutePath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(userFolder));
    QFile organisationWide(userFolder + "/Tamsard.conf");
    ASSERT_TRUE(organisationWide.open(QIODevice::WriteOnly));
    organisationWide.write("[Expressies]\nmax_aantal=5\n");
    organisationWide.close();
    QSettingsStore fresh;
    EXPECT_EQ(fresh.getInt("Expressies", "max_aantal", 30), 30);

    fresh.putInt("Expressies", "aantal", 4);
    fresh.sync();
    EXPECT_TRUE(location.exists());
    EXPECT_EQ(QSettingsStore().getInt("Expressies", "aantal", 0), 4);
}

TEST_F(QSettingsStoreTest, FullStateRoundTripsThroughTheFile)
{
    const std::vector<std::pair<QString, quint64>> values{
        {"tenth", std::bit_cast<quint64>(0.1)},
        {"third", std::bit_cast<quint64>(1.0 / 3.0)},
        {"negzero", 0x8000000000000000},
        {"big", std::bit_cast<quint64>(1e300)},
        {"largest", std::bit_cast<quint64>(DBL_MAX)},
        {"denorm", 0x0000000000000001},
        {"negdenorm", 0x800fffffffffffff},
        {"inf", 0x7ff0000000000000},
        {"neginf", 0xfff0000000000000},
        {"nan", 0x7ff8000000000000},
        {"nanpayload", 0x7ff8000000000123},
        {"negnan", 0xfff8000000000000},
        {"snan", 0x7ff0000000000001},
    };
    Engine engine;
    engine.StartEngine();
    for (const auto &[name, bits] : values) {
        const QString derivation = name == "tenth" ? u"tenth = 0,1"_s : QString();
        ASSERT_EQ(engine.LoadMemory(name, std::bit_cast<double>(bits), derivation),
                  LoadResult::Loaded);
    }
    engine.evaluate("made = tenth * 2");
    engine.RecordDerivation("made", "made = tenth * 2", 0.2);
    HistoryModel history;
    for (const QString &entry : {u"@made = tenth * 2"_s, u"max(1;2,5)"_s, u"x = \"q\"; y"_s,
                                 u"caf\u00e9 = 1"_s, u"made = tenth * 2"_s})
        history.insertTop(entry);
    {
        QSettingsStore store(path());
        SaveToSettings(store, "tenth * 3", history, engine);
    }

    const QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Variabelen/waarde001").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(raw.value("Variabelen/waarde001").toByteArray().size(), 8);

    const QSettingsStore store(path());
    HistoryModel restoredHistory;
    Engine restored;
    RecordingMessages messages;
    restored.StartEngine();
    EXPECT_EQ(RestoreHistory(store, restoredHistory), "tenth * 3");
    EXPECT_EQ(restoredHistory.entries(), history.entries());
    RestoreMemories(store, restored, messages);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(restored.memories().size(), values.size() + 1);
    for (const auto &[name, bits] : values) {
        ASSERT_NE(restored.memory(name), nullptr) << name.toStdString();
        EXPECT_EQ(std::bit_cast<quint64>(*restored.memory(name)), bits) << name.toStdString();
    }
    EXPECT_EQ(*restored.memory("made"), 0.1 * 2);
    ASSERT_EQ(restored.derivations().size(), 2u);
    EXPECT_EQ(restored.FindDerivation("made")->derivation, "made = tenth * 2");
    EXPECT_EQ(restored.FindDerivation("tenth")->derivation, "tenth = 0,1");
    restored.PrimeParser();
    EXPECT_EQ(restored.evaluate("tenth * 3"), 0.1 * 3);
}

} // namespace
