// The main dialog driven as a user drives it: keys, clicks and double-clicks.
#include "dialogfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest-spi.h>

#include <functional>

using namespace Qt::StringLiterals;

TEST_F(DialogTest, OpensReadyForTyping)
{
    open();
    EXPECT_EQ(QApplication::focusWidget(), expression());
    EXPECT_FALSE(button(Id::CopyDerivation)->isEnabled());
    EXPECT_FALSE(button(Id::Delete)->isEnabled());
    for (const Id id :
         {Id::Calculate, Id::ClearHistory, Id::Copy, Id::Save, Id::Open, Id::Out, Id::Info})
        EXPECT_TRUE(control(id)->isEnabled()) << int(id);
    EXPECT_FALSE(control(Id::Cancel)->isVisible());
    EXPECT_TRUE(button(Id::Calculate)->isDefault());

    const Qt::WindowFlags flags = m_dialog->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST_F(DialogTest, EnterCalculatesOnceAndShowsTheResult)
{
    open();
    QSignalSpy clicks(button(Id::Calculate), &QPushButton::clicked);
    calculate(u"1/3"_s);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(resultField()->text(), u"0,333333333333333"_s);
    EXPECT_EQ(history(), QStringList{u"1/3"_s});
    EXPECT_EQ(expressionEdit()->selectedText(), u"1/3"_s);
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

TEST_F(DialogTest, ListsMemoriesWithTheirDerivations)
{
    open();
    calculate(u"@a = 3*4"_s);
    calculate(u"b = a + 1"_s);
    EXPECT_EQ(memoryColumn(0), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(memoryColumn(1), (QStringList{u"12"_s, u"13"_s}));
    EXPECT_EQ(memoryColumn(2), (QStringList{u"a = 3*4"_s, QString()}));
}

TEST_F(DialogTest, SyntaxErrorIsReportedAndKeptSelected)
{
    open();
    calculate(u"3+"_s);
    EXPECT_EQ(m_messages.shown,
              QStringList{u"De ingevoerde expressie kan niet worden uitgerekend!"_s});
    EXPECT_EQ(history().value(0), u"3+"_s);
    EXPECT_EQ(expressionEdit()->text(), u"3+"_s);
    EXPECT_EQ(expressionEdit()->selectedText(), u"3+"_s);
}

// The combo box must neither insert the typed text itself, nor complete it into an older
// entry, nor swap it for an entry that differs only in letter case; after each command
// the field shows the calculated text.
TEST_F(DialogTest, HistoryHoldsEachExpressionOnceNewestFirst)
{
    const struct {
        QStringList typed;
        QStringList history;
    } cases[] = {
        {{u"1+1"_s, u"1+1"_s}, {u"1+1"_s}},
        {{u"1+1"_s, u"2+2"_s, u"1+1"_s}, {u"1+1"_s, u"2+2"_s}},
        {{u"A+1"_s, u"a+1"_s}, {u"a+1"_s}},
        {{u"a+1"_s, u"a"_s}, {u"a"_s, u"a+1"_s}},
    };
    for (const auto &c : cases) {
        open();
        for (const QString &text : c.typed)
            calculate(text);
        EXPECT_EQ(history(), c.history) << c.typed.join(u" | ").toStdString();
        EXPECT_EQ(expressionEdit()->text(), c.typed.last());
        EXPECT_EQ(expressionEdit()->selectedText(), c.typed.last());
    }
}

TEST_F(DialogTest, UserChangesEmptyTheResultField)
{
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"typing",
         [this] {
             QTest::keyClick(expression(), Qt::Key_End);
             QTest::keyClicks(expression(), u"0"_s);
         }},
        {"backspace", [this] { QTest::keyClick(expression(), Qt::Key_Backspace); }},
        {"arrow to the older entry", [this] { QTest::keyClick(expression(), Qt::Key_Down); }},
        {"picking from the list",
         [this] {
             expression()->showPopup();
             QAbstractItemView *list = expression()->view();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
             const QRect older = list->visualRect(list->model()->index(1, 0));
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, older.center());
         }},
    };
    for (const auto &[name, act] : actions) {
        open();
        calculate(u"2*3"_s);
        calculate(u"1+1"_s);
        ASSERT_EQ(resultField()->text(), u"2"_s);
        act();
        EXPECT_EQ(resultField()->text(), QString()) << name;
    }
}

