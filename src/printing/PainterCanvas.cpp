#include "printing/PainterCanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kTwipsPerPoint = 20;

QColor toQColor(sheets::Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const QImage& photo, const QImage& stampFrame)
    : painter_(painter), photo_(photo), stampFrame_(stampFrame) {
    // Pictures are stretched by copying pixels, and reach the page without a second lossy
    // compression; lines stay as thin as the device draws.
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setRenderHint(QPainter::LosslessImageRendering, true);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

void PainterCanvas::useTwips(QPainter& painter, const QPaintDevice& device) {
    painter.scale(device.logicalDpiX() / kTwipsPerInch, device.logicalDpiY() / kTwipsPerInch);
}

void PainterCanvas::drawPicture(sheets::Picture picture, int x, int y, int width, int height) {
    const QImage& image = picture == sheets::Picture::Photo ? photo_ : stampFrame_;
    if (image.isNull()) return;
    painter_.drawImage(QRectF(x, y, width, height), image, QRectF(image.rect()));
}

void PainterCanvas::drawLine(int x1, int y1, int x2, int y2, sheets::Rgb colour) {
    // A cosmetic pen of width 0: one device pixel, whatever the scale.
    painter_.setPen(QPen(toQColor(colour), 0, Qt::SolidLine));
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterCanvas::setFont(const std::string& family, bool bold, int points) {
    font_ = QFont(QString::fromStdString(family));
    // A point size would be scaled twice, once for the device's resolution and once more by
    // the twips transform; a pixel size in twips is scaled exactly once.
    font_.setPixelSize(points * kTwipsPerPoint);
    font_.setBold(bold);
    font_.setHintingPreference(QFont::PreferNoHinting);
}

void PainterCanvas::setTextColour(sheets::Rgb colour) {
    textColour_ = toQColor(colour);
}

void PainterCanvas::drawText(int x, int y, const std::string& text) {
    painter_.setFont(font_);
    painter_.setPen(textColour_);
    const QFontMetricsF metrics(font_, painter_.device());
    // (x, y) is the top-left corner of the text; Qt places text by its baseline.
    painter_.drawText(QPointF(x, y + metrics.ascent()), QString::fromStdString(text));
}

void PainterCanvas::endPage() {
    pageEnded_ = painter_.end();
}
