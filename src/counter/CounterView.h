#pragma once

#include <QImage>
#include <QWidget>

namespace counter {
class CounterFraming;
}

// The framed photo on screen, 350 x 450 (ten screen pixels to the millimetre), with the
// rules' lines drawn over it and never into it: the band the crown must lie in above the
// chin, the crown and chin markers, the eye band and the vertical centre line; where the crop
// reaches beyond the photo, the white fill is hatched. The mouse drags the photo, the wheel
// scales it about the point under the pointer, and a marker follows the mouse when the
// framing lets the user place the markers. The view changes nothing itself: it reports the
// gestures, and the window applies them and shows the result.
class CounterView : public QWidget {
    Q_OBJECT
  public:
    explicit CounterView(const counter::CounterFraming& framing, QWidget* parent = nullptr);

    // The framed photo, drawn from the crop; null until the photo is ready.
    void setPreview(QImage preview);
    const QImage& preview() const { return preview_; }

    // Within this many screen pixels of a movable marker, the mouse takes the marker.
    static constexpr int kMarkerReach = 6;

  signals:
    void dragged(double dx, double dy);
    void wheeled(double notches, double x, double y);
    void crownMoved(double y);
    void chinMoved(double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    enum class Grip { None, Photo, Crown, Chin };
    Grip gripAt(QPointF pos) const;
    void paintFill(QPainter& painter) const;
    void paintBands(QPainter& painter) const;
    void paintMarkers(QPainter& painter) const;

    const counter::CounterFraming& framing_;
    QImage preview_;
    Grip grip_ = Grip::None;
    QPointF last_;
};
