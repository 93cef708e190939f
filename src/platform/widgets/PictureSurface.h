#pragma once

#include <functional>

#include <QColor>
#include <QImage>
#include <QWidget>

class QFont;

// A drawing area with a persistent image of its own size: whatever is drawn on it stays
// until it is drawn over, and can be read back. Shapes laid over it (capture frame, guides,
// scanning line) are painted by the overlay painter on top of the image and never become
// part of it. Coordinates are pixels, (0, 0) top-left, y downwards.
class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(QSize size, QWidget* parent = nullptr);

    // The persistent image, always Format_RGB32 and the surface's size. Its pixel buffer may
    // move when a copy of it is held elsewhere (implicit sharing): fetch it for each use.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    QColor backColor() const { return backColor_; }
    // Sets the background colour and clears the image to it.
    void setBackColor(const QColor& colour);
    // Replaces the whole image by the background colour.
    void clear();

    void drawLine(QPoint from, QPoint to, const QColor& colour);
    // Text with a transparent background; topLeft is the top-left corner of the text.
    // "\r\n" starts a new text line.
    void drawText(QPoint topLeft, const QString& text, const QFont& font, const QColor& colour);

    // Draws shapes over the image at each repaint; they are not part of the image.
    void setOverlayPainter(std::function<void(QPainter&)> painter);

    // Repaints at once (the image and the overlays).
    void refresh();

signals:
    void mousePressed(QPoint pos, Qt::MouseButton button);
    void mouseMoved(QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QColor backColor_;
    std::function<void(QPainter&)> overlayPainter_;
};
