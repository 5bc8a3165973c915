#include "ui/ctooltipctrlbeter.h"

#include <QAbstractButton>
#include <QCoreApplication>

CToolTipCtrlBeter::CToolTipCtrlBeter(QWidget *dialog, const char *context)
    : QObject(dialog)
    , m_context(context)
{
}

bool CToolTipCtrlBeter::AddControlTip(QWidget *control, const char *text)
{
    if (!control)
        return false;
    m_tips.emplace_back(control, text);
    apply(control, text);
    return true;
}

void CToolTipCtrlBeter::retranslate()
{
    for (const auto &[control, text] : m_tips) {
        if (control)
            apply(control, text);
    }
}

void CToolTipCtrlBeter::apply(QWidget *control, const char *text) const
{
    const QString tip = QCoreApplication::translate(m_context, text);
    control->setToolTip(tip);
    // Not every accessible kind reads the tip by itself: a list view reads only this.
    control->setAccessibleDescription(tip);
    const auto *button = qobject_cast<QAbstractButton *>(control);
    if (button && button->text().isEmpty())
        control->setAccessibleName(tip);
}
