// The memory list: rows, recalculation order, the filter, delete and copy-derivation.
#include "core/calculator.h"
#include "core/engine.h"
#include "qtprinters.h"
#include "recordingmessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class MemoryListTest : public ::testing::Test {
protected:
    MemoryListTest()
    {
        engine.StartEngine();
        engine.PrimeParser();
    }

    QStringList column(int which) const
    {
        QStringList texts;
        auto *model = const_cast<Calculator &>(calculator).memoryList();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, which).data().toString();
        return texts;
    }
    QStringList names() const { return column(MemoryListModel::NameColumn); }
    QStringList values() const { return column(MemoryListModel::ValueColumn); }
    int rowOf(const QString &name) const { return int(names().indexOf(name)); }

    Engine engine;
    RecordingMessages messages;
    Calculator calculator{engine, messages};
};

TEST_F(MemoryListTest, ListsByCharacterCodeWithValuesAndDerivations)
{
    calculator.calculate("b = 2.5");
    calculator.calculate("@B = 3");
    calculator.calculate("a1 + Z9");
    EXPECT_EQ(names(), QStringList({"B", "Z9", "a1", "b"}));
    EXPECT_EQ(values(), QStringList({"3", "0", "0", "2,5"}));
    EXPECT_EQ(column(MemoryListModel::DerivationColumn), QStringList({"B = 3", "", "", ""}));
}

TEST_F(MemoryListTest, HeadingsAndAlignment)
{
    auto *model = calculator.memoryList();
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Value");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Automatic calculation");
    calculator.calculate("a = 1");
    const int valueAlign = model->index(0, 1).data(Qt::TextAlignmentRole).toInt();
    const int nameAlign = model->index(0, 0).data(Qt::TextAlignmentRole).toInt();
    EXPECT_TRUE(valueAlign & Qt::AlignRight);
    EXPECT_TRUE(nameAlign & Qt::AlignLeft);
}

TEST_F(MemoryListTest, EmptyBeforeParserHasAnExpression)
{
    Engine fresh;
    fresh.StartEngine();
    ASSERT_EQ(fresh.LoadMemory("a", 1, QString()), LoadResult::Loaded);
    Calculator early(fresh, messages);
    EXPECT_TRUE(early.RefreshMemoryList(Calculator::RefreshMode::Complete));
    EXPECT_EQ(early.memoryList()->rowCount(), 0);
    fresh.PrimeParser();
    early.RefreshMemoryList(Calculator::RefreshMode::Complete);
    EXPECT_EQ(early.memoryList()->rowCount(), 1);
}

TEST_F(MemoryListTest, RecalculatesInOnePassByName)
{
    calculator.calculate("c = 0");
    calculator.calculate("@b = c+1");
    calculator.calculate("@a = b*2");
    EXPECT_EQ(values(), QStringList({"2", "1", "0"}));

    calculator.calculate("c = 10");
    EXPECT_EQ(values(), QStringList({"2", "11", "10"})); // a ran before b
    calculator.refreshAndReport();
    EXPECT_EQ(values(), QStringList({"22", "11", "10"}));
}

TEST_F(MemoryListTest, AssignmentBeforeRefreshShowsAtOnce)
{
    calculator.calculate("@d = 1");
    calculator.calculate("@c = d*2");
    calculator.calculate("@d = 4");
    EXPECT_EQ(values(), QStringList({"8", "4"}));
}

TEST_F(MemoryListTest, NameFirstMetInDerivationIsListedFromNextRefresh)
{
    engine.RecordDerivation("a", "a = fresh + 1", 0);
    calculator.calculate("a = 0");
    EXPECT_EQ(names(), QStringList{"a"});
    EXPECT_NE(engine.memory("fresh"), nullptr);
    calculator.refreshAndReport();
    EXPECT_EQ(names(), QStringList({"a", "fresh"}));
}

