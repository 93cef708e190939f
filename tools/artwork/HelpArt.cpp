// The figures of the help page: the guides for both age groups, the main window with
// numbered parts, and the sheet layouts. The help viewer is 490 pixels wide, so every
// figure stays within 440 and no sideways scrolling is needed.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Painting.h"

namespace artwork {

namespace {

// The guides as the buttons place them, in photo pixels.
void drawGuides(QPainter& p, bool upTo10) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 0, 0), 0));
    p.drawRect(QRectF(30, 33, 73, 109));
    p.drawRect(upTo10 ? QRectF(30, 66, 58, 76) : QRectF(30, 48, 58, 94));
    p.setPen(QPen(QColor(0, 0, 192), 0));
    const double band = upTo10 ? 84 : 80;
    p.drawLine(QPointF(0, band), QPointF(127, band));
    p.drawLine(QPointF(0, band + 4), QPointF(127, band + 4));
    p.setPen(QPen(QColor(0, 0, 255), 0));
    p.drawLine(QPointF(63, 0), QPointF(63, 163));
}

void caption(QPainter& p, const QRectF& box, const QString& text, int pixels = 13) {
    p.setFont(pixelFont(QStringLiteral("Liberation Sans"), pixels, true));
    p.setPen(QColor(40, 40, 40));
    p.drawText(box, Qt::AlignCenter, text);
}

// A numbered yellow disc pointing at a part of a figure.
void marker(QPainter& p, QPointF centre, int number) {
    p.setPen(QPen(QColor(60, 40, 0), 1.2));
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(centre, 9, 9);
    p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 12, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() - 9, centre.y() - 9, 18, 18), Qt::AlignCenter,
               QString::number(number));
}

void panel(QPainter& p, const QRect& box, const QColor& colour) {
    p.setPen(QColor(100, 100, 100));
    p.setBrush(colour);
    p.drawRect(box.adjusted(0, 0, -1, -1));
}

void scrollBar(QPainter& p, const QRect& box, double position) {
    p.setPen(QColor(150, 150, 150));
    p.setBrush(QColor(228, 228, 228));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const bool across = box.width() > box.height();
    const int thickness = across ? box.height() : box.width();
    const int length = across ? box.width() : box.height();
    const int thumb = qMax(thickness, length / 8);
    const int start = thickness + int(position * (length - 2 * thickness - thumb));
    p.setBrush(QColor(190, 190, 196));
    if (across) {
        p.drawRect(box.left() + start, box.top() + 1, thumb, thickness - 3);
    } else {
        p.drawRect(box.left() + 1, box.top() + start, thickness - 3, thumb);
    }
}

// The viewport's scene: a person in front of a wall, and the capture frame around them.
void drawViewport(QPainter& p) {
    const QRect view(15, 15, 480, 360);
    p.save();
    p.setClipRect(view);
    QLinearGradient wall(0, 15, 0, 375);
    wall.setColorAt(0, QColor(214, 204, 186));
    wall.setColorAt(1, QColor(168, 156, 136));
    p.fillRect(view, wall);
    p.fillRect(QRect(15, 15, 70, 360), QColor(150, 120, 90));  // a door post
    p.translate(165, 55);
    p.scale(1.6, 1.6);
    drawPortrait(p, Portrait{.crown = 40, .eyes = 82, .chin = 142, .background = false});
    p.restore();
    // The capture frame, 203 x 261, drawn around the face.
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(163, 62, 203, 261));
}

void drawGuideColumn(QPainter& p, const QImage& clear, const QImage& mouth, const QImage& eye) {
    panel(p, {540, 240, 138, 140}, QColor(64, 64, 64));
    p.drawImage(QRect(542, 242, 134, 24), clear, QRect(3, 0, 134, 24));
    p.drawImage(QRect(542, 266, 67, 56), mouth, QRect(1, 0, 67, 55));
    p.drawImage(QRect(609, 266, 67, 56), mouth, QRect(1, 0, 67, 55));
    p.drawImage(QRect(542, 322, 67, 56), eye, QRect(1, 0, 67, 55));
    p.drawImage(QRect(609, 322, 67, 56), eye, QRect(1, 0, 67, 55));
}

}  // namespace

