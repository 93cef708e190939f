// The guide buttons and the head boxes that follow the mouse over the passport photo.
#include <QPainter>

#include "workspace/Main.h"
#include "platform/widgets/PictureSurface.h"

void Main::onKnop1() {
    guides.headUpTo10();
    Orgineel->update();
}

void Main::onKnop2() {
    guides.headFrom11();
    Orgineel->update();
}

void Main::onKnop3() {
    guides.eyesUpTo10();
    Orgineel->update();
}

void Main::onKnop4() {
    guides.eyesFrom11();
    Orgineel->update();
}

void Main::onKnopClear() {
    guides.clear();
    Orgineel->update();
}

void Main::onOrgineelMouseMove(QPoint pos) {
    guides.followMouse(pos.x(), pos.y());
    Orgineel->update();
}

void Main::paintGuides(QPainter& painter) const {
    painter.setBrush(Qt::NoBrush);
    const auto box = [&painter](const view::Rect& r) {
        painter.setPen(QPen(QColor(255, 0, 0), 0));
        painter.drawRect(QRect(r.x, r.y, r.width, r.height).adjusted(0, 0, -1, -1));
    };
    const auto line = [&painter](const view::Line& l, const QColor& colour) {
        painter.setPen(QPen(colour, 0));
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    };
    if (guides.shape1Visible) box(guides.shape1);
    if (guides.shapeVisible) box(guides.shape);
    if (guides.lineHor1Visible) line(guides.lineHor1, QColor(0, 0, 192));
    if (guides.lineHor2Visible) line(guides.lineHor2, QColor(0, 0, 192));
    if (guides.lineVertMiddenVisible) line(guides.lineVertMidden, QColor(0, 0, 255));
}
