// The dialog in each language: the language chosen from the user's preferences, its texts
// translated, and its layout, checked from geometry and font metrics, with its icons and
// the order of the tab.
#include "dialogfixture.h"

namespace {

// Per language, in the order of the Language values: lists of the user's languages, most
// preferred first, that choose it; the texts it shares with English (all others must be
// translated); texts it must show, misspellings kept on purpose among them; and the left
// edge and width of the Clear history button in dialog units.
const std::tuple<QList<QStringList>, QStringList, QStringList, QString> Languages[] = {
    {{{}, {u"fr-FR"_s}, {u"C"_s, u"en-GB"_s, u"nl-NL"_s}},
     {},
     {u"&Expresssion"_s, u"Exit programm"_s, u"Read history en memories from a file"_s},
     u"263 50"_s},
    {{{u"nl-BE"_s, u"en-US"_s}, {u"C"_s, u"nl"_s}},
     {u"Korvel"_s},
     {u"&Expressie"_s, u"Automatische afleiding"_s},
     u"263 50"_s},
    {{{u"fr-FR"_s, u"de-AT"_s, u"nl-NL"_s}},
     {u"Name"_s},
     {u"Der Korvel"_s, u"&Nur Speicher des letzen Ausdruks zeigen (erneut berechnen notwendig)"_s,
      u"Eingabe der Berechnung/Ausdruk"_s,
      u"Verlauf, Speicherplátze und Ableitungsregel einlezen aus Datei"_s},
     u"253 60"_s},
};

} // namespace

// The parameter is the Language as a number, which test names and messages show plainly.
class LanguageLayoutTest : public DialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(LanguageLayoutTest, ShowsTheLanguagesTextsUnclippedInTheirPlaces)
{
    const Language language = Language(GetParam());
    const auto &[choices, shared, pinned, clearHistory] = Languages[GetParam()];
    for (const QStringList &preferences : choices)
        EXPECT_EQ(languageFor(preferences), language) << preferences.join(u',').toStdString();
    // The caption, every control's text, tip and accessible name and description, and the
    // memory list's headings.
    const auto texts = [this] {
        QStringList texts{m_program->dialog.windowTitle(), edit()->accessibleName()};
        for (const QWidget *control :
             m_program->dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            texts << control->property("text").toString() << control->toolTip()
                  << control->accessibleName() << control->accessibleDescription();
        for (int column = 0; column < 3; ++column)
            texts << memoryList()->model()->headerData(column, Qt::Horizontal).toString();
        texts.removeAll(QString());
        return texts;
    };
    open(Language::English);
    const QStringList english = texts();
    EXPECT_TRUE(m_translations.install(language)); // switched while the dialog is open
    QCoreApplication::sendPostedEvents();
    const QStringList switched = texts();
    open(language);
    const QStringList shown = texts();
    EXPECT_EQ(switched, shown);
    // A list view reads no tip by itself: the tip is its description.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(memoryList())->text(QAccessible::Description),
              memoryList()->toolTip());
    ASSERT_EQ(shown.size(), english.size());
    QStringList same;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (language != Language::English && shown[i] == english[i])
            same.append(shown[i]);
    }
    EXPECT_EQ(same, shared);
    for (const QString &text : pinned)
        EXPECT_TRUE(shown.contains(text)) << text.toStdString();

    EXPECT_FALSE(m_program->dialog.windowIcon().pixmap(16, 16).isNull());
    const QList<QWidget *> all =
        m_program->dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *control : all) {
        const qsizetype i = all.indexOf(control);
        EXPECT_TRUE(m_program->dialog.rect().contains(control->geometry())) << i;
        for (const QWidget *other : all.mid(i + 1))
            EXPECT_FALSE(control->geometry().intersects(other->geometry())) << i << " overlaps";
        // A button that shows only an icon draws it, and is announced by its tip.
        const auto *button = qobject_cast<const QPushButton *>(control);
        if (button && button->text().isEmpty()) {
            EXPECT_FALSE(button->icon().pixmap(16, 16).isNull()) << i;
            EXPECT_EQ(button->accessibleName(), button->toolTip()) << i;
        }
        const QString text = control->property("text").toString();
        if (text.isEmpty())
            continue;
        // The room for the text: inside a label's frame, beside a check box's indicator,
        // inside a push button's bevel.
        QSize room = control->contentsRect().size();
        if (const auto *label = qobject_cast<QLabel *>(control)) {
            // Bold, and level with the first line of the field it names.
            const QRect field = label->buddy() ? label->buddy()->geometry() : QRect();
            const int line = field.top() + std::min(field.height(), expression()->height());
            EXPECT_GE(QFontInfo(label->font()).weight(), int(QFont::Bold)) << i;
            EXPECT_LT(label->geometry().right(), field.left()) << i;
            EXPECT_GE(label->geometry().center().y(), field.top()) << i;
            EXPECT_LE(label->geometry().center().y(), line) << i;
        } else {
            QStyleOptionButton option;
            option.initFrom(control);
            const bool box = qobject_cast<QCheckBox *>(control);
            const auto element = box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
            room = control->style()->subElementRect(element, &option, control).size();
        }
        const QSize needed = control->fontMetrics().size(Qt::TextShowMnemonic, text);
        EXPECT_EQ(room.expandedTo(needed), room) << text.toStdString();
    }
    const QRect clear = control(Id::ClearHistory)->geometry();
    const double unit = m_program->dialog.width() / double(CCorvalinDlg::TemplateWidth);
    EXPECT_EQ(u"%1 %2"_s.arg(qRound(clear.x() / unit)).arg(qRound(clear.width() / unit)),
              clearHistory);
    // The tab follows the template from the expression field on, past Info, which waits for
    // a manual to open.
    for (const Id id : {Id::Result, Id::Copy, Id::Calculate, Id::ClearHistory, Id::MemoryList,
                        Id::Filter, Id::Save, Id::Open, Id::Out, Id::Expression}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(id)) << "tab to " << int(id);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageLayoutTest, ::testing::Range(0, 3), [](auto info) {
    return languageCode(Language(info.param)).toStdString();
});
