// Choosing the language, reading translated rectangles, converting dialog units, and the
// message box that shows the calculator's messages.
#include "ui/language.h"
#include "ui/dialogtemplate.h"
#include "ui/messageboxmessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(LanguageTest, FirstSpokenPreferenceWins)
{
    const std::pair<QStringList, Language> cases[] = {
        {{}, Language::English},
        {{u"fr-FR"_s}, Language::English},
        {{u"nl-NL"_s}, Language::Dutch},
        {{u"nl-BE"_s, u"en-US"_s}, Language::Dutch},
        {{u"de-AT"_s}, Language::German},
        {{u"fr-FR"_s, u"de-DE"_s, u"nl-NL"_s}, Language::German},
        {{u"en-GB"_s, u"nl-NL"_s}, Language::English},
        {{u"C"_s, u"nl"_s}, Language::Dutch},
    };
    for (const auto &[preferences, expected] : cases)
        EXPECT_EQ(languageFor(preferences), expected) << preferences.join(u',').toStdString();
}

TEST(DialogTemplateTest, ReadsTranslatedRectangles)
{
    const std::pair<QString, std::optional<DialogRect>> cases[] = {
        {u"263, 48, 50, 14"_s, DialogRect{263, 48, 50, 14}},
        {u"253,48,60,14"_s, DialogRect{253, 48, 60, 14}},
        {u" 1 , 2 , 3 , 4 "_s, DialogRect{1, 2, 3, 4}},
        {u"263, 48, 50"_s, std::nullopt},
        {u"263, 48, 50, 14, 1"_s, std::nullopt},
        {u"-1, 48, 50, 14"_s, std::nullopt},
        {u"a, b, c, d"_s, std::nullopt},
        {QString(), std::nullopt},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(parseDialogRect(text), expected) << text.toStdString();
}

TEST(DialogTemplateTest, ConvertsEdgesSoThatNeighboursTouch)
{
    const DialogUnits units(7.3, 15);
    const QRect left = units.toPixels({53, 30, 244, 12});
    const QRect right = units.toPixels({297, 30, 16, 12});
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(units.toPixels({0, 0, 320, 222}).size(), QSize(584, 416));
}

TEST(MessageBoxMessagesTest, WarnsUnderTheApplicationsName)
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    MessageBoxMessages messages;
    messages.warning(u"De ingevoerde expressie kan niet worden uitgerekend!"_s);
    EXPECT_EQ(title, QCoreApplication::applicationName());
    EXPECT_EQ(text, u"De ingevoerde expressie kan niet worden uitgerekend!"_s);
    EXPECT_EQ(icon, QMessageBox::Warning);
}
