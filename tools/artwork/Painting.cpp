#include "Painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace artwork {

QImage blankPicture(int width, int height, const QColor& fill) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(fill);
    return picture;
}

QFont pixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

const QColor kSkin(236, 196, 168);
const QColor kSkinShade(205, 155, 125);
const QColor kHair(92, 60, 38);
const QColor kChildHair(176, 132, 70);

// The face outline: a rounded forehead narrowing to the chin.
QPainterPath faceOutline(double top, double chin, double halfWidth) {
    const double cx = 63.5;
    const double height = chin - top;
    QPainterPath path;
    path.moveTo(cx, chin);
    path.cubicTo(cx + halfWidth * 0.55, chin, cx + halfWidth, chin - height * 0.35, cx + halfWidth,
                 top + height * 0.42);
    path.cubicTo(cx + halfWidth, top + height * 0.05, cx + halfWidth * 0.5, top, cx, top);
    path.cubicTo(cx - halfWidth * 0.5, top, cx - halfWidth, top + height * 0.05, cx - halfWidth,
                 top + height * 0.42);
    path.cubicTo(cx - halfWidth, chin - height * 0.35, cx - halfWidth * 0.55, chin, cx, chin);
    return path;
}

void drawShoulders(QPainter& p, const Portrait& person) {
    const double cx = 63.5;
    const double neckHalf = person.child ? 11 : 13;
    p.setPen(Qt::NoPen);
    p.setBrush(kSkinShade);
    p.drawRect(QRectF(cx - neckHalf, person.chin - 14, 2 * neckHalf, 30));
    QPainterPath jacket;
    const double shoulderTop = person.chin + 8;
    jacket.moveTo(-5 + (person.child ? 18 : 0), 170);
    const double reach = person.child ? 18 : 0;
    jacket.cubicTo(-5 + reach, shoulderTop + 6, 25, shoulderTop, cx - neckHalf, shoulderTop);
    jacket.lineTo(cx, shoulderTop + 12);
    jacket.lineTo(cx + neckHalf, shoulderTop);
    jacket.cubicTo(102, shoulderTop, 132 - reach, shoulderTop + 6, 132 - reach, 170);
    jacket.closeSubpath();
    QLinearGradient cloth(0, shoulderTop, 0, 163);
    cloth.setColorAt(0, person.child ? QColor(70, 130, 90) : QColor(60, 72, 104));
    cloth.setColorAt(1, person.child ? QColor(40, 90, 60) : QColor(34, 40, 62));
    p.setBrush(cloth);
    p.drawPath(jacket);
}

void drawFeatures(QPainter& p, const Portrait& person, double halfWidth) {
    const double cx = 63.5;
    const double eyeGap = halfWidth * 0.42;
    const double eyeHalf = halfWidth * 0.2;
    for (int side : {-1, 1}) {
        const double ex = cx + side * eyeGap;
        // Eyebrow, eye white, iris.
        p.setPen(
            QPen(person.child ? kChildHair.darker(130) : kHair, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(ex - eyeHalf, person.eyes - 5), QPointF(ex + eyeHalf, person.eyes - 6));
        p.setPen(QPen(QColor(90, 60, 50), 0.6));
        p.setBrush(QColor(250, 250, 246));
        p.drawEllipse(QPointF(ex, person.eyes), eyeHalf, eyeHalf * 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 95, 120));
        p.drawEllipse(QPointF(ex, person.eyes), eyeHalf * 0.45, eyeHalf * 0.45);
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(QPointF(ex, person.eyes), eyeHalf * 0.2, eyeHalf * 0.2);
        // Ears at eye height.
        p.setBrush(kSkinShade);
        p.drawEllipse(QPointF(cx + side * (halfWidth + 1), person.eyes + 6), 3.5, 8);
    }
    const double noseTip = person.eyes + (person.chin - person.eyes) * 0.45;
    p.setPen(QPen(kSkinShade.darker(115), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath nose;
    nose.moveTo(cx - 1, person.eyes + (noseTip - person.eyes) * 0.45);
    nose.quadTo(cx - 5, noseTip, cx - 4, noseTip);
    nose.quadTo(cx, noseTip + 2, cx + 4, noseTip);
    p.drawPath(nose);
    const double mouth = noseTip + (person.chin - noseTip) * 0.42;
    p.setPen(QPen(QColor(170, 80, 80), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - halfWidth * 0.32, mouth), QPointF(cx + halfWidth * 0.32, mouth));
}

}  // namespace

void drawPortrait(QPainter& p, const Portrait& person) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (person.background) {
        p.setClipRect(QRectF(0, 0, 127, 163), Qt::IntersectClip);
        QLinearGradient wall(0, 0, 0, 163);
        wall.setColorAt(0, QColor(222, 228, 234));
        wall.setColorAt(1, QColor(196, 204, 214));
        p.fillRect(QRectF(0, 0, 127, 163), wall);
    }

    drawShoulders(p, person);
    const double headHeight = person.chin - person.crown;
    const double halfWidth = headHeight * (person.child ? 0.36 : 0.33);
    // Hair: a cap over the top of the head that reaches down to the ears.
    p.setPen(Qt::NoPen);
    p.setBrush(person.child ? kChildHair : kHair);
    p.drawPath(faceOutline(person.crown, person.eyes + headHeight * 0.12, halfWidth + 3));
    // The face starts below the hair line.
    const double hairLine = person.crown + (person.eyes - person.crown) * 0.45;
    QRadialGradient skin(QPointF(58, person.eyes), headHeight * 0.7);
    skin.setColorAt(0, kSkin);
    skin.setColorAt(1, kSkinShade);
    p.setBrush(skin);
    p.drawPath(faceOutline(hairLine, person.chin, halfWidth));
    drawFeatures(p, person, halfWidth);
    p.restore();
}

QImage buttonFace(int width, int height, const QColor& face, const QString& text,
                  const QColor& textColour, int textPixels) {
    QImage picture = blankPicture(width, height, face);
    QPainter p(&picture);
    QLinearGradient shine(0, 0, 0, height);
    shine.setColorAt(0, face.lighter(125));
    shine.setColorAt(0.5, face);
    shine.setColorAt(1, face.darker(125));
    p.fillRect(picture.rect(), shine);
    // A raised edge: light at the top and left, dark at the bottom and right.
    p.setPen(face.lighter(170));
    p.drawLine(0, 0, width - 1, 0);
    p.drawLine(0, 0, 0, height - 1);
    p.setPen(face.lighter(135));
    p.drawLine(1, 1, width - 2, 1);
    p.drawLine(1, 1, 1, height - 2);
    p.setPen(face.darker(220));
    p.drawLine(0, height - 1, width - 1, height - 1);
    p.drawLine(width - 1, 0, width - 1, height - 1);
    p.setPen(face.darker(160));
    p.drawLine(1, height - 2, width - 2, height - 2);
    p.drawLine(width - 2, 1, width - 2, height - 2);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(pixelFont(QStringLiteral("Liberation Sans"), textPixels, true));
    p.setPen(face.darker(250));
    p.drawText(QRectF(1, 1, width, height), Qt::AlignCenter, text);
    p.setPen(textColour);
    p.drawText(QRectF(0, 0, width, height), Qt::AlignCenter, text);
    return picture;
}

}  // namespace artwork
