#include "platform/widgets/PictureSurface.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>

PictureSurface::PictureSurface(QSize size, QWidget* parent)
    : QWidget(parent), image_(size, QImage::Format_RGB32), backColor_(Qt::white) {
    setFixedSize(size);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(backColor_);
}

void PictureSurface::setBackColor(const QColor& colour) {
    backColor_ = colour;
    clear();
}

void PictureSurface::clear() {
    image_.fill(backColor_);
    update();
}

void PictureSurface::drawLine(QPoint from, QPoint to, const QColor& colour) {
    QPainter painter(&image_);
    painter.setPen(QPen(colour, 0));
    painter.drawLine(from, to);
    update();
}

void PictureSurface::drawText(QPoint topLeft, const QString& text, const QFont& font,
                              const QColor& colour) {
    QPainter painter(&image_);
    painter.setFont(font);
    painter.setPen(colour);
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QRect room(topLeft, QSize(100000, 100000));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop, lines);
    update();
}

void PictureSurface::setOverlayPainter(std::function<void(QPainter&)> painter) {
    overlayPainter_ = std::move(painter);
    update();
}

void PictureSurface::refresh() { repaint(); }

void PictureSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    if (overlayPainter_) overlayPainter_(painter);
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->position().toPoint(), event->button());
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
}
