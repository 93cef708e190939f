#include "counter/CounterView.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include "counter/CounterFraming.h"

namespace {

using counter::kScreenPixelsPerMm;
using counter::kViewHeight;
using counter::kViewWidth;

// The colours of the main window's guides: head lines red, eye lines dark blue, the centre
// line blue.
const QColor kHeadColour(255, 0, 0);
const QColor kEyeColour(0, 0, 192);
const QColor kCentreColour(0, 0, 255);
const QColor kBandGood(0, 160, 0, 48);
const QColor kBandBad(255, 0, 0, 40);

double mmToScreen(double mm) {
    return mm * kScreenPixelsPerMm;
}

}  // namespace

CounterView::CounterView(const counter::CounterFraming& framing, QWidget* parent)
    : QWidget(parent), framing_(framing) {
    setFixedSize(kViewWidth, kViewHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Framed photo"));
}

void CounterView::setPreview(QImage preview) {
    preview_ = std::move(preview);
    update();
}

void CounterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (preview_.isNull()) {
        painter.fillRect(rect(), QColor(224, 224, 224));
        return;
    }
    painter.drawImage(0, 0, preview_);
    paintFill(painter);
    paintBands(painter);
    paintMarkers(painter);
}

void CounterView::paintFill(QPainter& painter) const {
    // The photo's own edges on screen (turned with a turned crop); what lies outside them is
    // the white fill of the print.
    if (!passport::overhangOf(framing_.crop(), framing_.photoWidth(), framing_.photoHeight())
             .any()) {
        return;
    }
    const counter::ScreenMap map = framing_.screenMap();
    const double w = framing_.photoWidth();
    const double h = framing_.photoHeight();
    QPolygonF photo;
    for (const passport::Point corner : {passport::Point{0, 0}, passport::Point{w, 0},
                                         passport::Point{w, h}, passport::Point{0, h}}) {
        const counter::ScreenPoint p = map.toScreen(corner);
        photo << QPointF(p.x, p.y);
    }
    QPainterPath view;
    view.addRect(QRectF(rect()));
    QPainterPath inside;
    inside.addPolygon(photo);
    inside.closeSubpath();
    const QPainterPath fill = view.subtracted(inside);
    if (fill.isEmpty()) return;
    painter.save();
    painter.setClipPath(fill);
    painter.fillRect(rect(), QBrush(QColor(160, 160, 160), Qt::BDiagPattern));
    painter.restore();
}

void CounterView::paintBands(QPainter& painter) const {
    painter.save();
    // The eye band: the eye line lies 50-70 % of the height above the bottom edge.
    const double eyeTop = mmToScreen(counter::kEyeBandTopMm);
    const double eyeBottom = mmToScreen(counter::kEyeBandBottomMm);
    painter.fillRect(QRectF(0, eyeTop, kViewWidth, eyeBottom - eyeTop), QColor(0, 0, 192, 28));
    painter.setPen(QPen(kEyeColour, 1, Qt::DashLine));
    painter.drawLine(QLineF(0, eyeTop, kViewWidth, eyeTop));
    painter.drawLine(QLineF(0, eyeBottom, kViewWidth, eyeBottom));
    painter.setPen(QPen(kCentreColour, 1));
    painter.drawLine(QLineF(kViewWidth / 2.0, 0, kViewWidth / 2.0, kViewHeight));

    // Where the crown must lie for the chin where it is: the age group's band of head heights.
    const counter::ScreenMap map = framing_.screenMap();
    const passport::AgeGroup group = framing_.ageGroup();
    const double chin = map.toScreen(framing_.marks().chin).y;
    const double crown = map.toScreen(framing_.marks().crown).y;
    const double high = chin - mmToScreen(passport::headMaxMm(group));
    const double low = chin - mmToScreen(passport::headMinMm(group));
    const bool inside = crown >= high - 0.5 && crown <= low + 0.5;
    painter.fillRect(QRectF(0, high, kViewWidth, low - high), inside ? kBandGood : kBandBad);
    painter.setPen(QPen(kHeadColour, 1, Qt::DotLine));
    painter.drawLine(QLineF(0, high, kViewWidth, high));
    painter.drawLine(QLineF(0, low, kViewWidth, low));
    painter.restore();
}

void CounterView::paintMarkers(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const counter::ScreenMap map = framing_.screenMap();
    const passport::HeadMarks& marks = framing_.marks();
    const bool movable = framing_.markersMovable();
    const struct {
        double y;
        const char* name;
    } markers[] = {{map.toScreen(marks.crown).y, "Crown"}, {map.toScreen(marks.chin).y, "Chin"}};
    for (const auto& marker : markers) {
        painter.setPen(QPen(kHeadColour, movable ? 2 : 1));
        painter.drawLine(QLineF(0, marker.y, kViewWidth, marker.y));
        if (movable) {
            // A grip at the left edge says the line can be dragged.
            QPolygonF grip;
            grip << QPointF(0, marker.y - 6) << QPointF(10, marker.y) << QPointF(0, marker.y + 6);
            painter.setBrush(kHeadColour);
            painter.drawPolygon(grip);
        }
        painter.setPen(kHeadColour);
        painter.drawText(QPointF(kViewWidth - 40, marker.y - 3), QString::fromLatin1(marker.name));
    }
    // The eye centres found, as small crosses.
    painter.setPen(QPen(kEyeColour, 1.5));
    for (const auto& eye : {marks.leftEye, marks.rightEye}) {
        if (!eye) continue;
        const counter::ScreenPoint p = map.toScreen(*eye);
        painter.drawLine(QLineF(p.x - 5, p.y, p.x + 5, p.y));
        painter.drawLine(QLineF(p.x, p.y - 5, p.x, p.y + 5));
    }
    painter.restore();
}

CounterView::Grip CounterView::gripAt(QPointF pos) const {
    if (framing_.markersMovable()) {
        const counter::ScreenMap map = framing_.screenMap();
        const double crown = map.toScreen(framing_.marks().crown).y;
        const double chin = map.toScreen(framing_.marks().chin).y;
        const double toCrown = std::abs(pos.y() - crown);
        const double toChin = std::abs(pos.y() - chin);
        if (std::min(toCrown, toChin) <= kMarkerReach) {
            return toCrown <= toChin ? Grip::Crown : Grip::Chin;
        }
    }
    return Grip::Photo;
}

void CounterView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || preview_.isNull()) return;
    grip_ = gripAt(event->position());
    last_ = event->position();
}

void CounterView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    if (grip_ == Grip::None) {
        setCursor(gripAt(pos) == Grip::Photo ? Qt::OpenHandCursor : Qt::SizeVerCursor);
        return;
    }
    const QPointF delta = pos - last_;
    last_ = pos;
    switch (grip_) {
        case Grip::Photo:
            emit dragged(delta.x(), delta.y());
            break;
        case Grip::Crown:
            emit crownMoved(pos.y());
            break;
        case Grip::Chin:
            emit chinMoved(pos.y());
            break;
        case Grip::None:
            break;
    }
}

void CounterView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) grip_ = Grip::None;
}

void CounterView::wheelEvent(QWheelEvent* event) {
    if (preview_.isNull()) return;
    // One notch is 120 eighths of a degree; touchpads send less at a time.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) emit wheeled(notches, event->position().x(), event->position().y());
    event->accept();
}