QImage guidesFigure() {
    QImage picture = blankPicture(440, 284, Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const struct {
        double left;
        bool upTo10;
        const char* text;
    } columns[] = {{20, true, "up to 10 years"}, {230, false, "from 11 years"}};
    for (const auto& column : columns) {
        p.save();
        p.translate(column.left, 10);
        p.scale(1.5, 1.5);
        drawPortrait(p, column.upTo10 ? Portrait{.crown = 50, .eyes = 86, .child = true}
                                      : Portrait{.crown = 40, .eyes = 82});
        drawGuides(p, column.upTo10);
        p.restore();
        caption(p, QRectF(column.left, 258, 190, 20), QString::fromLatin1(column.text));
    }
    return picture;
}

QImage windowFigure() {
    QImage full = blankPicture(691, 452, QColor(239, 239, 239));
    {
        QPainter p(&full);
        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 13, false));
        p.setPen(Qt::black);
        p.drawText(QPointF(8, 15), QStringLiteral("File    Edit    Flip    Color    Zoom    Help   "
                                                  " |    C:\\Foto's\\vakantie.jpg"));
        p.translate(0, 20);
        panel(p, {10, 10, 490, 370}, QColor(224, 224, 224));
        drawViewport(p);
        panel(p, {504, 10, 22, 370}, QColor(239, 239, 239));
        scrollBar(p, {506, 12, 18, 366}, 0.3);
        panel(p, {10, 384, 490, 21}, QColor(239, 239, 239));
        scrollBar(p, {12, 386, 486, 17}, 0.45);
        panel(p, {540, 10, 138, 173}, QColor(192, 192, 192));
        p.save();
        p.translate(545, 15);
        drawPortrait(p, Portrait{});
        drawGuides(p, false);
        p.restore();
        panel(p, {540, 186, 138, 22}, Qt::black);
        scrollBar(p, {542, 188, 116, 18}, 0.66);
        panel(p, {658, 188, 18, 18}, QColor(230, 230, 230));
        p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 12, false));
        p.setPen(Qt::black);
        p.drawText(QRect(658, 188, 18, 18), Qt::AlignCenter, QStringLiteral("R"));
        p.setPen(QColor(64, 64, 64));
        p.drawText(QPointF(540, 225), QStringLiteral("203 x 261 pixels"));
        drawGuideColumn(p, clearPicture(), mouthPicture(), eyePicture());
        p.setPen(QColor(64, 64, 64));
        p.drawText(QPointF(554, 398), QStringLiteral("10 and <         11 and >"));
        p.drawText(QPointF(10, 422), QStringLiteral("Klik met de linker muisknop wanneer de foto "
                                                    "juist is gepositioneerd..."));
    }
    const double scale = 440.0 / 691.0;
    QImage picture =
        full.scaled(440, qRound(452 * scale), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const struct {
        double x, y;
        int number;
    } marks[] = {{540, 14, 1}, {88, 94, 2},   {373, 66, 3},  {515, 250, 4},
                 {658, 82, 5}, {611, 220, 6}, {664, 298, 7}, {470, 436, 8}};
    // Placed in window pixels, like the parts they point at.
    for (const auto& m : marks) marker(p, QPointF(m.x, m.y) * scale, m.number);
    return picture;
}

QImage layoutsFigure() {
    QImage picture = blankPicture(440, 130, Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QImage photo = blankPicture(127, 163);
    {
        QPainter q(&photo);
        drawPortrait(q, Portrait{});
    }
    // A page of 130 x 180 preview pixels shown at 62 x 86.
    const double scale = 62.0 / 130.0;
    auto page = [&](int index, const QString& text, auto&& draw) {
        const double left = 8 + index * 86;
        p.save();
        p.translate(left, 6);
        p.setPen(QColor(120, 120, 160));
        p.setBrush(QColor(248, 248, 240));
        p.drawRect(QRectF(0, 0, 62, 86));
        p.scale(scale, scale);
        draw();
        p.restore();
        caption(p, QRectF(left + 31 - 43, 96, 86, 30), text, 10);
    };
    auto put = [&](double x, double y, double w, double h) {
        p.drawImage(QRectF(x, y, w, h), photo);
    };
    page(0, QStringLiteral("1-5: rows\nof 5 photos"), [&] {
        for (int i = 0; i < 15; ++i) put(6 + 24 * (i % 5), 6 + 35 * (i / 5), 19.6, 26.67);
    });
    page(1, QStringLiteral("6-9: one row\n(rows 2 to 5)"), [&] {
        for (int i = 0; i < 5; ++i) put(6 + 24 * i, 76, 19.6, 26.67);
    });
    page(2, QStringLiteral("10-14: one column\n(columns 1 to 5)"), [&] {
        for (int i = 0; i < 5; ++i) put(30, 6 + 35 * i, 19.6, 26.67);
    });
    page(3, QStringLiteral("15: 42 stamps\nwith text"), [&] {
        for (int i = 0; i < 42; ++i) {
            const double x = 6 + 20 * (i % 6), y = 6 + 24 * (i / 6);
            p.setPen(QColor(8, 0, 0));
            p.setBrush(QColor(216, 216, 216));
            p.drawRect(QRectF(x, y, 18.4, 24.4));
            put(x + 2, y + 2, 12, 18);
        }
    });
    page(4, QStringLiteral("16: one photo\nas a poster"), [&] { put(5, 5, 120, 170); });
    return picture;
}

}  // namespace artwork
