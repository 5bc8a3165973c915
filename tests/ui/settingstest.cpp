// State kept between runs: the dialog writes the settings file when it closes and the
// next dialog reads it back, through real QSettings files in a temporary folder.
#include "dialogfixture.h"

#include "persistence/calculatordatafile.h"
#include "persistence/textdatafile.h"

// Every way of closing writes the store once, and the next run finds the work there: the
// history, the text typed over the selection but never calculated, selected again, and the
// memories, c bit for bit (the result below is exactly 0 only then) and a with its
// derivation, which still applies.
TEST_F(DialogTest, EveryWayOfClosingKeepsTheWorkOnceForTheNextRun)
{
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Esc", [this] { QTest::keyClick(expression(), Qt::Key_Escape); }},
        {"close box", [this] { m_program->dialog.close(); }},
        {"Out", [this] { QTest::mouseClick(control(Id::Out), Qt::LeftButton); }},
    };
    const QString kept = settingsFile() + u".kept"_s;
    for (const auto &[name, close] : ways) {
        open();
        for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s, u"c = 1/3"_s, u"1/3"_s})
            calculate(text);
        QTest::keyClicks(expression(), u"a*b"_s);
        close();
        EXPECT_TRUE(QFile::rename(settingsFile(), kept)) << name << ": not written";
        // Whatever else asks the ended dialog to close lets it go and writes nothing more.
        EXPECT_TRUE(m_program->dialog.close()) << name;
        m_program->dialog.closeCommand();
        m_store->sync();
        EXPECT_FALSE(QFile::exists(settingsFile())) << name << ": written twice";
        QFile::rename(kept, settingsFile());

        open();
        EXPECT_EQ(history(), (QStringList{u"1/3"_s, u"c = 1/3"_s, u"b = a + 1"_s, u"@a = 3*4"_s}));
        EXPECT_EQ(std::pair(edit()->text(), edit()->selectedText()), std::pair(u"a*b"_s, u"a*b"_s));
        EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s,
                                           u"c | 0,333333333333333 | "_s}));
        calculate(u"a = c*3 - 1"_s);
        EXPECT_EQ(std::pair(resultField()->text(), memories().value(0)),
                  std::pair(u"0"_s, u"a | 12 | a = 3*4"_s));
    }
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

// Save and Open from the buttons and from their keys, wherever the focus is, with the
// chooser answered by a script: the work comes back in another run, and an expression
// longer than a line edit keeps by default comes back whole and is saved whole.
TEST_F(DialogTest, DataFilesCarryTheWorkToAnotherRun)
{
    using enum FileChooser::Purpose;
    const QTemporaryDir folder;
    const QByteArray longFile = writeCalculatorDataFile({u"1+"_s.repeated(20000), {}, {}});
    ASSERT_TRUE(writeWholeFile(folder.filePath(u"long.cdf"_s), longFile));
    for (const char *name : {"work.CSV", "work.CSV", "long.cdf", "again.cdf"})
        m_files.answers.append(folder.filePath(QLatin1String(name)));
    open();
    for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s})
        calculate(text);
    QTest::mouseClick(control(Id::Save), Qt::LeftButton);

    QFile::remove(settingsFile());
    open(Language::German);
    QTest::keyClick(expression(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(std::pair(edit()->text(), history()),
              std::pair(u"b = a + 1"_s, QStringList{u"b = a + 1"_s, u"@a = 3*4"_s}));
    EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s}));

    QTest::mouseClick(control(Id::Open), Qt::LeftButton);
    QTest::keyClick(memoryList(), Qt::Key_S, Qt::ControlModifier);
    // The text comes first in the file, before the history and memory counts (8 bytes).
    QFile again(folder.filePath(u"again.cdf"_s));
    EXPECT_TRUE(again.open(QIODevice::ReadOnly) && again.readAll().startsWith(longFile.chopped(8)));
    EXPECT_EQ(m_files.asked, (QList{Save, Open, Open, Save}));
    EXPECT_TRUE(m_messages.shown.isEmpty());
}
