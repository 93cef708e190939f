#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include "sheets/SheetCanvas.h"

class QPainter;
class QPaintDevice;

// A sheet canvas on a QPainter whose logical unit is one twip (see useTwips). The photo and
// the stamp frame are drawn from the very QImage objects given here, every time, so a PDF
// holds each of them once however often the sheet shows it. A missing (null) picture draws
// nothing.
class PainterCanvas : public sheets::SheetCanvas {
  public:
    PainterCanvas(QPainter& painter, const QImage& photo, const QImage& stampFrame);

    // Makes one logical unit of `painter` one twip on its device, origin unchanged.
    static void useTwips(QPainter& painter, const QPaintDevice& device);

    void drawPicture(sheets::Picture picture, int x, int y, int width, int height) override;
    void drawLine(int x1, int y1, int x2, int y2, sheets::Rgb colour) override;
    void setFont(const std::string& family, bool bold, int points) override;
    void setTextColour(sheets::Rgb colour) override;
    void drawText(int x, int y, const std::string& text) override;
    // Ends the painter, which sends the page; pageEnded() tells whether that succeeded.
    void endPage() override;

    bool pageEnded() const { return pageEnded_; }

  private:
    QPainter& painter_;
    const QImage& photo_;
    const QImage& stampFrame_;
    QFont font_;
    QColor textColour_{Qt::black};
    bool pageEnded_ = false;
};
