// The About window's pictures and the application icon.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Painting.h"

namespace artwork {

QImage aboutSmallPicture() {
    QImage picture = blankPicture(35, 43);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // A miniature passport photo in its white border.
    p.fillRect(picture.rect(), Qt::white);
    p.save();
    p.translate(2, 2);
    p.scale(31.0 / 127.0, 39.0 / 163.0);
    drawPortrait(p, Portrait{});
    p.restore();
    p.setPen(QColor(150, 150, 150));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 34, 42));
    return picture;
}

QImage aboutBannerPicture() {
    QImage picture = blankPicture(246, 44);
    QPainter p(&picture);
    // The start-up picture's colours: black running into dark red.
    QLinearGradient back(0, 0, 246, 0);
    back.setColorAt(0, QColor(0, 0, 0));
    back.setColorAt(1, QColor(180, 0, 0));
    p.fillRect(picture.rect(), back);
    p.setRenderHint(QPainter::Antialiasing);
    const QFont title = pixelFont(QStringLiteral("Comic Neue"), 32, true);
    p.setFont(title);
    p.setPen(QColor(130, 130, 130));
    p.drawText(QPointF(10, 33), QStringLiteral("Portrik"));
    p.setPen(QColor(0, 240, 240));
    p.drawText(QPointF(12, 35), QStringLiteral("Portrik"));
    p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 11, false));
    p.setPen(QColor(240, 240, 0));
    p.drawText(QRectF(130, 6, 108, 16), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("pasfoto's 2006"));
    p.setPen(QColor(230, 230, 230));
    p.drawText(QRectF(130, 22, 108, 16), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Version 2"));
    return picture;
}

QImage programIcon(int size) {
    QImage picture = blankPicture(size, size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    // A dark red tile ...
    QLinearGradient back(0, 0, 0, 256);
    back.setColorAt(0, QColor(60, 0, 0));
    back.setColorAt(1, QColor(190, 16, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    // ... holding a passport photo with its white border ...
    const QRectF card(58, 24, 140, 180);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRect(card.translated(6, 8));
    p.setBrush(Qt::white);
    p.drawRect(card);
    p.save();
    p.translate(card.left() + 8, card.top() + 8);
    p.scale((card.width() - 16) / 127.0, (card.height() - 16) / 163.0);
    drawPortrait(p, Portrait{});
    if (size >= 32) {
        // ... with the guides over it: the head boxes and the eye band.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 0, 0), size >= 64 ? 2.2 : 3.5));
        p.drawRect(QRectF(27, 36, 73, 106));
        p.setPen(QPen(QColor(0, 0, 220), size >= 64 ? 2.2 : 3.5));
        p.drawLine(QPointF(0, 80), QPointF(127, 80));
        p.drawLine(QPointF(0, 84), QPointF(127, 84));
    }
    p.restore();
    // The capture frame's corner marks, in the frame's grey.
    if (size >= 48) {
        p.setPen(QPen(QColor(230, 230, 230), 7, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(QPointF(36, 214), QPointF(36, 236));
        p.drawLine(QPointF(36, 236), QPointF(58, 236));
        p.drawLine(QPointF(220, 214), QPointF(220, 236));
        p.drawLine(QPointF(220, 236), QPointF(198, 236));
    }
    return picture;
}

}  // namespace artwork
