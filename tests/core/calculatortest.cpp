// The calculator's commands through its public interface: Calculate, the history, the
// memory list with its recalculation, delete and copy-derivation.
#include "core/calculator.h"
#include "core/engine.h"
#include "support/derivationtwins.h"
#include "support/qtprinters.h"
#include "support/recordingmessages.h"

#include <QSignalSpy>

#include <random>

#include <gtest/gtest.h>

namespace {

class CalculatorTest : public ::testing::Test {
protected:
    CalculatorTest() { engine.PrimeParser(); }
    QStringList history() { return calculator.history()->entries(); }
    QStringList column(int which)
    {
        QStringList texts;
        for (const MemoryRow &row : calculator.memoryList()->rows())
            texts << (which == 0 ? row.name : which == 1 ? row.value : row.derivation);
        return texts;
    }
    int rowOf(const QString &name) { return int(column(0).indexOf(name)); }
    void calculateAll(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            calculator.calculate(input);
    }

    Engine engine;
    RecordingMessages messages;
    Calculator calculator{engine, messages};
};

TEST_F(CalculatorTest, ShowsResultAndKeepsTypedText)
{
    const std::pair<QString, QString> table[] = {{"1/3", "0,333333333333333"},
                                                 {"10/4", "2,5"},
                                                 {"1.5+1,5", "3"},
                                                 {"max(1.2)", "1,2"},
                                                 {"  7*6  ", "42"},
                                                 {"@3+4", "7"},
                                                 {"x + 1", "1"}};
    for (const auto &[input, shown] : table) {
        calculator.calculate(input);
        EXPECT_EQ(calculator.resultField(), shown);
        EXPECT_EQ(calculator.lastResult(), shown);
        EXPECT_EQ(calculator.lastExpression(), input.trimmed());
        EXPECT_EQ(history().value(0), input.trimmed());
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CalculatorTest, ErrorLeavesExpressionOnTopAndListAlone)
{
    calculator.calculate("a = 1");
    for (const QString &input : QStringList{"3+", "@=5", "@b = 1e400", "1;2;-", "c + (d"}) {
        QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
        QSignalSpy resultSet(&calculator, &Calculator::resultFieldChanged);
        messages.shown.clear();
        calculator.calculate(input);
        EXPECT_EQ(messages.shown, QList{Message::CannotEvaluate});
        EXPECT_EQ(history().value(0), input);
        EXPECT_TRUE(calculator.lastResult().isEmpty());
        EXPECT_EQ(resultSet.count(), 0);
        ASSERT_EQ(fieldSet.count(), 1);
        EXPECT_EQ(fieldSet.at(0).at(1).value<EditSelection>(), EditSelection::All);
    }
    EXPECT_EQ(column(0), QStringList{"a"}); // not rebuilt, though c and d now exist
    EXPECT_NE(engine.memory("d"), nullptr);
    EXPECT_TRUE(engine.derivations().empty());
}

TEST_F(CalculatorTest, NothingToEvaluateStillRefreshes)
{
    calculator.calculate("5");
    for (const QString &input : QStringList{"", "   ", "@", " ' "}) {
        engine.evaluate("late = 1");
        calculator.calculate(input);
        EXPECT_TRUE(calculator.resultField().isEmpty());
        EXPECT_EQ(history(), QStringList{"5"});
        EXPECT_EQ(column(0), QStringList{"late"});
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CalculatorTest, HistoryHasNoDuplicatesAndClearsAlone)
{
    calculateAll({"1+1", "A+1", "2*3", "1+1", "a+1", " 2*3 ", "a = 4"});
    EXPECT_EQ(history(), QStringList({"a = 4", "2*3", "a+1", "1+1"}));
    calculator.clearHistory();
    EXPECT_TRUE(history().isEmpty());
    EXPECT_TRUE(calculator.resultField().isEmpty());
    EXPECT_EQ(calculator.lastResult(), "4");
    EXPECT_EQ(*engine.memory("a"), 4.0);
}

TEST_F(CalculatorTest, RecordsWhatThePrefixAsksFor)
{
    calculateAll({"@a = 3*4", "'b = 1.5", "@ c =5", "@3+4", "d = 1", "@a = 2*5", "a = 7"});
    EXPECT_EQ(calculator.resultField(), "7");
    QStringList records;
    for (const CVariabele &record : engine.derivations())
        records << record.name + "|" + record.derivation;
    EXPECT_EQ(records, QStringList({"a|a = 2*5", "b|b = 1,5", "c| c =5"}));
    EXPECT_EQ(column(0), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(column(1), QStringList({"10", "1,5", "5", "1"})); // a's derivation wins
    EXPECT_EQ(column(2), QStringList({"a = 2*5", "b = 1,5", " c =5", ""}));
}

TEST_F(CalculatorTest, RecalculatesInOnePassByName)
{
    calculateAll({"c = 0", "@b = c+1", "@a = b*2", "Z9 + a1", "c = 10"});
    EXPECT_EQ(column(0), QStringList({"Z9", "a", "a1", "b", "c"}));
    EXPECT_EQ(column(1), QStringList({"0", "2", "0", "11", "10"})); // a ran before b
    calculator.refreshAndReport();
    EXPECT_EQ(column(1).value(1), "22");
}

TEST_F(CalculatorTest, FilterFollowsTheParsersCurrentExpression)
{
    calculateAll({"x = 3", "@a = x * 2", "q = 1"}); // the rebuild evaluates a = x * 2 last
    calculator.setFilter(true);
    EXPECT_EQ(column(0), QStringList({"a", "q", "x"})); // nothing rebuilt yet
    calculator.refreshAndReport();
    EXPECT_EQ(column(0), QStringList({"a", "x"}));
    calculator.calculate("q + 1");
    EXPECT_EQ(column(0), QStringList{"q"});
    engine.PrimeParser(); // as after loading a file
    calculator.refreshAndReport();
    EXPECT_TRUE(column(0).isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
    calculator.calculate("q +* 2");
    calculator.refreshAndReport(); // the current expression does not parse
    EXPECT_EQ(messages.shown, QList<Message>(2, Message::CannotEvaluate));
}

TEST_F(CalculatorTest, FailingDerivationStopsCalculateButNotOtherRebuilds)
{
    engine.LoadMemory("b", 2, "b = 1 +");
    calculateAll({"a = 1", "z = 3"});
    EXPECT_EQ(column(0), QStringList({"a", "b"})); // the failing row is the last
    EXPECT_EQ(calculator.resultField(), "3");
    messages.shown.clear();
    calculator.refreshAndReport();
    EXPECT_EQ(column(0), QStringList({"a", "b", "z"}));
    EXPECT_EQ(column(1), QStringList({"1", "2", "3"}));
    EXPECT_EQ(messages.shown, QList{Message::CannotEvaluate});
}

TEST_F(CalculatorTest, DeleteKeepsDerivationRecords)
{
    calculateAll({"b = 5", "@a = b*2", "c = 3"});
    engine.RecordDerivation("c", "c = fresh", 0);
    calculator.calculate("c = 3");
    EXPECT_EQ(column(0), QStringList({"a", "b", "c"})); // fresh only from the next rebuild
    calculator.deleteMemories({rowOf("a"), rowOf("b")});
    EXPECT_EQ(column(0), QStringList({"c", "fresh"}));
    EXPECT_EQ(engine.memory("a"), nullptr);
    calculator.calculate("a = 5"); // its derivation applies again and brings b back as 0
    EXPECT_EQ(column(0), QStringList({"a", "c", "fresh"}));
    EXPECT_EQ(column(1).value(0), "0");
    calculator.deleteMemories({}); // nothing selected: nothing happens
    EXPECT_EQ(column(0).size(), 3);
    calculator.refreshAndReport();
    EXPECT_EQ(column(0), QStringList({"a", "b", "c", "fresh"}));
}

TEST_F(CalculatorTest, CopyDerivationOffersRowForEditing)
{
    calculateAll({"a = 2.5", "@b = a*2"});
    QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
    for (int row : {-1, 0, 1, 2})
        calculator.CopyDerivationToExpression(row);
    ASSERT_EQ(fieldSet.count(), 2);
    EXPECT_EQ(fieldSet.at(0).at(0).toString(), "a=");
    EXPECT_EQ(fieldSet.at(0).at(1).value<EditSelection>(), EditSelection::CaretAtEnd);
    EXPECT_EQ(fieldSet.at(1).at(0).toString(), "@b = a*2");
    EXPECT_EQ(fieldSet.at(1).at(1).value<EditSelection>(), EditSelection::All);
    EXPECT_TRUE(calculator.resultField().isEmpty());
    EXPECT_EQ(calculator.lastResult(), "5");
}

// Random command runs; every other seed gives the kept parses a budget that holds only a
// few, so that the fallback to parsing is compared as well.
TEST(DerivationCacheTest, AgreesWithParsingEveryTime)
{
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::uint8_t> bytes(600);
        for (auto &byte : bytes)
            byte = std::uint8_t(random());
        DerivationTwins twins(seed % 2 ? Engine::DefaultKeptParseBudget : 40000);
        const QString difference = twins.run(bytes);
        ASSERT_TRUE(difference.isEmpty()) << "seed " << seed << ", " << qPrintable(difference);
    }
}

} // namespace
