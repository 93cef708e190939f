#include "platform/widgets/WindowParts.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

QRect twipsRect(int left, int top, int width, int height) {
    return {fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height)};
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel* panel(QWidget* parent, const QRect& geometry, std::optional<QColor> fill,
              std::optional<QColor> frame) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    if (!fill && !frame) return label;
    QPalette palette = label->palette();
    if (fill) {
        label->setAutoFillBackground(true);
        palette.setColor(QPalette::Window, *fill);
    }
    // A plain frame is drawn in the text colour.
    if (frame) palette.setColor(QPalette::WindowText, *frame);
    label->setPalette(palette);
    return label;
}

QLabel* greyLabel(QWidget* parent, QPoint topLeft, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    setTextColour(label, QColor(kGreyText));
    label->move(topLeft);
    label->adjustSize();
    return label;
}

QLabel* pictureLabel(QWidget* parent, const QRect& geometry, const QString& resource,
                     const QString& name) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap(resource));
    label->setAccessibleName(name);
    return label;
}

QPushButton* pushButtonWithPicture(QWidget* parent, const QRect& geometry, const QString& resource,
                                   QSize pictureSize, const QString& toolTip, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setGeometry(geometry);
    button->setIcon(QIcon(resource));
    button->setIconSize(pictureSize);
    button->setToolTip(toolTip);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
