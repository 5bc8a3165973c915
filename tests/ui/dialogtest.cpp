// The main dialog driven as a user drives it: keys, clicks and double-clicks.
#include "dialogfixture.h"

#include "persistence/calculatordatafile.h"
#include "persistence/textdatafile.h"
#include "ui/caboutdlg.h"
#include "ui/messageboxmessages.h"

#include <QMenu>

#include <gtest/gtest-spi.h>

#include <cstdio>

#include <unistd.h>

// A calculation that ran twice would report its error twice. The combo box must neither
// insert the typed text itself nor complete it into an older entry; typing and picking
// empty the result, changes of the history underneath do not.
TEST_F(DialogTest, EnterCalculatesOnceIntoAHistoryWithoutDuplicates)
{
    open();
    calculate(u"3+"_s);
    EXPECT_EQ(m_messages.shown, QList{Message::CannotEvaluate});

    for (const QString &text : {u"A+1"_s, u"a+1"_s, u"a"_s, u"1+1"_s, u"2+2"_s, u" 1+1 "_s})
        calculate(text);
    EXPECT_EQ(history(), (QStringList{u"1+1"_s, u"2+2"_s, u"a"_s, u"a+1"_s, u"3+"_s}));
    EXPECT_EQ(fields(), std::pair(u"1+1"_s, u"2"_s));
    QTest::keyClick(expression(), Qt::Key_Down);
    EXPECT_EQ(fields(), std::pair(u"2+2"_s, QString()));
    resultField()->setText(u"kept"_s);
    QTest::keyClick(expression(), Qt::Key_Backspace);
    EXPECT_EQ(fields(), std::pair(u"2+"_s, QString()));
    resultField()->setText(u"kept"_s);
    m_program->calculator.history()->insertTop(u"9-1"_s);
    m_program->calculator.history()->removeAt(1); // a row above the current one
    EXPECT_EQ(fields(), std::pair(u"2+"_s, u"kept"_s));
    QTest::mouseClick(control(Id::ClearHistory), Qt::LeftButton);
    EXPECT_EQ(std::pair(history(), fields()),
              std::pair(QStringList(), std::pair(u"2+"_s, QString())));

    // Each result, the same one twice too, shows anew the notification that screen readers
    // speak, named by the result.
    struct ShowCounter : QObject {
        int shows = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            shows += event->type() == QEvent::Show;
            return false;
        }
    } counter;
    QWidget *notice = nullptr;
    for (QWidget *child : resultField()->findChildren<QWidget *>()) {
        if (QAccessible::queryAccessibleInterface(child)->role() == QAccessible::Notification)
            notice = child;
    }
    ASSERT_TRUE(notice);
    notice->installEventFilter(&counter);
    calculate(u"6*7"_s);
    calculate(u"6*7"_s);
    EXPECT_EQ(std::tuple(counter.shows, notice->accessibleName(), notice->isVisible()),
              std::tuple(2, u"42"_s, true));
}

