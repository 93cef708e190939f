#pragma once

#include <optional>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The pieces the program's windows are built from, each made one way for every window.

// The windows were laid out in twips at 15 twips per pixel; a position in twips becomes the
// nearest pixel.
constexpr int fromTwips(int twips) {
    return (twips >= 0 ? twips + 7 : twips - 7) / 15;
}
QRect twipsRect(int left, int top, int width, int height);

// The dark grey of the windows' label texts, RGB(64, 64, 64).
inline constexpr QRgb kGreyText = 0xFF404040;

// Gives a widget's text (and the check mark of a check box) `colour`.
void setTextColour(QWidget* widget, const QColor& colour);

// A label used as a panel: a thin border in `frame` (the style's text colour when not given),
// filled with `fill` when given, transparent otherwise.
QLabel* panel(QWidget* parent, const QRect& geometry, std::optional<QColor> fill = std::nullopt,
              std::optional<QColor> frame = std::nullopt);

// A transparent text label in the grey text colour with its top-left corner at `topLeft`,
// sized to its caption.
QLabel* greyLabel(QWidget* parent, QPoint topLeft, const QString& caption);

// A label that shows the picture `resource`; `name` is what screen readers call it.
QLabel* pictureLabel(QWidget* parent, const QRect& geometry, const QString& resource,
                     const QString& name);

// A push button whose face shows the picture `resource` at `pictureSize`, with a tool tip. It
// takes no keyboard focus, so a click leaves no focus frame on it.
QPushButton* pushButtonWithPicture(QWidget* parent, const QRect& geometry, const QString& resource,
                                   QSize pictureSize, const QString& toolTip, const QString& name);
