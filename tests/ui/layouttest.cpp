// The dialog's texts and layout in each language, checked from geometry and font metrics.
#include "dialogfixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

struct Texts {
    Language language;
    QString title, expression, result, memories, calculate, clearHistory, filter, close;
    QString name, value, derivation;
    int clearHistoryLeft, clearHistoryWidth; // dialog units
};

const Texts English{Language::English,
                    u"Korvel"_s,
                    u"&Expresssion"_s,
                    u"&Result"_s,
                    u"&Memories"_s,
                    u"&Calculate"_s,
                    u"&Clear history"_s,
                    u"&Show results of last calculation only (requires recalculation)"_s,
                    u"&Close"_s,
                    u"Name"_s,
                    u"Value"_s,
                    u"Automatic calculation"_s,
                    263,
                    50};
const Texts Dutch{Language::Dutch,
                  u"Korvel"_s,
                  u"&Expressie"_s,
                  u"&Resultaat"_s,
                  u"&Geheugens"_s,
                  u"&Berekenen"_s,
                  u"&Wis historie"_s,
                  u"&Alleen geheugens van laatste expressie tonen (vereist opnieuw berekenen)"_s,
                  u"&Sluiten"_s,
                  u"Naam"_s,
                  u"Waarde"_s,
                  u"Automatische afleiding"_s,
                  263,
                  50};
const Texts German{Language::German,
                   u"Der Korvel"_s,
                   u"&Ausdruck"_s,
                   u"&Resultat"_s,
                   u"&Speicher"_s,
                   u"&Rechnen"_s,
                   u"&Verlauf löschen"_s,
                   u"&Nur Speicher des letzen Ausdruks zeigen (erneut berechnen notwendig)"_s,
                   u"&Schließen"_s,
                   u"Name"_s,
                   u"Wert"_s,
                   u"Automatische Ableitung"_s,
                   253,
                   60};

void PrintTo(const Texts &texts, std::ostream *out)
{
    *out << languageCode(texts.language).toStdString();
}

std::string languageName(const ::testing::TestParamInfo<Texts> &info)
{
    return languageCode(info.param.language).toStdString();
}

} // namespace

class LanguageLayoutTest : public DialogTest, public ::testing::WithParamInterface<Texts> {
protected:
    QString textOf(Id id) const
    {
        if (auto *label = qobject_cast<QLabel *>(control(id)))
            return label->text();
        return qobject_cast<QAbstractButton *>(control(id))->text();
    }
    QString heading(int column) const
    {
        return memoryList()->model()->headerData(column, Qt::Horizontal).toString();
    }
    // Dialog units from pixels, by the dialog's width in units.
    double unitsX(int pixels) const
    {
        return pixels * double(CCorvalinDlg::TemplateWidth) / m_dialog->width();
    }
};

TEST_P(LanguageLayoutTest, ShowsTheLanguagesTexts)
{
    const Texts &t = GetParam();
    open(t.language);
    EXPECT_EQ(m_dialog->windowTitle(), t.title);
    EXPECT_EQ(textOf(Id::ExpressionLabel), t.expression);
    EXPECT_EQ(textOf(Id::ResultLabel), t.result);
    EXPECT_EQ(textOf(Id::MemoriesLabel), t.memories);
    EXPECT_EQ(textOf(Id::Calculate), t.calculate);
    EXPECT_EQ(textOf(Id::ClearHistory), t.clearHistory);
    EXPECT_EQ(textOf(Id::Filter), t.filter);
    EXPECT_EQ(textOf(Id::Cancel), t.close);
    EXPECT_EQ(heading(0), t.name);
    EXPECT_EQ(heading(1), t.value);
    EXPECT_EQ(heading(2), t.derivation);
    for (const auto &[id, text] : {std::pair(Id::Save, u"Save"_s), std::pair(Id::Open, u"Open"_s),
                                   std::pair(Id::Info, u"Info"_s), std::pair(Id::Out, u"Out"_s)})
        EXPECT_EQ(control(id)->accessibleName(), text);
}