TEST_F(DialogTest, MemoryListOffersMemoriesForEditingAndDeletes)
{
    open();
    const auto buttons = [this] {
        return std::pair(control(Id::CopyDerivation)->isEnabled(),
                         control(Id::Delete)->isEnabled());
    };
    // Clicks on row `row`, counted on past the last one; the second press of a double-click
    // arrives as the double-click event itself.
    const auto click = [this](int row, Qt::KeyboardModifiers modifiers = {}, bool twice = false) {
        const QRect first = memoryList()->visualRect(memoryList()->model()->index(0, 1));
        const QPoint where = first.center() + QPoint(0, row * first.height());
        QTest::mouseClick(memoryList()->viewport(), Qt::LeftButton, modifiers, where);
        if (twice)
            QTest::mouseDClick(memoryList()->viewport(), Qt::LeftButton, modifiers, where);
    };
    EXPECT_EQ(buttons(), std::pair(false, false));
    for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s, u"c = 5"_s})
        calculate(text);
    EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s, u"c | 5 | "_s}));
    click(0);
    EXPECT_EQ(buttons(), std::pair(true, true));
    QTest::mouseClick(control(Id::CopyDerivation), Qt::LeftButton);
    EXPECT_EQ(edit()->selectedText(), u"@a = 3*4"_s);
    click(2, Qt::ControlModifier);
    EXPECT_EQ(buttons(), std::pair(false, true));
    QTest::keyClick(control(Id::Calculate), Qt::Key_Delete); // the list's key only there
    EXPECT_EQ(memories().size(), 3);
    QTest::keyClick(memoryList(), Qt::Key_Delete); // as the waste bin
    const std::pair onlyB(QStringList{u"b | 13 | "_s}, static_cast<QWidget *>(memoryList()));
    EXPECT_EQ(std::pair(memories(), QApplication::focusWidget()), onlyB);
    EXPECT_EQ(buttons(), std::pair(false, false));

    calculate(u"@a = 3*4"_s);
    click(0, {}, true);
    EXPECT_EQ(edit()->text(), u"@a = 3*4"_s);
    click(1, {}, true);
    EXPECT_EQ(std::pair(edit()->text(), edit()->cursorPosition()), std::pair(u"b="_s, 2));
    EXPECT_FALSE(edit()->hasSelectedText());
    EXPECT_EQ(QApplication::focusWidget(), expression());
    click(0);
    QTest::keyClick(memoryList(), Qt::Key_Delete);
    EXPECT_EQ(std::pair(memories(), QApplication::focusWidget()), onlyB);

    // A value that its column cuts short shows whole as its tip; one that fits, the list's.
    calculate(u"c = 1/3"_s);
    const auto tip = [this](int row) {
        const QPoint at = memoryList()->visualRect(memoryList()->model()->index(row, 1)).center();
        QHelpEvent help(QEvent::ToolTip, at, memoryList()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(memoryList()->viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(std::pair(tip(0), tip(1)),
              std::pair(memoryList()->toolTip(), u"0,333333333333333"_s));
}

// The copy button takes the calculator's last texts, whatever the fields show, and the
// Shift key as it is at the click.
TEST_F(DialogTest, CopyPutsTheLastResultOrWithShiftTheCalculation)
{
    open();
    const auto copy = [this](bool shift) {
        m_keyboard.shift = shift;
        QTest::mouseClick(control(Id::Copy), Qt::LeftButton);
    };
    calculate(u"1.5*2"_s);
    copy(true);
    calculate(u"1/4"_s);
    QTest::keyClicks(expression(), u"7"_s); // empties the result field, not the last result
    QTest::mouseClick(control(Id::ClearHistory), Qt::LeftButton); // and so does this
    copy(false);
    calculate(u"3+"_s);
    copy(false); // nothing after a failure
    copy(true);
    EXPECT_EQ(m_clipboard.texts, QStringList({"1.5*2 = 3", "0,25", "3+ = "}));
}

// The Info button, and F1, look beside the program for its own name, "pellix" and the
// language's manual, and open the first of them in the opposite order.
TEST_F(DialogTest, InfoOpensTheFirstManualFound)
{
    // The files beside the program "kalk" (empty: a file of no bytes; gone: a link to
    // nothing, which not even root, whom no mode stops, can open), the language, and the
    // manual opened.
    const std::tuple<const char *, Language, const char *> rows[] = {
        {"", Language::English, ""},
        {"calc_manual_nl.pdf", Language::English, ""},
        {"calc_manual_en.pdf pellix.pdf kalk.pdf", Language::English, "calc_manual_en.pdf"},
        {"pellix.pdf kalk.pdf calc_manual_en.pdf", Language::Dutch, "pellix.pdf"},
        {"kalk.pdf", Language::German, "kalk.pdf"},
        {"empty:calc_manual_de.pdf", Language::German, "calc_manual_de.pdf"},
        {"gone:calc_manual_nl.pdf", Language::Dutch, ""},
    };
    for (const auto &[files, language, opened] : rows) {
        const QTemporaryDir folder;
        for (const QString &file : QString::fromLatin1(files).split(u' ', Qt::SkipEmptyParts)) {
            const QString name = file.section(u':', -1);
            if (file.startsWith(u"gone"_s))
                QFile::link(folder.filePath(u"gone"_s), folder.filePath(name));
            else if (QFile out(folder.filePath(name)); out.open(QIODevice::WriteOnly))
                out.write(file.startsWith(u"empty"_s) ? "" : "%PDF-1.4\n");
        }
        m_programPath = folder.filePath(u"kalk"_s);
        m_documents.opened.clear();
        open(language);
        const QString manual = QLatin1StringView(opened);
        EXPECT_EQ(control(Id::Info)->isEnabled(), !manual.isEmpty()) << files;
        control<QPushButton>(Id::Info)->click();
        QTest::keyClick(memoryList(), Qt::Key_F1);
        EXPECT_EQ(m_documents.opened,
                  manual.isEmpty() ? QStringList() : QStringList(2, folder.filePath(manual)))
            << files;
    }
    // A manual that comes after the start leaves Info greyed out, and F1 with it.
    const QTemporaryDir folder;
    m_programPath = folder.filePath(u"kalk"_s);
    open();
    QFile late(folder.filePath(u"kalk.pdf"_s));
    EXPECT_TRUE(late.open(QIODevice::WriteOnly) && late.write("%PDF-1.4\n") && late.flush());
    m_documents.opened.clear();
    QTest::keyClick(edit(), Qt::Key_F1);
    EXPECT_EQ(m_documents.opened, QStringList());
}

// Files from outside (the command line, another start, a drop) open in order as Open opens
// them, messages included, but wait while a modal box is up; each merges into what is there,
// its history appended even where the same entries are. A drop is a copy, onto a field too;
// a drag of anything but local files is refused.
TEST_F(DialogTest, FilesFromOutsideOpenInOrderOnceNoBoxWaits)
{
    const QTemporaryDir folder;
    const auto path = [&folder](const char *name) { return folder.filePath(QLatin1String(name)); };
    const CalculatorState a{u"a"_s, {u"a"_s}, {}}, b{u"b"_s, {u"b"_s}, {}}, c{u"c"_s, {u"c"_s}, {}};
    writeWholeFile(path("a.cdf"), writeCalculatorDataFile(a));
    // b's name is not UTF-8: a drop keeps its bytes. Qt cannot remove it with the folder.
    const QByteArray strange = QFile::encodeName(folder.path()) + "/b\xff.csv";
    writeWholeFile(path("b.csv"), writeTextDataFile(b));
    ::rename(QFile::encodeName(path("b.csv")).constData(), strange.constData());
    const auto removeStrange = qScopeGuard([&strange] { ::unlink(strange.constData()); });
    const QUrl bUrl =
        QUrl::fromEncoded(QUrl::fromLocalFile(folder.path()).toEncoded() + "/b%FF.csv");
    writeWholeFile(path("cut.cdf"), writeCalculatorDataFile(c).chopped(1));
    open();
    m_program->dialog.hide(); // as before the start-up shows it
    m_program->intake.open(
        {path("a.cdf"), folder.path(), path("absent.cdf"), path("a.cdf"), path("cut.cdf")});
    QCoreApplication::processEvents();
    EXPECT_EQ(history(), QStringList());
    m_guard.stop(); // the box is expected here
    m_program->dialog.show();
    QDialog box(&m_program->dialog);
    box.setModal(true);
    box.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(history(), QStringList());
    box.hide(); // its end alone resumes the waiting files
    QCoreApplication::processEvents();
    EXPECT_EQ(history(), (QStringList{u"a"_s, u"a"_s, u"c"_s}));
    // A drag onto `target`, dropped there when taken: whether it was, and as what.
    const auto drag = [](QWidget *target, const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), actions, &data, Qt::LeftButton, {});
        if (QApplication::sendEvent(target, &enter) && enter.isAccepted())
            QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    };
    EXPECT_EQ(drag(edit(), {bUrl}), Qt::CopyAction);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::pair(history(), edit()->text()),
              std::pair(QStringList{u"a"_s, u"a"_s, u"c"_s, u"b"_s}, u"b"_s));
    EXPECT_EQ(m_messages.shown, QList{Message::UnexpectedEndOfFile});
    const QList<QUrl> mixed{bUrl, QUrl(u"https://a.org/b.csv"_s)};
    EXPECT_EQ(std::pair(m_program->dialog.acceptDrops(), drag(&m_program->dialog, mixed)),
              std::pair(true, Qt::IgnoreAction));
}