TEST_F(DialogTest, PickingAnEntryShowsIt)
{
    open();
    calculate(u"2*3"_s);
    calculate(u"1+1"_s);
    QTest::keyClick(expression(), Qt::Key_Down);
    EXPECT_EQ(expressionEdit()->text(), u"2*3"_s);
    calculate(expressionEdit()->text());
    EXPECT_EQ(history(), (QStringList{u"2*3"_s, u"1+1"_s}));
    EXPECT_EQ(resultField()->text(), u"6"_s);
}

// The history changes as loading or the Open command change it: the text being typed and
// the result stay.
TEST_F(DialogTest, HistoryChangesLeaveTheFieldsAlone)
{
    open();
    calculate(u"1+1"_s);
    QTest::keyClicks(expression(), u"7*"_s);
    resultField()->setText(u"kept"_s);
    HistoryModel *model = m_dialog->calculator().history();
    model->insertTop(u"9-1"_s);
    model->removeAt(1);
    model->clear();
    model->insertTop(u"5/5"_s);
    EXPECT_EQ(expressionEdit()->text(), u"7*"_s);
    EXPECT_EQ(resultField()->text(), u"kept"_s);
}

TEST_F(DialogTest, ClearHistoryKeepsTheTypedText)
{
    open();
    calculate(u"1+1"_s);
    calculate(u"2+2"_s);
    QTest::keyClicks(expression(), u"3*"_s);
    QTest::mouseClick(button(Id::ClearHistory), Qt::LeftButton);
    EXPECT_EQ(history(), QStringList());
    EXPECT_EQ(expressionEdit()->text(), u"3*"_s);
    EXPECT_EQ(resultField()->text(), QString());
}

TEST_F(DialogTest, EveryWayOfClosingRunsTheCloseCommandOnce)
{
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Esc", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
        {"close box", [this] { m_dialog->close(); }},
        {"Out", [this] { QTest::mouseClick(button(Id::Out), Qt::LeftButton); }},
        {"hidden Close", [this] { button(Id::Cancel)->click(); }},
    };
    for (const auto &[name, close] : ways) {
        open();
        QSignalSpy finished(m_dialog.get(), &QDialog::finished);
        close();
        EXPECT_FALSE(m_dialog->isVisible()) << name;
        // A close request from the window system to the dialog that has ended.
        QCloseEvent request;
        QApplication::sendEvent(m_dialog.get(), &request);
        EXPECT_TRUE(request.isAccepted()) << name;
        EXPECT_EQ(finished.size(), 1) << name;
        EXPECT_EQ(m_dialog->result(), QDialog::Rejected) << name;
    }
}

TEST_F(DialogTest, MemoryButtonsFollowTheSelection)
{
    open();
    for (const QString &text : {u"a=1"_s, u"b=2"_s, u"c=3"_s})
        calculate(text);
    const auto state = [this] {
        return std::pair(button(Id::CopyDerivation)->isEnabled(), button(Id::Delete)->isEnabled());
    };
    EXPECT_EQ(state(), std::pair(false, false));
    clickMemoryRow(0);
    EXPECT_EQ(state(), std::pair(true, true));
    clickMemoryRow(2, Qt::ControlModifier);
    EXPECT_EQ(state(), std::pair(false, true));
    clickMemoryRow(2, Qt::ControlModifier);
    EXPECT_EQ(state(), std::pair(true, true));
    calculate(u"d=4"_s);
    EXPECT_EQ(state(), std::pair(false, false));
}

