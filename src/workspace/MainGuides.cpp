// The guide buttons and the head boxes that follow the mouse over the passport photo.
#include <QPainter>

#include "platform/widgets/PictureSurface.h"
#include "workspace/Main.h"

void Main::onKnop1() {
    session_.guides().headUpTo10();
    Orgineel->update();
}

void Main::onKnop2() {
    session_.guides().headFrom11();
    Orgineel->update();
}

void Main::onKnop3() {
    session_.guides().eyesUpTo10();
    Orgineel->update();
}

void Main::onKnop4() {
    session_.guides().eyesFrom11();
    Orgineel->update();
}

void Main::onKnopClear() {
    session_.guides().clear();
    Orgineel->update();
}

void Main::onOrgineelMouseMove(QPoint pos) {
    session_.guides().followMouse(pos.x(), pos.y());
    Orgineel->update();
}

void Main::paintGuides(QPainter& painter) const {
    const view::Guides& guides = session_.guides();
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
