// The dialog in each language: the language chosen from the user's preferences, its texts,
// and its layout, checked from geometry and font metrics.
#include "dialogfixture.h"

namespace {

// Per language, in the order of the Language values: lists of the user's languages, most preferred
// first, that choose it; the caption, the controls' texts in template order, the memory list's
// headings and the left edge and width of the Clear history button in dialog units; and the tips
// of the expression field, the copy, pencil, waste bin, Calculate, Clear history, hidden Close
// button, the memory list, Open, Save, Info and Out.
// clang-format off
const std::tuple<QList<QStringList>, QString, QString> Languages[] = {
    {{{}, {u"fr-FR"_s}, {u"C"_s, u"en-GB"_s, u"nl-NL"_s}},
     u"Korvel|&Expresssion|&Result|&Calculate|&Clear history|&Memories|&Show results of last "
     u"calculation only (requires recalculation)|&Close|Name|Value|Automatic calculation|263 50"_s,
     u"Enter the expression to be calculated|Copy the result to the clipboard. Shift: expression "
     u"plus result|Copy the formula to the expression control|Delete the selected memory|Calculate, "
     u"evaluate the expression|Clear expression history|Close the calculator|All existing memory "
     u"values. Double click to copy to expression edit control|Read history en memories from a "
     u"file|Save all history en memories in a file|Show manual|Exit programm"_s},
    {{{u"nl-BE"_s, u"en-US"_s}, {u"C"_s, u"nl"_s}},
     u"Korvel|&Expressie|&Resultaat|&Berekenen|&Wis historie|&Geheugens|&Alleen geheugens van "
     u"laatste expressie tonen (vereist opnieuw berekenen)|&Sluiten|Naam|Waarde|"
     u"Automatische afleiding|263 50"_s,
     u"Voer hier de expressie/berekening in.|Kopieer het resultaat naar het klembord. Shift: "
     u"expressie plus resultaat|Kopieer de geselecteerde afleidingsregel naar de expressie-invoer.|"
     u"Verwijder de geselecteerde geheugenwaarde (waarde en afleidingsregel).|Voer de berekening "
     u"uit (evalueer de ingevoerde expressie).|Maak de historie van expressies leeg.|Sluit de "
     u"rekenmachine.|Alle gebruikte geheugens. Dubbelklik om naar expressie te kopiëren.|Historie, "
     u"geheugens en afleidingen inlezen uit een bestand.|Historie, geheugens en afleidingen opslaan "
     u"in een bestand.|Handleiding raadplegen|Sluit de rekenmachine"_s},
    {{{u"fr-FR"_s, u"de-AT"_s, u"nl-NL"_s}},
     u"Der Korvel|&Ausdruck|&Resultat|&Rechnen|&Verlauf löschen|&Speicher|&Nur Speicher des "
     u"letzen Ausdruks zeigen (erneut berechnen notwendig)|&Schließen|Name|Wert|"
     u"Automatische Ableitung|253 60"_s,
     u"Eingabe der Berechnung/Ausdruk|Resultat in Zwischenablage kopieren. Mit Shift: Ausdruk plus "
     u"Resultat|Ableitungsregel in Eingabefeld Ausdruck kopieren|Speicherplatz entfernen|Ausdruck "
     u"auswerten/berechnen|Verlauf von Ausdrücke leeren|Taschenrechner schließen|Alle verwendete "
     u"Speicherplätze. Doppelklick zum kopieren|Verlauf, Speicherplátze und Ableitungsregel "
     u"einlezen aus Datei|Verlauf, Speicherplátze und Ableitungsregel speichern in Datei|Anleitung "
     u"zeigen|Taschenrechner schließen"_s},
};
// clang-format on

} // namespace

// The parameter is the Language as a number, which test names and messages show plainly.
class LanguageLayoutTest : public DialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(LanguageLayoutTest, ShowsTheLanguagesTextsUnclippedInTheirPlaces)
{
    const Language language = Language(GetParam());
    const auto &[choices, texts, tips] = Languages[GetParam()];
    for (const QStringList &preferences : choices)
        EXPECT_EQ(languageFor(preferences), language) << preferences.join(u',').toStdString();
    open(language);

    QStringList shown{m_program->dialog.windowTitle()};
    const QList<QWidget *> all =
        m_program->dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *control : all) {
        const qsizetype i = all.indexOf(control);
        EXPECT_TRUE(m_program->dialog.rect().contains(control->geometry())) << i;
        for (const QWidget *other : all.mid(i + 1))
            EXPECT_FALSE(control->geometry().intersects(other->geometry())) << i << " overlaps";
        const QString text = control->property("text").toString();
        if (text.isEmpty())
            continue;
        shown.append(text);
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
    for (int column = 0; column < 3; ++column)
        shown.append(memoryList()->model()->headerData(column, Qt::Horizontal).toString());
    const QRect clear = control(Id::ClearHistory)->geometry();
    const double unit = m_program->dialog.width() / double(CCorvalinDlg::TemplateWidth);
    shown.append(u"%1 %2"_s.arg(qRound(clear.x() / unit)).arg(qRound(clear.width() / unit)));
    EXPECT_EQ(shown.join(u'|'), texts);

    // A button that shows only an icon is announced by its tip.
    QStringList tipsShown;
    for (const Id id :
         {Id::Expression, Id::Copy, Id::CopyDerivation, Id::Delete, Id::Calculate, Id::ClearHistory,
          Id::Cancel, Id::MemoryList, Id::Open, Id::Save, Id::Info, Id::Out}) {
        tipsShown.append(control(id)->toolTip());
        const auto *button = qobject_cast<const QPushButton *>(control(id));
        if (button && button->text().isEmpty()) {
            EXPECT_EQ(button->accessibleName(), button->toolTip()) << int(id);
        }
    }
    EXPECT_EQ(tipsShown.join(u'|'), tips);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageLayoutTest, ::testing::Range(0, 3), [](auto info) {
    return languageCode(Language(info.param)).toStdString();
});
