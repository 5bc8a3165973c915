// The engine on its own: number conventions, the two pools, derivation records.
#include "core/engine.h"
#include "core/numberformat.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { engine.PrimeParser(); }
    QString eval(const QString &expression) { return formatNumber(engine.evaluate(expression)); }
    QStringList names() const
    {
        QStringList listed;
        for (const MemoryRef &memory : engine.memories())
            listed << memory.name;
        return listed;
    }

    Engine engine;
};

TEST(NumberFormat, FifteenSignificantDigitsWithDecimalComma)
{
    const std::pair<double, const char *> table[] = {
        {1.0 / 3.0, "0,333333333333333"},
        {1152921504606846976.0, "1,15292150460685e+18"},
        {2.5, "2,5"},
        {12.0, "12"},
        {-0.0, "-0"},
        {1e-5, "1e-05"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1,23456789012346e+15"},
        {Inf, "inf"},
        {-Inf, "-inf"},
        {NaN, "nan"},
        {-NaN, "-nan"}};
    for (const auto &[value, text] : table)
        EXPECT_EQ(formatNumber(value).toStdString(), text);
}

TEST_F(EngineTest, EvaluatesWithDutchConventions)
{
    const std::pair<const char *, const char *> table[] = {{"2^60", "1,15292150460685e+18"},
                                                           {"1,5+1,5", "3"},
                                                           {"max(1;2)", "2"},
                                                           {"max(1,2)", "1,2"},
                                                           {"sum(1;2;3)", "6"},
                                                           {"1;2;3", "3"},
                                                           {"1<2 ? 5 : 6", "5"},
                                                           {"_pi", "3,14159265358979"},
                                                           {"sin(_pi)", "1,22464679914735e-16"},
                                                           {"_e", "2,71828182845905"},
                                                           {"1/0", "inf"},
                                                           {"sqrt(-1)", "-nan"}};
    for (const auto &[expression, result] : table)
        EXPECT_EQ(eval(expression).toStdString(), result) << expression;
}

TEST_F(EngineTest, RejectsBadInputWithoutCreatingMemories)
{
    // Unreadable numbers, a trailing sign after ';' and a NUL are misread by the library
    // itself; the engine must turn them into errors.
    const QString table[] = {"3+",
                             "1e400",
                             "1e",
                             "1e400+1",
                             "1;2;-",
                             "1;-",
                             "1;2;+ ",
                             "1;2*-",
                             "=5",
                             "max(1;2",
                             "1+*2",
                             QString(101, u'n') + "=1",
                             QStringLiteral("2") + QChar(u'\0') + "x"};
    QStringList inputs(std::begin(table), std::end(table));
    // The library also skips U+0001 to U+0008 as blanks: a sign before any control
    // character (or a no-break space) still ends the text.
    QString blanks = QStringLiteral(u"\u007f\u00a0");
    for (char16_t c = 1; c < 32; ++c)
        blanks += QChar(c);
    for (const QChar c : blanks)
        inputs << QStringLiteral("5;-") + c << QStringLiteral("5;+ ") + c + u' ';
    for (const QString &input : inputs)
        EXPECT_THROW(engine.evaluate(input), EngineError) << input.toStdString();
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(engine.createdSlots(), 0);
    EXPECT_EQ(eval(QString(100, u'n') + "=4"), "4"); // the longest name still works
}

TEST_F(EngineTest, CreationPoolHolds999Names)
{
    EXPECT_EQ(eval("x + 1"), "1"); // a name only read becomes a memory holding 0
    for (int i = 2; i <= Engine::PoolSize; ++i)
        ASSERT_NO_THROW(engine.evaluate(QStringLiteral("v%1 = %1").arg(i))) << i;
    try {
        engine.evaluate("v2 + p + q");
        FAIL() << "the 1000th name got a slot";
    } catch (const EngineError &error) {
        EXPECT_STREQ(error.what(), Engine::PoolExhaustedMessage);
    }
    EXPECT_EQ(engine.memory("p"), nullptr);
    EXPECT_EQ(eval("x + v999"), "999"); // existing memories keep working
}

TEST_F(EngineTest, LoadPoolIsIndependentAndSkipsRefusedNames)
{
    for (const QString &name :
         {QString(), QStringLiteral("1abc"), QStringLiteral("a b"), QStringLiteral("_pi"),
          QString(101, u'x'), QStringLiteral("caf\u00e9")})
        EXPECT_EQ(engine.LoadMemory(name, 5, "x = 5"), LoadResult::NameRefused)
            << name.toStdString();
    EXPECT_EQ(engine.loadedSlots(), 0);
    EXPECT_TRUE(engine.derivations().empty());

    for (int i = 1; i <= Engine::PoolSize; ++i)
        ASSERT_EQ(engine.LoadMemory(QStringLiteral("m%1").arg(i), i, QString()),
                  LoadResult::Loaded);
    EXPECT_EQ(engine.LoadMemory("extra", 1, "extra = 1"), LoadResult::PoolFull);
    EXPECT_EQ(engine.memory("extra"), nullptr);
    EXPECT_EQ(engine.FindDerivation("extra"), nullptr);
    for (int i = 1; i <= Engine::PoolSize; ++i)
        ASSERT_NO_THROW(engine.evaluate(QStringLiteral("c%1 = m%1").arg(i))) << i;
    EXPECT_EQ(*engine.memory("c999"), 999.0);
}

TEST_F(EngineTest, SlotsAreNeverReused)
{
    engine.evaluate("a = 3");
    const double *created = engine.memory("a");
    ASSERT_EQ(engine.LoadMemory("a", 8, QString()), LoadResult::Loaded);
    EXPECT_EQ(*engine.memory("a"), 8.0); // rebound to a load slot
    EXPECT_EQ(*created, 3.0);
    engine.RemoveMemory("a");
    engine.RemoveMemory("never"); // unknown names are ignored
    EXPECT_EQ(engine.memory("a"), nullptr);
    EXPECT_EQ(eval("a + 1"), "1"); // comes back in a fresh creation slot
    EXPECT_NE(engine.memory("a"), created);
    EXPECT_EQ(engine.createdSlots(), 2);
}

TEST_F(EngineTest, FirstRecordOfANameCounts)
{
    engine.RecordDerivation("a", "a = 1", 1);
    ASSERT_EQ(engine.LoadMemory("a", 2, "a = 2"), LoadResult::Loaded);
    engine.RecordDerivation("a", "a = 3", 3);
    ASSERT_EQ(engine.derivations().size(), 2u);
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = 3");
    EXPECT_EQ(engine.FindDerivation("a")->value, 1.0); // its value is left alone
    EXPECT_EQ(engine.derivations()[1].derivation, "a = 2");
    EXPECT_EQ(engine.FindDerivation("A"), nullptr);
}

TEST_F(EngineTest, ListsByCharacterCodeAndByCurrentExpression)
{
    engine.evaluate("b + B + a1 + Z9");
    EXPECT_EQ(names(), QStringList({"B", "Z9", "a1", "b"}));
    engine.evaluate("a1 = b");
    QStringList used;
    for (const MemoryRef &memory : engine.usedMemories())
        used << memory.name;
    EXPECT_EQ(used, QStringList({"a1", "b"}));
    engine.PrimeParser();
    EXPECT_TRUE(engine.usedMemories().empty());
    Engine fresh;
    EXPECT_FALSE(fresh.hasCurrentExpression());
}

} // namespace
