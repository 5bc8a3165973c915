// The engine on its own: number conventions, the two pools, derivation records.
#include "core/engine.h"
#include "core/numberformat.h"

#include "qtprinters.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.StartEngine();
        engine.PrimeParser();
    }
    QString eval(const QString &expression) { return formatNumber(engine.evaluate(expression)); }

    Engine engine;
};

struct FormatCase {
    double value;
    const char *text;
};

void PrintTo(const FormatCase &c, std::ostream *out)
{
    *out << c.text;
}

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FormatsLikePercent15lgWithDecimalComma)
{
    EXPECT_EQ(formatNumber(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatTest,
    ::testing::Values(FormatCase{1.0 / 3.0, "0,333333333333333"},
                      FormatCase{1152921504606846976.0, "1,15292150460685e+18"},
                      FormatCase{2.5, "2,5"}, FormatCase{12.0, "12"}, FormatCase{0.0, "0"},
                      FormatCase{-0.0, "-0"}, FormatCase{1e-5, "1e-05"},
                      FormatCase{123456789012345.0, "123456789012345"},
                      FormatCase{1234567890123456.0, "1,23456789012346e+15"},
                      FormatCase{std::numeric_limits<double>::infinity(), "inf"},
                      FormatCase{-std::numeric_limits<double>::infinity(), "-inf"},
                      FormatCase{std::numeric_limits<double>::quiet_NaN(), "nan"},
                      FormatCase{-std::numeric_limits<double>::quiet_NaN(), "-nan"}));

struct EvalCase {
    const char *expression;
    const char *result;
};

void PrintTo(const EvalCase &c, std::ostream *out)
{
    *out << c.expression;
}

class EvaluateTest : public EngineTest, public ::testing::WithParamInterface<EvalCase> {};

TEST_P(EvaluateTest, EvaluatesWithDutchConventions)
{
    EXPECT_EQ(eval(QString::fromUtf8(GetParam().expression)).toStdString(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, EvaluateTest,
    ::testing::Values(EvalCase{"1/3", "0,333333333333333"},
                      EvalCase{"2^60", "1,15292150460685e+18"}, EvalCase{"10/4", "2,5"},
                      EvalCase{"1,5+1,5", "3"}, EvalCase{"max(1;2)", "2"},
                      EvalCase{"max(1,2)", "1,2"}, EvalCase{"sum(1;2;3)", "6"},
                      EvalCase{"_pi", "3,14159265358979"}, EvalCase{"_e", "2,71828182845905"},
                      EvalCase{"sin(_pi)", "1,22464679914735e-16"}, EvalCase{"1<2 ? 5 : 6", "5"},
                      EvalCase{"1;2;3", "3"}, EvalCase{"1/0", "inf"}, EvalCase{"-1/0", "-inf"},
                      EvalCase{"sqrt(-1)", "-nan"}));

class RejectTest : public EngineTest, public ::testing::WithParamInterface<QString> {};

TEST_P(RejectTest, RejectsWithoutCreatingMemories)
{
    const auto before = engine.memories().size();
    EXPECT_THROW(engine.evaluate(GetParam()), EngineError);
    EXPECT_EQ(engine.memories().size(), before);
    EXPECT_EQ(engine.createdSlots(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RejectTest,
    ::testing::Values(QStringLiteral("3+"), QStringLiteral("1e400"), QStringLiteral("1e"),
                      QStringLiteral("1e400+1"), QStringLiteral("1;2;-"), QStringLiteral("1;-"),
                      QStringLiteral("1;2;+ "), QStringLiteral("1;2*-"), QStringLiteral("=5"),
                      QStringLiteral("2") + QChar(u'\0') + QStringLiteral("x"),
                      QStringLiteral("max(1;2"), QString(101, u'n') + QStringLiteral("=1"),
                      QStringLiteral("1+*2")));

TEST_F(EngineTest, NameOnlyReadBecomesMemoryWithZero)
{
    EXPECT_EQ(eval("x + 1"), "1");
    ASSERT_NE(engine.memory("x"), nullptr);
    EXPECT_EQ(*engine.memory("x"), 0.0);
    EXPECT_EQ(engine.createdSlots(), 1);
}

TEST_F(EngineTest, LongestAcceptedNameStillBecomesMemory)
{
    const QString name(100, u'n');
    EXPECT_EQ(eval(name + "=4"), "4");
    EXPECT_NE(engine.memory(name), nullptr);
}

TEST_F(EngineTest, CreationPoolHolds999NamesThenFails)
{
    for (int i = 1; i <= Engine::PoolSize; ++i)
        ASSERT_NO_THROW(engine.evaluate(QStringLiteral("v%1 = %1").arg(i))) << i;
    EXPECT_EQ(*engine.memory("v999"), 999.0);
    try {
        engine.evaluate("w = 1");
        FAIL() << "the 1000th name got a slot";
    } catch (const EngineError &error) {
        EXPECT_STREQ(error.what(), Engine::PoolExhaustedMessage);
    }
    EXPECT_EQ(engine.memory("w"), nullptr);
    // Existing memories keep working.
    EXPECT_EQ(eval("v1 + v999"), "1000");
}

TEST_F(EngineTest, NamesMetBeforePoolRunsOutStayMemories)
{
    for (int i = 1; i < Engine::PoolSize; ++i)
        engine.evaluate(QStringLiteral("v%1 = 0").arg(i));
    EXPECT_THROW(engine.evaluate("p = q"), EngineError);
    EXPECT_NE(engine.memory("p"), nullptr);
    EXPECT_EQ(engine.memory("q"), nullptr);
}

TEST_F(EngineTest, LoadPoolHolds999ThenReportsFull)
{
    for (int i = 1; i <= Engine::PoolSize; ++i)
        ASSERT_EQ(engine.LoadMemory(QStringLiteral("m%1").arg(i), i, QString()),
                  LoadResult::Loaded);
    EXPECT_EQ(engine.LoadMemory("extra", 1, "extra = 1"), LoadResult::PoolFull);
    EXPECT_EQ(engine.memory("extra"), nullptr);
    EXPECT_EQ(engine.FindDerivation("extra"), nullptr);
    // The creation pool is independent: expressions still create 999 memories.
    for (int i = 1; i <= Engine::PoolSize; ++i)
        ASSERT_NO_THROW(engine.evaluate(QStringLiteral("c%1 = m%1").arg(i))) << i;
    EXPECT_EQ(*engine.memory("c999"), 999.0);
    EXPECT_EQ(engine.memories().size(), std::size_t(2 * Engine::PoolSize));
}

TEST_F(EngineTest, RefusedNameLoadsNothing)
{
    for (const QString &name :
         {QString(), QStringLiteral("1abc"), QStringLiteral("a b"), QStringLiteral("_pi"),
          QString(101, u'x'), QStringLiteral("caf\u00e9")}) {
        EXPECT_EQ(engine.LoadMemory(name, 5, "x = 5"), LoadResult::NameRefused)
            << name.toStdString();
    }
    EXPECT_EQ(engine.loadedSlots(), 0);
    EXPECT_TRUE(engine.derivations().empty());
    EXPECT_EQ(engine.LoadMemory("ok", 5, QString()), LoadResult::Loaded);
    EXPECT_EQ(engine.loadedSlots(), 1);
}

TEST_F(EngineTest, LoadingExistingNameRebindsToNewSlot)
{
    engine.evaluate("a = 3");
    const double *created = engine.memory("a");
    ASSERT_EQ(engine.LoadMemory("a", 8, QString()), LoadResult::Loaded);
    EXPECT_NE(engine.memory("a"), created);
    EXPECT_EQ(*engine.memory("a"), 8.0);
    EXPECT_EQ(*created, 3.0);
}

TEST_F(EngineTest, RemovedNameComesBackWithZeroInFreshSlot)
{
    engine.evaluate("a = 3");
    const double *old = engine.memory("a");
    engine.RemoveMemory("a");
    EXPECT_EQ(engine.memory("a"), nullptr);
    engine.RemoveMemory("never"); // unknown names are ignored
    EXPECT_EQ(eval("a + 1"), "1");
    EXPECT_NE(engine.memory("a"), old);
    EXPECT_EQ(engine.createdSlots(), 2);
}

TEST_F(EngineTest, FirstRecordOfNameCountsEverywhere)
{
    engine.RecordDerivation("a", "a = 1", 1);
    ASSERT_EQ(engine.LoadMemory("a", 2, "a = 2"), LoadResult::Loaded);
    ASSERT_EQ(engine.derivations().size(), 2u);
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = 1");

    engine.RecordDerivation("a", "a = 3", 3);
    EXPECT_EQ(engine.derivations().size(), 2u);
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = 3");
    EXPECT_EQ(engine.FindDerivation("a")->value, 1.0); // value is left alone
    EXPECT_EQ(engine.derivations()[1].derivation, "a = 2");
    EXPECT_EQ(engine.FindDerivation("A"), nullptr); // letter case counts
}

TEST_F(EngineTest, MemoriesAreListedByCharacterCode)
{
    engine.evaluate("b + B + a1 + Z9");
    QStringList names;
    for (const MemoryRef &memory : engine.memories())
        names << memory.name;
    EXPECT_EQ(names, QStringList({"B", "Z9", "a1", "b"}));
}

TEST_F(EngineTest, UsedMemoriesFollowCurrentExpression)
{
    engine.evaluate("a = 1");
    engine.evaluate("b = a + 2");
    QStringList names;
    for (const MemoryRef &memory : engine.usedMemories())
        names << memory.name;
    EXPECT_EQ(names, QStringList({"a", "b"}));
    engine.PrimeParser();
    EXPECT_TRUE(engine.usedMemories().empty());
}

TEST(EngineStart, HasNoCurrentExpressionBeforePriming)
{
    Engine engine;
    engine.StartEngine();
    EXPECT_FALSE(engine.hasCurrentExpression());
    engine.PrimeParser();
    EXPECT_TRUE(engine.hasCurrentExpression());
}

} // namespace