// The About item of the context menu shows the box, in the interface language; OK closes
// it and leaves the dialog open. Shift+F10 opens the menu that the menu key opens: that one
// on a button and on the dialog, a field's own edit menu on a field.
TEST_F(DialogTest, AboutBoxOpensFromTheMenuAndCloses)
{
    open(Language::Dutch);
    m_guard.stop(); // the box and the menu are expected here
    QStringList seen;
    QTimer::singleShot(50, [&seen] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        seen.append(menu->actions().value(0)->text());
        QTimer::singleShot(50, [&seen] {
            if (auto *box = qobject_cast<CAboutDlg *>(QApplication::activeModalWidget())) {
                seen << box->windowTitle()
                     << box->control<QLabel>(CAboutDlg::ControlId::Version)->text();
                box->control<QPushButton>(CAboutDlg::ControlId::Ok)->click();
            }
        });
        menu->setActiveAction(menu->actions().value(0));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            m_program->dialog.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&m_program->dialog, &click);
    EXPECT_EQ(seen, (QStringList{u"&Over Korvel..."_s, u"Over Korvel"_s,
                                 u"Versie "_s + QCoreApplication::applicationVersion()}));
    EXPECT_TRUE(m_program->dialog.isVisible());
    QWidget *dialog = &m_program->dialog;
    for (const auto &[focus, owner] :
         {std::pair<QWidget *, QWidget *>(control(Id::Calculate), dialog),
          {dialog, dialog},
          {expression(), edit()}}) {
        QWidget *opened = nullptr;
        QTimer::singleShot(50, [&opened] {
            if (QWidget *menu = QApplication::activePopupWidget()) {
                opened = menu->parentWidget();
                menu->close();
            }
        });
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(QTest::qWaitFor([&opened] { return opened; }, 1000));
        EXPECT_EQ(opened, owner);
    }
}

// The words of each message, in Dutch in every language, under a title that Qt leaves as
// the program's name alone (it appends the display name to any other title). Without the
// guard a message box would hang the test; at the end of a run no box opens at all.
TEST(MessageBoxTest, ShowsTheFixedTextUnderTheProgramsName)
{
    const std::pair<Message, QString> table[] = {
        {Message::CannotEvaluate, u"De ingevoerde expressie kan niet worden uitgerekend!"_s},
        {Message::MemoryPoolFull, u"Maximaal aantal geheugens bereikt!"_s},
    };
    ASSERT_EQ(QGuiApplication::applicationDisplayName(), u"Korvel"_s);
    ModalGuard guard;
    MessageBoxMessages messages;
    for (const auto &[message, text] : table)
        EXPECT_NONFATAL_FAILURE(messages.show(message), (u"\"Korvel\": "_s + text).toStdString());
    messages.endRun();
    messages.show(Message::CannotEvaluate);
}