TEST_P(LanguageLayoutTest, ClearHistoryButtonHasTheLanguagesPlace)
{
    const Texts &t = GetParam();
    open(t.language);
    const QRect button = control(Id::ClearHistory)->geometry();
    EXPECT_NEAR(unitsX(button.x()), t.clearHistoryLeft, 0.75);
    EXPECT_NEAR(unitsX(button.width()), t.clearHistoryWidth, 0.75);
    // Either way it ends where the expression field ends.
    EXPECT_EQ(button.right(), control(Id::Expression)->geometry().right());
}

TEST_P(LanguageLayoutTest, ControlsLieInsideWithoutOverlapping)
{
    open(GetParam().language);
    const QList<QWidget *> controls = m_dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(controls.size(), 20);

    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QRect a = controls[i]->geometry();
        EXPECT_TRUE(m_dialog->rect().contains(a)) << controls[i]->metaObject()->className();
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(a.intersects(controls[j]->geometry()))
                << controls[i]->metaObject()->className() << " and "
                << controls[j]->metaObject()->className();
    }
}

TEST_P(LanguageLayoutTest, TextsAreNotClipped)
{
    open(GetParam().language);
    for (const Id id : {Id::ExpressionLabel, Id::ResultLabel, Id::MemoriesLabel}) {
        const auto *label = qobject_cast<QLabel *>(control(id));
        const QSize text = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        EXPECT_LE(text.width(), label->contentsRect().width()) << label->text().toStdString();
        EXPECT_LE(text.height(), label->contentsRect().height()) << label->text().toStdString();
    }
    for (const Id id : {Id::Calculate, Id::ClearHistory, Id::Filter}) {
        const auto *button = qobject_cast<QAbstractButton *>(control(id));
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const auto element = qobject_cast<const QCheckBox *>(button)
                                 ? QStyle::SE_CheckBoxContents
                                 : QStyle::SE_PushButtonContents;
        const QRect contents = button->style()->subElementRect(element, &option, button);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        EXPECT_LE(text.width(), contents.width()) << button->text().toStdString();
        EXPECT_LE(text.height(), contents.height()) << button->text().toStdString();
    }
}

TEST_P(LanguageLayoutTest, LabelsAreHeavyAndBesideTheirFields)
{
    open(GetParam().language);
    const std::pair<Id, Id> pairs[] = {{Id::ExpressionLabel, Id::Expression},
                                       {Id::ResultLabel, Id::Result},
                                       {Id::MemoriesLabel, Id::MemoryList}};
    for (const auto &[labelId, fieldId] : pairs) {
        const QWidget *label = control(labelId);
        EXPECT_EQ(label->font().weight(), 2 * m_dialog->font().weight());
        EXPECT_GE(QFontInfo(label->font()).weight(), int(QFont::Bold));
        // Level with the field's first line, as high as the closed expression field.
        const QRect field = control(fieldId)->geometry();
        const int lineBottom =
            field.top() + std::min(field.height(), control(Id::Expression)->height());
        EXPECT_LT(label->geometry().right(), field.left());
        EXPECT_GE(label->geometry().center().y(), field.top());
        EXPECT_LE(label->geometry().center().y(), lineBottom);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageLayoutTest, ::testing::Values(English, Dutch, German),
                         languageName);

TEST_F(DialogTest, ResizingLeavesTheControlsInPlace)
{
    open();
    std::vector<QRect> before;
    for (const QWidget *child : m_dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        before.push_back(child->geometry());
    m_dialog->resize(m_dialog->size() * 3 / 2);
    QCoreApplication::processEvents();
    std::vector<QRect> after;
    for (const QWidget *child : m_dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        after.push_back(child->geometry());
    EXPECT_EQ(after, before);
}

TEST_F(DialogTest, SwitchingTheLanguageRewritesTheTexts)
{
    open(Language::German);
    ASSERT_TRUE(m_translations.install(Language::English));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_dialog->windowTitle(), u"Korvel"_s);
    EXPECT_EQ(qobject_cast<QLabel *>(control(Id::ExpressionLabel))->text(), u"&Expresssion"_s);
    EXPECT_EQ(memoryList()->model()->headerData(1, Qt::Horizontal).toString(), u"Value"_s);
}
