// The Calculate and Clear history commands through the calculator's public interface.
#include "core/calculator.h"
#include "core/engine.h"
#include "qtprinters.h"
#include "recordingmessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class CalculatorTest : public ::testing::Test {
protected:
    CalculatorTest()
    {
        engine.StartEngine();
        engine.PrimeParser();
        calculator.RefreshMemoryList(Calculator::RefreshMode::Complete);
    }

    QStringList history() const
    {
        return const_cast<Calculator &>(calculator).history()->entries();
    }

    Engine engine;
    RecordingMessages messages;
    Calculator calculator{engine, messages};
};

struct ResultCase {
    QString input;
    QString shown;
};

void PrintTo(const ResultCase &c, std::ostream *out)
{
    PrintTo(c.input, out);
}

class ResultTest : public CalculatorTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultTest, ShowsFormattedResultAndKeepsTypedText)
{
    calculator.calculate(GetParam().input);
    EXPECT_EQ(calculator.resultField(), GetParam().shown);
    EXPECT_EQ(calculator.lastResult(), GetParam().shown);
    EXPECT_EQ(calculator.lastExpression(), GetParam().input.trimmed());
    EXPECT_EQ(history(), QStringList{GetParam().input.trimmed()});
    EXPECT_TRUE(messages.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Results, ResultTest,
                         ::testing::Values(ResultCase{"1/3", "0,333333333333333"},
                                           ResultCase{"2^60", "1,15292150460685e+18"},
                                           ResultCase{"10/4", "2,5"}, ResultCase{"1.5+1,5", "3"},
                                           ResultCase{"max(1;2)", "2"},
                                           ResultCase{"max(1,2)", "1,2"},
                                           ResultCase{"max(1.2)", "1,2"},
                                           ResultCase{"  7*6  ", "42"}, ResultCase{"@3+4", "7"},
                                           ResultCase{"x + 1", "1"}, ResultCase{"1/0", "inf"}));

class ErrorTest : public CalculatorTest, public ::testing::WithParamInterface<QString> {};

TEST_P(ErrorTest, ReportsGeneralMessageAndKeepsExpressionOnTop)
{
    calculator.calculate("1+1");
    const auto rowsBefore = calculator.memoryList()->rows().size();
    QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
    QSignalSpy resultSet(&calculator, &Calculator::resultFieldChanged);

    calculator.calculate(GetParam());

    EXPECT_EQ(messages.shown, QStringList{"De ingevoerde expressie kan niet worden uitgerekend!"});
    EXPECT_EQ(history().value(0), GetParam().trimmed());
    EXPECT_EQ(calculator.lastExpression(), GetParam().trimmed());
    EXPECT_TRUE(calculator.lastResult().isEmpty());
    EXPECT_EQ(resultSet.count(), 0); // the result field is not written
    ASSERT_EQ(fieldSet.count(), 1);
    EXPECT_EQ(fieldSet.at(0).at(0).toString(), GetParam().trimmed());
    EXPECT_EQ(fieldSet.at(0).at(1).value<EditSelection>(), EditSelection::All);
    EXPECT_EQ(calculator.memoryList()->rows().size(), rowsBefore); // not rebuilt
    EXPECT_TRUE(engine.derivations().empty());
}

INSTANTIATE_TEST_SUITE_P(Errors, ErrorTest,
                         ::testing::Values("3+", "@=5", "1e400", "1e", "1;2;-", "(1", "@a = 1e400",
                                           QStringLiteral("2") + QChar(u'\0') + "y"));

TEST_F(CalculatorTest, FailedExpressionKeepsMemoriesMetBeforeTheError)
{
    calculator.calculate("a + (b");
    EXPECT_NE(engine.memory("a"), nullptr);
    EXPECT_NE(engine.memory("b"), nullptr);
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(CalculatorTest, NothingToEvaluateEmptiesResultAndStillRefreshes)
{
    for (const QString &input :
         {QString(), QStringLiteral("   "), QStringLiteral("@"), QStringLiteral(" ' ")}) {
        calculator.calculate("5");
        engine.evaluate("late = 1"); // a memory the list does not show yet
        QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
        calculator.calculate(input);
        EXPECT_TRUE(calculator.resultField().isEmpty()) << input.toStdString();
        EXPECT_EQ(history(), QStringList{"5"});
        EXPECT_EQ(fieldSet.count(), 0);
        EXPECT_EQ(calculator.memoryList()->rows().size(), 1u);
        engine.RemoveMemory("late");
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CalculatorTest, HistoryMovesEntriesToTopWithoutDuplicates)
{
    const QStringList inputs{"1+1", "A+1", "2*3", "1+1", "a+1", " 2*3 "};
    for (const QString &input : inputs)
        calculator.calculate(input);
    EXPECT_EQ(history(), QStringList({"2*3", "a+1", "1+1"}));
}

TEST_F(CalculatorTest, ClearHistoryKeepsMemoriesAndLastTexts)
{
    calculator.calculate("a = 4");
    calculator.clearHistory();
    EXPECT_TRUE(history().isEmpty());
    EXPECT_TRUE(calculator.resultField().isEmpty());
    EXPECT_EQ(calculator.lastResult(), "4");
    EXPECT_EQ(calculator.lastExpression(), "a = 4");
    EXPECT_EQ(*engine.memory("a"), 4.0);
}

TEST_F(CalculatorTest, ClearResultFieldKeepsLastResult)
{
    calculator.calculate("2+2");
    calculator.clearResultField();
    EXPECT_TRUE(calculator.resultField().isEmpty());
    EXPECT_EQ(calculator.lastResult(), "4");
}

struct DerivationCase {
    QString input;
    QString name; // empty: nothing recorded
    QString derivation;
};

void PrintTo(const DerivationCase &c, std::ostream *out)
{
    PrintTo(c.input, out);
}

class DerivationTest : public CalculatorTest,
                       public ::testing::WithParamInterface<DerivationCase> {};

TEST_P(DerivationTest, RecordsWhatThePrefixAsksFor)
{
    calculator.calculate(GetParam().input);
    if (GetParam().name.isEmpty()) {
        EXPECT_TRUE(engine.derivations().empty());
        return;
    }
    ASSERT_EQ(engine.derivations().size(), 1u);
    EXPECT_EQ(engine.derivations().front().name, GetParam().name);
    EXPECT_EQ(engine.derivations().front().derivation, GetParam().derivation);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, DerivationTest,
                         ::testing::Values(DerivationCase{"@a = 3*4", "a", "a = 3*4"},
                                           DerivationCase{"'a = 3*4", "a", "a = 3*4"},
                                           DerivationCase{"@b = 1.5", "b", "b = 1,5"},
                                           DerivationCase{"@ a =5", "a", " a =5"},
                                           DerivationCase{"@3+4", "", ""},
                                           DerivationCase{"@=5", "", ""},
                                           DerivationCase{"a = 3*4", "", ""},
                                           DerivationCase{"@c=2", "c", "c=2"}));

TEST_F(CalculatorTest, DerivationLifeCycle)
{
    calculator.calculate("@a = 3*4");
    EXPECT_EQ(calculator.resultField(), "12");
    calculator.calculate("@a = 2*5");
    EXPECT_EQ(engine.FindDerivation("a")->derivation, "a = 2*5");
    EXPECT_EQ(engine.derivations().size(), 1u);

    calculator.calculate("a = 7");
    EXPECT_EQ(calculator.resultField(), "7");
    const auto &rows = calculator.memoryList()->rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value, "10");
    EXPECT_EQ(rows[0].derivation, "a = 2*5");
    EXPECT_EQ(*engine.memory("a"), 10.0);
}

TEST_F(CalculatorTest, CalculateWithFailingDerivationKeepsRowsUpToIt)
{
    calculator.calculate("a = 1");
    calculator.calculate("z = 2");
    engine.RecordDerivation("m", "m = 1 +", 0);
    calculator.calculate("m = 5");
    EXPECT_EQ(calculator.resultField(), "5");
    EXPECT_EQ(messages.shown, QStringList{"De ingevoerde expressie kan niet worden uitgerekend!"});
    const auto &rows = calculator.memoryList()->rows();
    ASSERT_EQ(rows.size(), 2u); // a, then m with its slot value; z is never reached
    EXPECT_EQ(rows[1].name, "m");
    EXPECT_EQ(rows[1].value, "5");
}

} // namespace
