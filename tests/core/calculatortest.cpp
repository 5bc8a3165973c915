// The calculator's commands through its public interface: Calculate, the history, the
// memory list with its recalculation, delete and copy-derivation.
#include "support/derivationtwins.h"
#include "support/statelines.h"

#include <QSignalSpy>

#include <random>

#include <gtest/gtest.h>

namespace {

class CalculatorTest : public ::testing::Test, protected TestCalculator {
protected:
    QStringList history() const { return calculator.history()->entries(); }
    /// The memory list, a row a line: name, value and derivation.
    QStringList rows() const
    {
        QStringList lines;
        for (const MemoryRow &row : calculator.memoryList()->rows())
            lines << QStringList{row.name, row.value, row.derivation}.join(u'|');
        return lines;
    }
    void calculateAll(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            calculator.calculate(input);
    }
};

// A text with nothing to evaluate empties the result and leaves the history alone, but still
// rebuilds the list.
TEST_F(CalculatorTest, ShowsResultAndKeepsTypedTextOrOnlyRefreshes)
{
    const std::pair<QString, QString> table[] = {
        {"1.5+1,5", "3"}, {"max(1.2)", "1,2"}, {"  7*6  ", "42"}, {"@3+4", "7"}, {"x + 1", "1"}};
    for (const auto &[input, shown] : table) {
        calculator.calculate(input);
        EXPECT_EQ(QStringList({calculator.resultField(), calculator.lastResult(),
                               calculator.lastExpression(), history().value(0)}),
                  QStringList({shown, shown, input.trimmed(), input.trimmed()}));
    }
    for (const QString &input : QStringList{"   ", "@", " ' "}) {
        engine.evaluate("late = 1");
        calculator.calculate(input);
        EXPECT_EQ(std::tuple(calculator.resultField(), history().value(0), rows()),
                  std::tuple(QString(), QString("x + 1"), QStringList{"late|1|", "x|0|"}));
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CalculatorTest, ErrorLeavesExpressionOnTopAndListAlone)
{
    calculator.calculate("a = 1");
    for (const QString &input : QStringList{"@b = 1e400", "c + (d"}) {
        QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
        QSignalSpy resultSet(&calculator, &Calculator::resultFieldChanged);
        messages.shown.clear();
        calculator.calculate(input);
        EXPECT_EQ(messages.shown, QList{Message::CannotEvaluate});
        EXPECT_EQ(std::tuple(history().value(0), calculator.lastResult(), resultSet.count()),
                  std::tuple(input, QString(), 0));
        ASSERT_EQ(fieldSet.count(), 1);
        EXPECT_EQ(fieldSet[0][1].value<EditSelection>(), EditSelection::All);
    }
    EXPECT_EQ(rows(), QStringList{"a|1|"}); // not rebuilt, though c and d now exist
    EXPECT_NE(engine.memory("d"), nullptr);
    EXPECT_TRUE(engine.derivations().empty());
}

TEST_F(CalculatorTest, RecordsWhatThePrefixAsksFor)
{
    calculateAll({"@a = 3*4", "'b = 1.5", "@ c =5", "@3+4", "d = 1", "@a = 2*5", "a = 7", "A = 1"});
    EXPECT_EQ(engine.derivations().size(), 3u);
    // a's derivation wins over its assignment, and it is not A's.
    EXPECT_EQ(rows(), QStringList({"A|1|", "a|10|a = 2*5", "b|1,5|b = 1,5", "c|5| c =5", "d|1|"}));
}

TEST_F(CalculatorTest, RecalculatesInOnePassByName)
{
    calculateAll({"c = 0", "@b = c+1", "@a = b*2", "Z9 + a1", "c = 10"});
    // a ran before b.
    EXPECT_EQ(rows(), QStringList({"Z9|0|", "a|2|a = b*2", "a1|0|", "b|11|b = c+1", "c|10|"}));
    calculator.refreshAndReport();
    EXPECT_EQ(rows().value(1), "a|22|a = b*2");
}

TEST_F(CalculatorTest, FilterFollowsTheParsersCurrentExpression)
{
    calculateAll({"x = 3", "@a = x * 2", "q = 1"}); // the rebuild evaluates a = x * 2 last
    calculator.setFilter(true);
    calculator.refreshAndReport();
    EXPECT_EQ(rows(), QStringList({"a|6|a = x * 2", "x|3|"}));
    calculator.calculate("q + 1");
    EXPECT_EQ(rows(), QStringList{"q|1|"});
    calculator.merge(ReadState()); // an Open of a file that holds nothing
    EXPECT_TRUE(rows().isEmpty());
    calculator.calculate("q +* 2");
    calculator.refreshAndReport(); // the current expression does not parse
    EXPECT_EQ(messages.shown, QList<Message>(2, Message::CannotEvaluate));
}

TEST_F(CalculatorTest, FailingDerivationStopsCalculateButNotOtherRebuilds)
{
    engine.LoadMemory("b", 2, "b = 1 +");
    calculateAll({"a = 1", "z = 3"});
    EXPECT_EQ(rows(), QStringList({"a|1|", "b|2|b = 1 +"})); // the failing row is the last
    EXPECT_EQ(calculator.resultField(), "3");
    calculator.refreshAndReport();
    EXPECT_EQ(rows(), QStringList({"a|1|", "b|2|b = 1 +", "z|3|"}));
    EXPECT_EQ(messages.shown, QList<Message>(3, Message::CannotEvaluate)); // one per rebuild
}

TEST_F(CalculatorTest, DeleteKeepsDerivationRecords)
{
    calculateAll({"b = 5", "@a = b*2", "c = 3"});
    engine.RecordDerivation("c", "c = fresh");
    calculator.calculate("c = 3");
    EXPECT_EQ(rows().size(), 3); // fresh only from the next rebuild
    calculator.deleteMemories({0, 1});
    EXPECT_EQ(rows(), QStringList({"c|0|c = fresh", "fresh|0|"}));
    calculator.calculate("a = 5"); // its derivation applies again and brings b back as 0
    EXPECT_EQ(rows(), QStringList({"a|0|a = b*2", "c|0|c = fresh", "fresh|0|"}));
    calculator.deleteMemories({}); // nothing selected: nothing happens
    EXPECT_EQ(rows().size(), 3);
    calculator.refreshAndReport();
    EXPECT_EQ(rows().value(1), "b|0|");
}

TEST_F(CalculatorTest, CopyDerivationOffersRowForEditing)
{
    calculateAll({"a = 2.5", "@b = a*2"});
    QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
    for (int row : {-1, 0, 1, 2})
        calculator.CopyDerivationToExpression(row);
    ASSERT_EQ(fieldSet.count(), 2);
    EXPECT_EQ(QStringList({fieldSet[0][0].toString(), fieldSet[1][0].toString()}),
              QStringList({"a=", "@b = a*2"}));
    EXPECT_EQ(fieldSet[0][1].value<EditSelection>(), EditSelection::CaretAtEnd);
    EXPECT_EQ(fieldSet[1][1].value<EditSelection>(), EditSelection::All);
    EXPECT_EQ(std::pair(calculator.resultField(), calculator.lastResult()),
              std::pair(QString(), QString("5")));
}

// Random command runs; every other seed gives the kept parses a budget that holds only a
// few, so that the fallback to parsing is compared as well, and the kept parses are seen to
// stay within it.
TEST(DerivationCacheTest, AgreesWithParsingEveryTime)
{
    std::size_t keptInSmallBudget = 0;
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::uint8_t> bytes(600);
        for (auto &byte : bytes)
            byte = std::uint8_t(random());
        DerivationTwins twins(seed % 2 ? Engine::DefaultKeptParseBudget : 40000);
        const QString difference = twins.run(bytes);
        ASSERT_TRUE(difference.isEmpty()) << "seed " << seed << ", " << qPrintable(difference);
        if (seed % 2 == 0)
            keptInSmallBudget = std::max(keptInSmallBudget, twins.peakKeptBytes());
    }
    EXPECT_GT(keptInSmallBudget, 0u); // the small budget did hold parses
}

} // namespace
