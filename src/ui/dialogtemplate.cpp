#include "ui/dialogtemplate.h"

#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

std::optional<DialogRect> parseDialogRect(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,4})\s*,\s*(\d{1,4})\s*,\s*(\d{1,4})\s*,\s*(\d{1,4})\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return DialogRect{match.captured(1).toInt(), match.captured(2).toInt(),
                      match.captured(3).toInt(), match.captured(4).toInt()};
}

DialogUnits::DialogUnits(qreal horizontalBase, qreal verticalBase)
    : m_horizontal(horizontalBase)
    , m_vertical(verticalBase)
{
}

DialogUnits DialogUnits::forFont(const QFont &font)
{
    const QFontMetrics metrics(font);
    return DialogUnits(metrics.averageCharWidth(), metrics.height());
}

int DialogUnits::toPixelsX(int x) const
{
    return int(std::lround(x * m_horizontal / 4));
}

int DialogUnits::toPixelsY(int y) const
{
    return int(std::lround(y * m_vertical / 8));
}

QRect DialogUnits::toPixels(const DialogRect &rect) const
{
    const int left = toPixelsX(rect.x);
    const int top = toPixelsY(rect.y);
    const int right = toPixelsX(rect.x + rect.width);
    const int bottom = toPixelsY(rect.y + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

DialogUnits DialogUnits::fittedTo(const DialogRect &rect, const QSize &pixels) const
{
    DialogUnits units = *this;
    const auto size = [&units, &rect] { return units.toPixels(rect).size(); };
    // The proportional base is a first guess; rounding the two edges on their own may
    // lose a pixel, which the small steps win back.
    if (rect.width > 0 && size().width() < pixels.width()) {
        units.m_horizontal = std::max(m_horizontal, pixels.width() * 4.0 / rect.width);
        while (size().width() < pixels.width())
            units.m_horizontal += 1.0 / 64;
    }
    if (rect.height > 0 && size().height() < pixels.height()) {
        units.m_vertical = std::max(m_vertical, pixels.height() * 8.0 / rect.height);
        while (size().height() < pixels.height())
            units.m_vertical += 1.0 / 64;
    }
    return units;
}

namespace {

// A rectangle far larger than any control, so that the style's margins around the
// contents can be read off without the contents being squeezed.
const QRect Roomy(0, 0, 10000, 10000);

QStyleOptionButton roomyOption(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.rect = Roomy;
    return option;
}

QSize buttonTextSize(const QAbstractButton *button)
{
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
}

} // namespace

QSize requiredTextSize(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->text().isEmpty())
            return {};
        const QSize text = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        return text + (label->size() - label->contentsRect().size());
    }
    if (const auto *box = qobject_cast<const QCheckBox *>(control)) {
        if (box->text().isEmpty())
            return {};
        const QStyleOptionButton option = roomyOption(box);
        const QRect contents =
            box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        const QRect indicator =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QSize text = buttonTextSize(box);
        return QSize(Roomy.width() - contents.width() + text.width(),
                     std::max(text.height(), indicator.height()));
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        if (button->text().isEmpty())
            return {};
        const QStyleOptionButton option = roomyOption(button);
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return buttonTextSize(button) + (Roomy.size() - contents.size());
    }
    return {};
}
