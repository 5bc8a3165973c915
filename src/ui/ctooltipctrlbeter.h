// Help texts that appear while the mouse rests on a control.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

/// The tips of one dialog, each a translation source in the dialog's context. Each tip is
/// also its control's accessible description, and a button that shows only an icon takes
/// it as its accessible name too, so that screen readers announce it.
class CToolTipCtrlBeter : public QObject {
    Q_OBJECT
public:
    /// `dialog` owns the tips; `context` is the translation context of their texts.
    CToolTipCtrlBeter(QWidget *dialog, const char *context);

    /// Gives `control` the tip `text` in the current language. Returns false, and
    /// registers nothing, for a control the dialog does not have.
    bool AddControlTip(QWidget *control, const char *text);

    /// Sets every tip again in the current language; the dialog calls it after it has set
    /// its controls' own texts anew.
    void retranslate();

private:
    void apply(QWidget *control, const char *text) const;

    const char *m_context;
    std::vector<std::pair<QPointer<QWidget>, const char *>> m_tips;
};