TEST_F(DialogTest, DoubleClickAndCopyButtonOfferAMemoryForEditing)
{
    open();
    calculate(u"@a = 3*4"_s);
    calculate(u"b = a + 1"_s);
    QAbstractItemView *list = memoryList();
    // The second press of a double-click arrives as the double-click event itself.
    const auto doubleClick = [list](QPoint where) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
    };

    doubleClick(list->visualRect(list->model()->index(1, 1)).center());
    EXPECT_EQ(expressionEdit()->text(), u"b="_s);
    EXPECT_EQ(expressionEdit()->cursorPosition(), 2);
    EXPECT_FALSE(expressionEdit()->hasSelectedText());
    EXPECT_EQ(resultField()->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), expression());

    doubleClick(list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(expressionEdit()->text(), u"@a = 3*4"_s);

    QTest::keyClicks(expression(), u"x"_s);
    resultField()->setText(u"kept"_s);
    const QRect last = list->visualRect(list->model()->index(1, 0));
    doubleClick(QPoint(last.center().x(), last.bottom() + last.height()));
    EXPECT_EQ(expressionEdit()->text(), u"x"_s);
    EXPECT_EQ(resultField()->text(), u"kept"_s);

    clickMemoryRow(0);
    QTest::mouseClick(button(Id::CopyDerivation), Qt::LeftButton);
    EXPECT_EQ(expressionEdit()->text(), u"@a = 3*4"_s);
    EXPECT_EQ(expressionEdit()->selectedText(), u"@a = 3*4"_s);
}

TEST_F(DialogTest, DeleteRemovesEverySelectedMemory)
{
    open();
    for (const QString &text : {u"a=1"_s, u"b=2"_s, u"c=3"_s})
        calculate(text);
    clickMemoryRow(0);
    clickMemoryRow(2, Qt::ControlModifier);
    QTest::mouseClick(button(Id::Delete), Qt::LeftButton);
    EXPECT_EQ(memoryColumn(), QStringList{u"b"_s});
    EXPECT_EQ(m_engine->memory(u"a"_s), nullptr);
    EXPECT_EQ(m_engine->memory(u"c"_s), nullptr);
    EXPECT_FALSE(button(Id::Delete)->isEnabled());
}

TEST_F(DialogTest, FilterLimitsTheNextRebuild)
{
    open();
    calculate(u"a=1"_s);
    calculate(u"b=2"_s);
    QTest::mouseClick(control(Id::Filter), Qt::LeftButton);
    EXPECT_TRUE(m_dialog->calculator().filter());
    EXPECT_EQ(memoryColumn(), (QStringList{u"a"_s, u"b"_s}));
    calculate(u"b*3"_s);
    EXPECT_EQ(memoryColumn(), QStringList{u"b"_s});
}

TEST_F(DialogTest, TabFollowsTheTemplateOrder)
{
    open();
    const Id expected[] = {Id::Result,     Id::Copy,   Id::Calculate, Id::ClearHistory,
                           Id::MemoryList, Id::Filter, Id::Save,      Id::Open,
                           Id::Out,        Id::Info,   Id::Expression};
    for (const Id id : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(id)) << int(id);
    }
}

TEST_F(DialogTest, LabelMnemonicsFocusTheirFields)
{
    open();
    const std::pair<Qt::Key, Id> mnemonics[] = {
        {Qt::Key_M, Id::MemoryList}, {Qt::Key_R, Id::Result}, {Qt::Key_E, Id::Expression}};
    for (const auto &[key, id] : mnemonics) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), control(id)) << int(id);
    }
}

TEST_F(DialogTest, IconsRender)
{
    open();
    const auto drawn = [](const QIcon &icon) {
        const QImage image = icon.pixmap(16, 16).toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0)
                    return true;
        return false;
    };
    EXPECT_TRUE(drawn(m_dialog->windowIcon()));
    for (const Id id :
         {Id::Copy, Id::CopyDerivation, Id::Delete, Id::Save, Id::Open, Id::Out, Id::Info}) {
        EXPECT_TRUE(drawn(button(id)->icon())) << int(id);
        EXPECT_TRUE(button(id)->text().isEmpty()) << int(id);
    }
}

namespace {
// Stands outside the fixture: it checks that the guard itself fails a test.
void openUnexpectedMessageBox()
{
    ModalGuard guard;
    QMessageBox box(QMessageBox::Warning, u"t"_s, u"unexpected"_s, QMessageBox::Ok);
    box.exec();
}
} // namespace

TEST(ModalGuardTest, FailsOnAModalDialogAndClosesIt)
{
    EXPECT_NONFATAL_FAILURE(openUnexpectedMessageBox(), "unexpected modal dialog");
}
