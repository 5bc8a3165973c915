#include "ui/dialogtemplate.h"

#include "ui/accessibility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeView>

#include <algorithm>
#include <cmath>

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

// Reads "x, y, width, height": four numbers of one to four digits 0-9, separated by commas,
// with ASCII white space allowed around each; nothing for any other text. Read by hand: a
// regular expression would be compiled for this one text at every start.
std::optional<DialogRect> parseDialogRect(const QString &text)
{
    const auto isSpace = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    qsizetype at = 0;
    const auto skipSpaces = [&] {
        while (at < text.size() && isSpace(text[at]))
            ++at;
    };
    int numbers[4];
    for (int &number : numbers) {
        skipSpaces();
        if (&number != numbers) {
            if (at == text.size() || text[at] != u',')
                return std::nullopt;
            ++at;
            skipSpaces();
        }
        const qsizetype first = at;
        number = 0;
        while (at < text.size() && at - first < 4 && text[at] >= u'0' && text[at] <= u'9')
            number = number * 10 + (text[at++].unicode() - u'0');
        if (at == first)
            return std::nullopt;
    }
    skipSpaces();
    if (at != text.size())
        return std::nullopt;
    return DialogRect{numbers[0], numbers[1], numbers[2], numbers[3]};
}

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

TemplateDialog::TemplateDialog(const DialogTemplate &dialogTemplate, QWidget *parent,
                               Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_template(dialogTemplate)
{
    QFont dialogFont(QString::fromLatin1(m_template.fontFamily), m_template.pointSize);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);

    QWidget *focusBefore = nullptr;
    QLabel *waitingLabel = nullptr;
    m_controls.reserve(m_template.controls.size());
    for (const TemplateEntry &entry : m_template.controls) {
        QWidget *widget = createControl(entry);
        m_controls.push_back(widget);
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (focusBefore)
                setTabOrder(focusBefore, widget);
            focusBefore = widget;
            if (waitingLabel)
                waitingLabel->setBuddy(widget);
            waitingLabel = nullptr;
        }
        if (auto *label = qobject_cast<QLabel *>(widget))
            waitingLabel = label;
    }
    retranslate();
}

QWidget *TemplateDialog::controlWidget(int id) const
{
    if (id < 0)
        return nullptr;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (m_template.controls[i].id == id)
            return m_controls[i];
    }
    return nullptr;
}

QWidget *TemplateDialog::createControl(const TemplateEntry &entry)
{
    QWidget *widget = nullptr;
    switch (entry.kind) {
    case ControlKind::Rule: {
        auto *rule = new QFrame(this);
        rule->setFrameStyle(QFrame::Box | QFrame::Plain);
        widget = rule;
        break;
    }
    case ControlKind::Label:
        widget = new QLabel(this);
        break;
    case ControlKind::HeavyLabel: {
        // The weight comes before the controls are placed: the heavier text needs more room.
        auto *label = new QLabel(this);
        QFont font = label->font();
        font.setWeight(QFont::Weight(std::min(2 * int(font.weight()), 1000)));
        label->setFont(font);
        widget = label;
        break;
    }
    case ControlKind::Icon: {
        auto *picture = new QLabel(this);
        picture->setScaledContents(true);
        widget = picture;
        break;
    }
    case ControlKind::ComboBox: {
        auto *box = new QComboBox(this);
        box->setEditable(true);
        widget = box;
        break;
    }
    case ControlKind::ReadOnlyEdit: {
        auto *edit = new QLineEdit(this);
        edit->setReadOnly(true);
        widget = edit;
        break;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::IconButton: {
        auto *button = new QPushButton(this);
        button->setDefault(entry.kind == ControlKind::DefaultButton);
        widget = button;
        break;
    }
    case ControlKind::CheckBox:
        widget = new QCheckBox(this);
        break;
    case ControlKind::ListView:
        widget = new QTreeView(this);
        break;
    }
    if (entry.state == ControlState::Disabled)
        widget->setEnabled(false);
    if (entry.state == ControlState::Hidden)
        widget->hide();
    return widget;
}

QString TemplateDialog::translated(const char *text) const
{
    return QCoreApplication::translate(m_template.context, text);
}

DialogRect TemplateDialog::rectOf(const TemplateEntry &entry) const
{
    if (entry.localRect) {
        if (const auto local = parseDialogRect(translated(entry.localRect)))
            return *local;
    }
    return entry.rect;
}

void TemplateDialog::retranslate()
{
    setWindowTitle(translated(m_template.caption));
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const TemplateEntry &entry = m_template.controls[i];
        if (!entry.text)
            continue;
        QWidget *widget = m_controls[i];
        const QString text = translated(entry.text);
        if (entry.kind == ControlKind::IconButton) {
            widget->setAccessibleName(text);
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            label->setText(text);
            nameAfterLabel(label);
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            button->setText(text);
        }
    }
    placeControls();
}

// The units follow the dialog font, but a substitute for the font the layout was designed
// with may write wider: the units then grow until every text fits, so that the whole
// dialog keeps its proportions instead of clipping its texts.
void TemplateDialog::placeControls()
{
    DialogUnits units = DialogUnits::forFont(font());
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (!m_controls[i]->isHidden())
            units = units.fittedTo(rectOf(m_template.controls[i]), requiredTextSize(m_controls[i]));
    }

    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        QWidget *widget = m_controls[i];
        QRect geometry = units.toPixels(rectOf(m_template.controls[i]));
        if (auto *box = qobject_cast<QComboBox *>(widget)) {
            // The template's height is that of the open list; the closed box is as high
            // as the style draws it.
            const int closedHeight = box->sizeHint().height();
            const int itemHeight = box->fontMetrics().height() + 2;
            box->setMaxVisibleItems(std::max(1, (geometry.height() - closedHeight) / itemHeight));
            geometry.setHeight(closedHeight);
        }
        widget->setGeometry(geometry);
    }
    const QSize size(units.toPixelsX(m_template.width), units.toPixelsY(m_template.height));
    if (m_template.resizable)
        resize(size);
    else
        setFixedSize(size);
}

void TemplateDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}
