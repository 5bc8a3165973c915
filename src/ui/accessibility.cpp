#include "ui/accessibility.h"

#include "core/calculator.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolTip>

namespace {

const QString NoticeName = QStringLiteral("korvel-result-notice");

// Qt 6.4 has no announcement to send, and its events for a changed name or description
// carry no text to the screen reader. What Orca speaks by itself is an object in the
// notification role that shows, which no Qt widget is.
QAccessibleInterface *noticeInterface(const QString &className, QObject *object)
{
    if (className != u"QWidget" || object->objectName() != NoticeName)
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

void announceResults(Calculator &calculator, QWidget *resultField, QWidget *expressionField)
{
    static const bool factoryInstalled = (QAccessible::installFactory(noticeInterface), true);
    Q_UNUSED(factoryInstalled);
    auto *notice = new QWidget(resultField);
    notice->setObjectName(NoticeName);
    notice->setGeometry(0, 0, 0, 0);
    notice->hide();
    // Shown anew for every result, so that the same result twice is spoken twice; an
    // emptied result field has nothing to say.
    QObject::connect(&calculator, &Calculator::resultFieldChanged, notice,
                     [notice, expressionField](const QString &text) {
                         notice->hide();
                         // Qt reports only a change: emptied first, the same result twice
                         // is a change twice.
                         expressionField->setAccessibleDescription({});
                         expressionField->setAccessibleDescription(text);
                         if (text.isEmpty())
                             return;
                         notice->setAccessibleName(text);
                         notice->show();
                     });
}

bool CutShortTipDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.isValid()) {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget *widget = item.widget ? item.widget : view;
        const QStyle *style = widget->style();
        // The style draws the text inside its item rectangle, a focus margin in from either
        // side, and elides what does not fit there.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, widget) + 1;
        const int room =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).width() - 2 * margin;
        if (item.fontMetrics.horizontalAdvance(item.text) > room) {
            QToolTip::showText(event->globalPos(), item.text, view->viewport(), item.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

// A control that a label's mnemonic leads to is named after the label, without the
// ampersands; of a combo box its line edit and its list too, which a screen reader finds
// focused when they are. Labels without a mnemonic name nothing: they only happen to
// precede a control.
void nameAfterLabel(const QLabel *label)
{
    QWidget *buddy = label->buddy();
    if (!buddy || QKeySequence::mnemonic(label->text()).isEmpty())
        return;
    QString name;
    const QString text = label->text();
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == u'&' && at + 1 < text.size())
            ++at; // "&x" reads x, "&&" reads &
        name += text[at];
    }
    buddy->setAccessibleName(name);
    if (const auto *box = qobject_cast<QComboBox *>(buddy)) {
        box->view()->setAccessibleName(name);
        if (box->lineEdit())
            box->lineEdit()->setAccessibleName(name);
    }
}
