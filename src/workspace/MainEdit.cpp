// Edit and Flip: the filters, the flips and the border.
#include <QPainter>

#include "AppCursor.h"
#include "Main.h"
#include "PictureSurface.h"

void Main::onEditConvert(int) {
    AppCursor::setBusy();
    Orgineel->refresh();
    AppCursor::setArrow();
}

void Main::onEditContrastConvert(int) { Orgineel->refresh(); }

void Main::onEditSwap(int) { Orgineel->refresh(); }

void Main::onFlipConvert(int) { Orgineel->refresh(); }

void Main::onEditBorder() {
    // The outermost row and column on each side turn black; the inside stays.
    QImage& photo = passportPhoto();
    const QRgb black = qRgb(0, 0, 0);
    const int right = photo.width() - 1;
    const int bottom = photo.height() - 1;
    for (int x = 0; x <= right; ++x) {
        photo.setPixel(x, 0, black);
        photo.setPixel(x, bottom, black);
    }
    for (int y = 0; y <= bottom; ++y) {
        photo.setPixel(0, y, black);
        photo.setPixel(right, y, black);
    }
    Orgineel->refresh();
}
