// Dialogs built from a table of controls whose rectangles are given in dialog units, the
// font-relative units of the templates the layouts were designed with. A dialog of this
// kind is its table, its size and caption, and the few lines that are its own.
#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <span>
#include <vector>

class QFont;

/// A control's place in dialog units: x and width in quarters of the average character
/// width, y and height in eighths of the character height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogRect &) const = default;
};

/// Converts dialog units to pixels for one font.
class DialogUnits {
public:
    /// Pixels per four horizontal and per eight vertical units.
    DialogUnits(qreal horizontalBase, qreal verticalBase);
    /// The units of `font`: its average character width and its character height.
    static DialogUnits forFont(const QFont &font);

    /// Each edge is converted on its own, so controls that touch in dialog units touch
    /// in pixels too and never overlap through rounding.
    QRect toPixels(const DialogRect &rect) const;
    int toPixelsX(int x) const;
    int toPixelsY(int y) const;

    /// These units, enlarged where needed so that something of `pixels` fits into `rect`.
    DialogUnits fittedTo(const DialogRect &rect, const QSize &pixels) const;

private:
    qreal m_horizontal;
    qreal m_vertical;
};

/// The width and height a label, check box or push button needs to show its text
/// unclipped in its own font and style; zero where a control shows no text.
QSize requiredTextSize(const QWidget *control);

enum class ControlKind {
    Rule, ///< a black frame one unit high: a separator
    Label,
    HeavyLabel, ///< a label in double the weight of the dialog font, to stand out
    Icon,       ///< a picture scaled to the rectangle, set by the dialog
    ComboBox,   ///< editable; the rectangle's height is that of the dropped-down list
    ReadOnlyEdit,
    Button,
    DefaultButton, ///< Enter clicks it
    IconButton,    ///< its text is not drawn but read out as the button's accessible name
    CheckBox,
    ListView,
};

enum class ControlState {
    Normal,
    Disabled,
    Hidden,
};

/// One control of a template. Texts are translation sources in the template's context.
struct TemplateEntry {
    template <class Id>
    constexpr TemplateEntry(Id id, ControlKind kind, DialogRect rect, const char *text = nullptr,
                            ControlState state = ControlState::Normal,
                            const char *localRect = nullptr)
        : id(int(id))
        , kind(kind)
        , rect(rect)
        , text(text)
        , state(state)
        , localRect(localRect)
    {
    }

    int id; ///< negative for controls nobody refers to, such as the separators
    ControlKind kind;
    DialogRect rect;
    const char *text;
    ControlState state;
    /// A rectangle the translation may move or widen, as "x, y, width, height"; its
    /// source text is `rect`.
    const char *localRect;
};

/// The controls in template order, which is also the tab order, and the dialog around them.
struct DialogTemplate {
    const char *context; ///< translation context of the caption and the texts
    const char *caption;
    int width; ///< in dialog units
    int height;
    const char *fontFamily; ///< the font the units are measured in, or the nearest one
    int pointSize;
    bool resizable; ///< a sizing border; the controls keep their places all the same
    std::span<const TemplateEntry> controls;
};

/// A dialog whose controls are created and placed from a DialogTemplate. A label's mnemonic
/// leads to the next control that takes the focus, as in the templates it mirrors.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    /// The control with `id` as a `T`; nullptr when the dialog has no such control.
    template <class T = QWidget, class Id>
    T *control(Id id) const
    {
        QWidget *widget = controlWidget(int(id));
        T *typed = qobject_cast<T *>(widget);
        Q_ASSERT_X(!widget || typed, "TemplateDialog::control", "the control is of another kind");
        return typed;
    }

protected:
    /// Creates the controls with their texts in the current language, in their places. The
    /// template is kept by reference and outlives the dialog.
    TemplateDialog(const DialogTemplate &dialogTemplate, QWidget *parent, Qt::WindowFlags flags);

    /// Places every control from its rectangle in dialog units of the dialog's font; to be
    /// run again when a control's font changes.
    void placeControls();

    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    QWidget *controlWidget(int id) const;
    QWidget *createControl(const TemplateEntry &entry);
    QString translated(const char *text) const;
    DialogRect rectOf(const TemplateEntry &entry) const;

    const DialogTemplate &m_template;
    std::vector<QWidget *> m_controls; ///< in template order
};
