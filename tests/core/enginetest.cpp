// The engine on its own: number conventions, input the library misreads, the two pools.
#include "core/engine.h"
#include "core/numberformat.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { engine.PrimeParser(); }
    QString eval(const QString &expression) { return formatNumber(engine.evaluate(expression)); }

    Engine engine;
};

// Results as the result field shows them: 15 significant digits and a decimal comma.
TEST_F(EngineTest, EvaluatesWithDutchConventions)
{
    const std::pair<const char *, const char *> table[] = {
        {"1,5+1,5", "3"},     {"max(1;2)", "2"},    {"2^60", "1,15292150460685e+18"},
        {"max(1,2)", "1,2"},  {"sum(1;2;3)", "6"},  {"_pi", "3,14159265358979"},
        {"1;2;3", "3"},       {"1<2 ? 5 : 6", "5"}, {"sin(_pi)", "1,22464679914735e-16"},
        {"-0", "-0"},         {"1e-5", "1e-05"},    {"1/3", "0,333333333333333"},
        {"1/0", "inf"},       {"-1/0", "-inf"},     {"123456789012345", "123456789012345"},
        {"sqrt(-1)", "-nan"}, {"-sqrt(-1)", "nan"}, {"1234567890123456", "1,23456789012346e+15"}};
    for (const auto &[expression, result] : table)
        EXPECT_EQ(eval(expression).toStdString(), result) << expression;
    EXPECT_FALSE(Engine().hasCurrentExpression()); // nothing to list before the first one
}

TEST_F(EngineTest, RejectsBadInputWithoutCreatingMemories)
{
    // Unreadable numbers, a sign ending a ';' list and a NUL (the library stops there, and
    // would read "2 " alone) are misread by the library itself; the engine must turn them
    // into errors.
    QStringList inputs{"1e400", "1e", "1;-", "1;2;+ ", "2 " + QString(1, u'\0') + "x"};
    inputs << QString(101, u'n') + "=1";
    // The library also skips U+0001 to U+0008 as blanks: a sign before any control
    // character (or a no-break space) still ends the text.
    QString blanks = QStringLiteral(u"\u007f\u00a0");
    for (char16_t c = 1; c < 32; ++c)
        blanks += QChar(c);
    for (const QChar c : blanks)
        inputs << QStringLiteral("5;-") + c << QStringLiteral("5;+ ") + c + u' ';
    for (const QString &input : inputs)
        EXPECT_THROW(engine.evaluate(input), EngineError) << input.toStdString();
    EXPECT_TRUE(engine.memories().empty());
    EXPECT_EQ(eval(QString(100, u'n') + "=4"), "4"); // the longest name still works
}

TEST_F(EngineTest, EachPoolHolds999MemoriesAndRefusedNamesTakeNoSlot)
{
    // takesName vouches for none of the refused names, and for each one loaded here.
    for (const QString &name : {QString(), QStringLiteral("1abc"), QStringLiteral("a b"),
                                QStringLiteral("_pi"), QStringLiteral(u"\u00e9")}) {
        EXPECT_EQ(engine.LoadMemory(name, 5, "x = 5"), LoadResult::NameRefused);
        EXPECT_FALSE(Engine::takesName(name)) << name.toStdString();
    }
    EXPECT_TRUE(engine.derivations().empty());
    for (int i = 1; i <= Engine::PoolSize; ++i) {
        const QString name = i == 1 ? QString(99, u'M') : QStringLiteral("m%1").arg(i);
        ASSERT_TRUE(Engine::takesName(name));
        ASSERT_EQ(engine.LoadMemory(name, i, {}), LoadResult::Loaded);
        ASSERT_NO_THROW(engine.evaluate(QStringLiteral("c%1 = ").arg(i) + name)) << i;
    }
    EXPECT_EQ(engine.LoadMemory("extra", 1, "extra = 1"), LoadResult::PoolFull);
    EXPECT_THROW(engine.evaluate("c1 + p"), EngineError); // the 1000th created name
    EXPECT_EQ(
        std::tuple(engine.memory("p"), engine.memory("extra"), engine.FindDerivation("extra")),
        std::tuple(nullptr, nullptr, nullptr));
    EXPECT_EQ(eval("c999 + m998"), "1997"); // the memories there keep working
}

} // namespace
