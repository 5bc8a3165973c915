// Dialogs built from a table of controls whose rectangles are given in dialog units, the
// font-relative units of the templates the layout was designed with.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QFont;
class QWidget;

/// A control's place in dialog units: x and width in quarters of the average character
/// width, y and height in eighths of the character height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogRect &) const = default;
};

/// Reads "x, y, width, height"; nothing when the text is not four non-negative numbers.
std::optional<DialogRect> parseDialogRect(const QString &text);

/// Converts dialog units to pixels for one font.
class DialogUnits {
public:
    /// Pixels per four horizontal and per eight vertical units.
    DialogUnits(qreal horizontalBase, qreal verticalBase);
    /// The units of `font`: its average character width and its character height.
    static DialogUnits forFont(const QFont &font);

    qreal horizontalBase() const { return m_horizontal; }
    qreal verticalBase() const { return m_vertical; }

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
