// Zoom, panning, the capture frame and its colour.
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>

#include "platform/files/PhotoPixels.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/ScrollBar.h"
#include "workspace/Algemeen.h"
#include "workspace/Main.h"

void Main::renderViewport(int left, int top) {
    session_.zoomView().render(left, top, pixelsOf(Pic->image()), Pic->backColor().rgb());
    Pic->update();
}

void Main::redrawViewport() {
    session_.renderViewport(pixelsOf(Pic->image()), Pic->backColor().rgb());
    Pic->update();
}

void Main::showScrollBars() {
    // The session changed them: the viewport is drawn by whoever changed them, once.
    for (const auto& [bar, axis] :
         {std::pair{HScroll1, view::Axis::Horizontal}, std::pair{VScroll1, view::Axis::Vertical}}) {
        const view::ScrollState& state = session_.scroll(axis);
        const QSignalBlocker quiet(bar);
        bar->setMin(state.min);
        bar->setMax(state.max);
        bar->setValue(state.value);
    }
}

void Main::onHScroll1Change() {
    session_.scrollTo(view::Axis::Horizontal, HScroll1->value());
    redrawViewport();
}

void Main::onVScroll1Change() {
    session_.scrollTo(view::Axis::Vertical, VScroll1->value());
    redrawViewport();
}

void Main::onSizeProcent(int index) {
    if (index < 1 || index > 20 || !SizeProcent[index]) return;
    const int percent = 10 * index;
    const auto zoom = session_.zoom(percent);
    // Scroll values are signed 16-bit numbers; a zoomed photo they cannot reach is refused
    // and the program goes on with the zoom it had.
    if (const auto* refused = std::get_if<view::ScrollRefusal>(&zoom)) {
        dialogs().message(QStringLiteral("The photo would be %1 x %2 pixels at %3%, too large "
                                         "to scroll through. Choose a smaller zoom.")
                              .arg(refused->width)
                              .arg(refused->height)
                              .arg(percent));
        // The menu ticked the item before this handler ran; the zoom in force keeps the mark.
        showZoomChecks();
        return;
    }

    AppCursor::BusyScope busy;
    const view::Zoomed& zoomed = std::get<view::Zoomed>(zoom);
    // Fractions are written with the user's decimal separator (500.5 or 500,5).
    QString caption =
        QString::fromStdString(view::zoomCaption(percent, zoomed.width, zoomed.height, '.'));
    caption.replace(QLatin1Char('.'), QLocale().decimalPoint());
    Algemeen::ShowInfo(InfoLabel, caption);
    // Both scroll values are back at 0: the zoomed photo from its top-left corner.
    showScrollBars();
    redrawViewport();
    showZoomChecks();
}

void Main::onPicMouseMove(QPoint pos) {
    session_.placeFrame(pos.x(), pos.y());
    Pic->update();
}

void Main::onPicMouseDown(QPoint pos) {
    // The framed viewport pixels, stretched onto the whole passport photo. Its pixels are
    // written in place: the filters may be holding on to its size.
    const auto captured = session_.capture(pos.x(), pos.y(), constPixelsOf(Pic->image()),
                                           pixelsOf(passportPhoto()), Orgineel->backColor().rgb());
    if (captured) Orgineel->update();
}

void Main::onHScroll2Change() {
    session_.setGrabWidth(HScroll2->value());
    showFrameSize();
}

void Main::showFrameSize() {
    Label5->setText(QString::fromStdString(
        view::frameSizeCaption(session_.GrabWidth(), session_.GrabHeight())));
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
        grabberColour_ = colours[index];
        ColorGrabber[index]->setChecked(true);
    }
    Pic->update();
}

void Main::paintGrabber(QPainter& painter) const {
    // Until the mouse first moves over the viewport the frame has no place yet.
    const std::optional<view::Rect>& frame = session_.frame();
    if (!grabberVisible() || !frame) return;
    painter.setPen(QPen(grabberColour_, 0));
    painter.setBrush(Qt::NoBrush);
    // The outline lies inside the frame's width and height.
    painter.drawRect(QRect(frame->x, frame->y, frame->width, frame->height).adjusted(0, 0, -1, -1));
}
