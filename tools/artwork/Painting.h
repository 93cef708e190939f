#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

namespace artwork {

// A blank picture to draw on: transparent, or filled with `fill`.
QImage blankPicture(int width, int height, const QColor& fill = Qt::transparent);

// A pixel-sized font (the pictures are measured in pixels, not points).
QFont pixelFont(const QString& family, int pixels, bool bold);

// The head and shoulders of a person on a passport photo's plain background, drawn in the
// photo's own 127 x 163 pixel frame (the painter's transform maps it to the target). The
// figure stands on the vertical centre line x = 63; `crown` is the top of the hair, `eyes`
// the eye line and `chin` the bottom of the chin, all in photo pixels.
struct Portrait {
    double crown = 40;
    double eyes = 82;
    double chin = 142;
    bool child = false;
    // The plain wall behind the person; off when the figure stands in a larger scene.
    bool background = true;
};
void drawPortrait(QPainter& painter, const Portrait& person);

// A raised button face of `face` colour with `text` centred in `textColour`.
QImage buttonFace(int width, int height, const QColor& face, const QString& text,
                  const QColor& textColour, int textPixels);

// The button and window pictures.
QImage mouthPicture();         // 70 x 55, a mouth and chin
QImage eyePicture();           // 70 x 55, an eye
QImage clearPicture();         // 140 x 24, the word "Clear"
QImage scissorsPicture();      // 32 x 32, transparent around the scissors
QImage aboutSmallPicture();    // 35 x 43, a miniature passport photo
QImage aboutBannerPicture();   // 246 x 44, the program's name
QImage programIcon(int size);  // square, any size

// The help page's figures.
QImage guidesFigure();
QImage windowFigure();
QImage layoutsFigure();

}  // namespace artwork
