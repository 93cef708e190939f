// The guide buttons' close-ups, the "Clear" button and the print window's scissors.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "Painting.h"

namespace artwork {

namespace {

// Lit skin filling the whole picture, brighter towards the upper left like a studio photo.
void fillSkin(QPainter& p, const QRectF& area) {
    QRadialGradient light(area.width() * 0.4, area.height() * 0.3, area.width() * 0.8);
    light.setColorAt(0, QColor(244, 210, 184));
    light.setColorAt(0.7, QColor(226, 182, 152));
    light.setColorAt(1, QColor(196, 148, 118));
    p.fillRect(area, light);
}

QPainterPath upperLip() {
    QPainterPath lip;
    lip.moveTo(11, 25);
    lip.cubicTo(17, 22, 24, 15, 29, 16);
    lip.cubicTo(32, 16, 34, 18, 35, 18.5);
    lip.cubicTo(36, 18, 38, 16, 41, 16);
    lip.cubicTo(46, 15, 53, 22, 59, 25);
    lip.cubicTo(50, 26, 42, 25.5, 35, 26);
    lip.cubicTo(28, 25.5, 20, 26, 11, 25);
    return lip;
}

QPainterPath lowerLip() {
    QPainterPath lip;
    lip.moveTo(11, 25);
    lip.cubicTo(20, 26, 28, 25.5, 35, 26);
    lip.cubicTo(42, 25.5, 50, 26, 59, 25);
    lip.cubicTo(54, 32, 45, 36, 35, 36);
    lip.cubicTo(25, 36, 16, 32, 11, 25);
    return lip;
}

}  // namespace

QImage mouthPicture() {
    QImage picture = blankPicture(70, 55);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    fillSkin(p, QRectF(0, 0, 70, 55));
    // The groove above the upper lip.
    QLinearGradient groove(29, 0, 41, 0);
    groove.setColorAt(0, QColor(222, 176, 146, 0));
    groove.setColorAt(0.25, QColor(214, 166, 136, 160));
    groove.setColorAt(0.5, QColor(236, 198, 170, 0));
    groove.setColorAt(0.75, QColor(214, 166, 136, 160));
    groove.setColorAt(1, QColor(222, 176, 146, 0));
    p.fillRect(QRectF(29, 0, 12, 16), groove);

    QLinearGradient upper(0, 15, 0, 26);
    upper.setColorAt(0, QColor(196, 104, 100));
    upper.setColorAt(1, QColor(150, 62, 64));
    p.setPen(QPen(QColor(160, 90, 84), 0.8));
    p.setBrush(upper);
    p.drawPath(upperLip());
    QLinearGradient lower(0, 25, 0, 36);
    lower.setColorAt(0, QColor(168, 74, 74));
    lower.setColorAt(0.45, QColor(212, 118, 112));
    lower.setColorAt(1, QColor(186, 100, 96));
    p.setBrush(lower);
    p.drawPath(lowerLip());
    // Where the lips meet, and a gleam on the lower lip.
    p.setPen(QPen(QColor(100, 36, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath line;
    line.moveTo(12, 25);
    line.cubicTo(22, 26.5, 30, 25, 35, 26);
    line.cubicTo(40, 25, 48, 26.5, 58, 25);
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 225, 110));
    p.drawEllipse(QPointF(38, 30), 6, 1.6);

    // The chin: a rounded highlight with the jaw's shadow falling away below it.
    QRadialGradient chin(35, 44, 16);
    chin.setColorAt(0, QColor(248, 218, 194));
    chin.setColorAt(1, QColor(248, 218, 194, 0));
    p.setBrush(chin);
    p.drawEllipse(QPointF(35, 44), 16, 9);
    QPainterPath neck;
    neck.moveTo(0, 42);
    neck.cubicTo(10, 50, 22, 53.5, 35, 53.5);
    neck.cubicTo(48, 53.5, 60, 50, 70, 42);
    neck.lineTo(70, 55);
    neck.lineTo(0, 55);
    neck.closeSubpath();
    QLinearGradient shadow(0, 44, 0, 55);
    shadow.setColorAt(0, QColor(150, 104, 82));
    shadow.setColorAt(1, QColor(120, 80, 62));
    p.setBrush(shadow);
    p.drawPath(neck);
    // A soft dimple between lip and chin.
    p.setPen(QPen(QColor(210, 164, 136), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(27, 37, 16, 6), 200 * 16, 140 * 16);
    return picture;
}

QImage eyePicture() {
    QImage picture = blankPicture(70, 55);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    fillSkin(p, QRectF(0, 0, 70, 55));

    // Eyebrow.
    QPainterPath brow;
    brow.moveTo(8, 15);
    brow.cubicTo(20, 5, 44, 4, 62, 12);
    brow.cubicTo(44, 8, 22, 9, 8, 15);
    p.setPen(QPen(QColor(88, 58, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(88, 58, 40));
    p.drawPath(brow);
    // The lid's crease.
    p.setPen(QPen(QColor(206, 158, 130), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 13, 42, 18), 25 * 16, 130 * 16);

    QPainterPath almond;
    almond.moveTo(10, 32);
    almond.cubicTo(20, 18, 48, 16, 60, 30);
    almond.cubicTo(48, 42, 22, 44, 10, 32);
    QRadialGradient white(35, 31, 26);
    white.setColorAt(0, QColor(252, 250, 246));
    white.setColorAt(1, QColor(214, 200, 196));
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPath(almond);
    p.save();
    p.setClipPath(almond);
    QRadialGradient iris(35, 30, 10);
    iris.setColorAt(0, QColor(120, 170, 190));
    iris.setColorAt(0.75, QColor(54, 104, 130));
    iris.setColorAt(1, QColor(30, 50, 66));
    p.setBrush(iris);
    p.drawEllipse(QPointF(35, 30), 10, 10);
    p.setBrush(QColor(12, 12, 14));
    p.drawEllipse(QPointF(35, 30), 4, 4);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(31.5, 26.5), 2, 2);
    p.restore();
    // Upper lid with lashes, lower lid.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(50, 30, 24), 2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath lid;
    lid.moveTo(10, 32);
    lid.cubicTo(20, 18, 48, 16, 60, 30);
    p.drawPath(lid);
    // Lashes curl up and outwards, longer towards the outer corner.
    p.setPen(QPen(QColor(50, 30, 24), 0.9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 2; i < 12; ++i) {
        const double at = i / 12.0;
        const QPointF root = lid.pointAtPercent(at);
        const double length = 2 + 3 * at;
        QPainterPath lash;
        lash.moveTo(root);
        lash.quadTo(root + QPointF(length * 0.2, -length), root + QPointF(length, -length));
        p.drawPath(lash);
    }
    p.setPen(QPen(QColor(170, 112, 96), 1));
    QPainterPath lowerLid;
    lowerLid.moveTo(11, 33);
    lowerLid.cubicTo(22, 44, 48, 42, 60, 31);
    p.drawPath(lowerLid);
    return picture;
}

QImage clearPicture() {
    QImage picture = blankPicture(140, 24);
    QPainter p(&picture);
    QLinearGradient face(0, 0, 0, 24);
    face.setColorAt(0, QColor(250, 250, 250));
    face.setColorAt(1, QColor(196, 196, 200));
    p.fillRect(picture.rect(), face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 16, true));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(1, 1, 140, 24), Qt::AlignCenter, QStringLiteral("Clear"));
    p.setPen(QColor(150, 20, 20));
    p.drawText(QRectF(0, 0, 140, 24), Qt::AlignCenter, QStringLiteral("Clear"));
    return picture;
}

QImage scissorsPicture() {
    QImage picture = blankPicture(32, 32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF pivot(17, 16);
    // Two blades, opened a little, pointing to the right.
    QLinearGradient steel(0, 8, 0, 24);
    steel.setColorAt(0, QColor(236, 238, 242));
    steel.setColorAt(0.5, QColor(170, 176, 186));
    steel.setColorAt(1, QColor(220, 224, 230));
    p.setPen(QPen(QColor(60, 64, 72), 1));
    p.setBrush(steel);
    QPainterPath upperBlade;
    upperBlade.moveTo(12, 19);
    upperBlade.lineTo(31, 8);
    upperBlade.lineTo(30, 11);
    upperBlade.lineTo(14, 21);
    upperBlade.closeSubpath();
    QPainterPath lowerBlade;
    lowerBlade.moveTo(12, 13);
    lowerBlade.lineTo(31, 24);
    lowerBlade.lineTo(30, 21);
    lowerBlade.lineTo(14, 11);
    lowerBlade.closeSubpath();
    p.drawPath(lowerBlade);
    p.drawPath(upperBlade);
    // The handles: red rings joined to the blades.
    p.setBrush(Qt::NoBrush);
    for (double y : {8.0, 24.0}) {
        p.setPen(QPen(QColor(90, 10, 10), 4.6));
        p.drawEllipse(QPointF(7, y), 4.6, 4.6);
        p.setPen(QPen(QColor(214, 40, 36), 3));
        p.drawEllipse(QPointF(7, y), 4.6, 4.6);
        p.setPen(QPen(QColor(214, 40, 36), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, y + (y < 16 ? 2.5 : -2.5)), QPointF(14, y < 16 ? 19 : 13));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 46));
    p.drawEllipse(pivot, 1.8, 1.8);
    return picture;
}

}  // namespace artwork