TEST_F(MemoryListTest, FilterAppliesFromNextRebuild)
{
    calculator.calculate("a = 1");
    calculator.calculate("b = 2");
    calculator.calculate("c = a + 1");
    calculator.setFilter(true);
    EXPECT_EQ(names(), QStringList({"a", "b", "c"})); // nothing rebuilt yet
    calculator.calculate("c = a + 1");
    EXPECT_EQ(names(), QStringList({"a", "c"}));
    // After priming (as after loading a file) the current expression has no variables.
    engine.PrimeParser();
    calculator.refreshAndReport();
    EXPECT_TRUE(names().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MemoryListTest, FilterUsesLastDerivationEvaluated)
{
    calculator.calculate("x = 3");
    calculator.calculate("@a = x * 2");
    calculator.calculate("q = 1"); // its rebuild re-evaluates a = x * 2 last
    calculator.setFilter(true);
    calculator.refreshAndReport();
    EXPECT_EQ(names(), QStringList({"a", "x"}));
}

TEST_F(MemoryListTest, FilterAfterFailedCalculationReportsOnceAndLeavesListEmpty)
{
    calculator.calculate("a = 1");
    calculator.setFilter(true);
    calculator.calculate("a +* 2");
    messages.shown.clear();
    calculator.refreshAndReport();
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(MemoryListTest, RefreshOutsideCalculateListsEveryRowAndReportsOnce)
{
    engine.LoadMemory("a", 1, "a = 1 +");
    engine.LoadMemory("b", 2, "b = 1 +");
    engine.LoadMemory("c", 3, QString());
    calculator.refreshAndReport();
    EXPECT_EQ(names(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(values(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(messages.shown, QStringList{"De ingevoerde expressie kan niet worden uitgerekend!"});
}

TEST_F(MemoryListTest, DeleteRemovesSelectedMemoriesAndRebuilds)
{
    calculator.calculate("a = 1");
    calculator.calculate("@b = 2");
    calculator.calculate("c = 3");
    calculator.deleteMemories({rowOf("a"), rowOf("b")});
    EXPECT_EQ(names(), QStringList{"c"});
    EXPECT_EQ(engine.memory("a"), nullptr);
    // The derivation record stays and applies again once the name is back.
    ASSERT_NE(engine.FindDerivation("b"), nullptr);
    calculator.calculate("b = 40");
    EXPECT_EQ(values(), QStringList({"2", "3"}));
    EXPECT_EQ(column(MemoryListModel::DerivationColumn), QStringList({"b = 2", ""}));

    calculator.deleteMemories({});
    EXPECT_EQ(names(), QStringList({"b", "c"}));
}

TEST_F(MemoryListTest, DeletedMemoryReadByDerivationComesBackAsZero)
{
    calculator.calculate("b = 5");
    calculator.calculate("@a = b*2");
    calculator.deleteMemories({rowOf("b")});
    EXPECT_EQ(names(), QStringList{"a"});
    EXPECT_EQ(*engine.memory("b"), 0.0);
    calculator.refreshAndReport();
    EXPECT_EQ(names(), QStringList({"a", "b"}));
    EXPECT_EQ(values(), QStringList({"0", "0"}));
}

TEST_F(MemoryListTest, RemovedDerivedMemoryGetsDerivationBackAfterPlainAssignment)
{
    calculator.calculate("b = 3");
    calculator.calculate("@a = b*2");
    calculator.deleteMemories({rowOf("a")});
    calculator.calculate("a = 5");
    EXPECT_EQ(calculator.resultField(), "5");
    EXPECT_EQ(values(), QStringList({"6", "3"}));
}

struct CopyCase {
    QString setup;
    QString expected;
    EditSelection selection;
};

void PrintTo(const CopyCase &c, std::ostream *out)
{
    PrintTo(c.setup, out);
}

class CopyDerivationTest : public MemoryListTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyDerivationTest, OffersDerivationOrAssignment)
{
    calculator.calculate(GetParam().setup);
    QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
    calculator.CopyDerivationToExpression(0);
    EXPECT_TRUE(calculator.resultField().isEmpty());
    EXPECT_FALSE(calculator.lastResult().isEmpty());
    ASSERT_EQ(fieldSet.count(), 1);
    EXPECT_EQ(fieldSet.at(0).at(0).toString(), GetParam().expected);
    EXPECT_EQ(fieldSet.at(0).at(1).value<EditSelection>(), GetParam().selection);
}

INSTANTIATE_TEST_SUITE_P(Rows, CopyDerivationTest,
                         ::testing::Values(CopyCase{"a = 2.5", "a=", EditSelection::CaretAtEnd},
                                           CopyCase{"@a = b*2", "@a = b*2", EditSelection::All}));

TEST_F(MemoryListTest, CopyDerivationOutsideRowsDoesNothing)
{
    calculator.calculate("a = 1");
    QSignalSpy fieldSet(&calculator, &Calculator::expressionFieldSet);
    QSignalSpy resultSet(&calculator, &Calculator::resultFieldChanged);
    calculator.CopyDerivationToExpression(-1);
    calculator.CopyDerivationToExpression(1);
    EXPECT_EQ(fieldSet.count(), 0);
    EXPECT_EQ(resultSet.count(), 0);
    EXPECT_EQ(calculator.resultField(), "1");
}

TEST(MemoryButtonsTest, FollowSelectionCount)
{
    struct Case {
        int selected;
        MemoryButtons expected;
    };
    for (const Case &c : {Case{0, {false, false}}, Case{1, {true, true}}, Case{2, {false, true}},
                          Case{500, {false, true}}}) {
        EXPECT_EQ(Calculator::UpdateMemoryButtons(c.selected), c.expected) << c.selected;
    }
}

} // namespace
