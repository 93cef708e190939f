#include "platform/widgets/PictureButton.h"

#include <QPainter>

PictureButton::PictureButton(const QString& picture, QSize size, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
    setFixedSize(size);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
