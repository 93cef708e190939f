// Zoom, panning, the capture frame and its colour.
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>

#include "workspace/Algemeen.h"
#include "platform/widgets/AppCursor.h"
#include "workspace/Main.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/ScrollBar.h"

namespace {

view::Pixels pixelsOf(QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            static_cast<int>(image.bytesPerLine() / 4)};
}

view::ConstPixels constPixelsOf(const QImage& image) {
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
            image.height(), static_cast<int>(image.bytesPerLine() / 4)};
}

}  // namespace

void Main::renderViewport(int left, int top) {
    ZoomPic.render(left, top, pixelsOf(Pic->image()), Pic->backColor().rgb());
    Pic->update();
}

void Main::redrawViewport() { renderViewport(HScroll1->value(), VScroll1->value()); }

void Main::onHScroll1Change() { redrawViewport(); }

void Main::onVScroll1Change() { redrawViewport(); }

void Main::onSizeProcent(int index) {
    if (index < 1 || index > 20 || !SizeProcent[index]) return;
    const int percent = 10 * index;
    const int zoomedWidth = view::zoomedPixels(BackPic.width(), percent);
    const int zoomedHeight = view::zoomedPixels(BackPic.height(), percent);
    const long long hMax = view::zoomScrollMax(zoomedWidth, view::kViewportWidth, 530);
    const long long vMax = view::zoomScrollMax(zoomedHeight, view::kViewportHeight, 397);
    // Scroll values are signed 16-bit numbers; a zoomed photo they cannot reach is refused
    // and the program goes on with the zoom it had.
    if (!view::fitsScrollValue(hMax) || !view::fitsScrollValue(vMax)) {
        dialogs().message(QStringLiteral("The photo would be %1 x %2 pixels at %3%, too large "
                                         "to scroll through. Choose a smaller zoom.")
                              .arg(zoomedWidth)
                              .arg(zoomedHeight)
                              .arg(percent));
        // The menu ticked the item before this handler ran; the zoom in force keeps the mark.
        setZoomChecks(zoomIndex_);
        return;
    }

    AppCursor::BusyScope busy;
    setZoomChecks(-1);
    const double zw = view::zoomedLength(BackPic.width(), percent);
    const double zh = view::zoomedLength(BackPic.height(), percent);
    // Fractions are written with the user's decimal separator (500.5 or 500,5).
    QString caption = QString::fromStdString(view::zoomCaption(percent, zw, zh, '.'));
    caption.replace(QLatin1Char('.'), QLocale().decimalPoint());
    Algemeen::ShowInfo(InfoLabel, caption);

    // Zooming always starts from the unscaled photo, so repeated zooming loses nothing.
    if (!BackPic.isNull()) ZoomPic = view::ZoomView(constPixelsOf(BackPic), percent);
    renderViewport(0, 0);

    HScroll1->setMin(0);
    VScroll1->setMin(0);
    HScroll1->setMax(static_cast<int>(hMax));
    VScroll1->setMax(static_cast<int>(vMax));
    HScroll1->setValue(0);
    VScroll1->setValue(0);
    setZoomChecks(index);
}

void Main::onPicMouseMove(QPoint pos) {
    const view::Rect frame = view::captureRect(pos.x(), pos.y(), GrabWidth);
    grabberRect = QRect(frame.x, frame.y, frame.width, frame.height);
    Pic->update();
}

void Main::onPicMouseDown(QPoint pos) {
    if (!PhotoLoaded) return;
    // The framed viewport pixels, stretched onto the whole passport photo; where the frame
    // reaches outside the viewport the photo gets the background colour. The passport
    // photo's pixels are written in place: the filters may be holding on to its size.
    const view::Rect frame = view::captureRect(pos.x(), pos.y(), GrabWidth);
    QImage& photo = passportPhoto();
    view::stretchRect(constPixelsOf(Pic->image()), frame, pixelsOf(photo),
                      Orgineel->backColor().rgb());
    Orgineel->update();
}

void Main::onHScroll2Change() {
    GrabWidth = HScroll2->value();
    GrabHeight = view::grabHeight(GrabWidth);
    Label5->setText(QString::fromStdString(view::frameSizeCaption(GrabWidth, GrabHeight)));
    Label5->adjustSize();
}

void Main::onResetKnop() {
    HScroll2->setValue(view::kStartGrabWidth);
    onHScroll2Change();
}

void Main::onColorGrabber(int index) {
    static const QColor colours[3] = {QColor(0, 0, 0), QColor(120, 120, 120),
                                      QColor(255, 255, 255)};
    for (QAction* item : ColorGrabber) item->setChecked(false);
    if (index >= 0 && index < 3) {
        grabberColour = colours[index];
        ColorGrabber[index]->setChecked(true);
    }
    Pic->update();
}

void Main::paintGrabber(QPainter& painter) const {
    // Until the mouse first moves over the viewport the frame has no place yet.
    if (!grabberVisible || !grabberRect.isValid()) return;
    painter.setPen(QPen(grabberColour, 0));
    painter.setBrush(Qt::NoBrush);
    // The outline lies inside the frame's width and height.
    painter.drawRect(grabberRect.adjusted(0, 0, -1, -1));
}
