#pragma once

#include <functional>

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

#include "ScriptedDialogs.h"

// A passport photo that shows where it is and which way up: blue, with a red 10 x 10 patch in
// its top-left corner.
QImage markedPhoto();

bool isPhotoBlue(QRgb c);
bool isMarkRed(QRgb c);
// Black text, cut lines and the stamp frame's outline.
bool isDark(QRgb c);
bool isPaperWhite(QRgb c);

// What pdfinfo says about a PDF file.
struct PdfFacts {
    bool readable = false;
    int pages = 0;
    double widthPoints = 0;
    double heightPoints = 0;
    int rotation = -1;
};
PdfFacts pdfFacts(const QString& path);

// Distinct image objects in a PDF (pdfimages -list).
int distinctPdfImages(const QString& path);

// The PDF's first page rasterised by pdftoppm at `dpi`, without anti-aliasing.
QImage rasterisePdf(const QString& path, int dpi);

// Waits until `done` holds, letting events run, for at most `seconds`. Returns `done()`.
bool waitUntil(const std::function<bool()>& done, double seconds);

// The CUPS scheduler runs.
bool cupsSchedulerRunning();
// The CUPS scheduler runs and has the PDF queue.
bool cupsPdfQueueReady();
// Jobs waiting or printing on the CUPS queue `queue`.
bool cupsQueueBusy(const QString& queue = QStringLiteral("PDF"));

// Dialogs that also note the mouse pointer each time the user is asked something.
class PointerNotingDialogs : public ScriptedDialogs {
  public:
    bool ask(const QString& text) override;
    void message(const QString& text) override;
    bool arrowWhenAsked = true;
};

// A page rasterised at `dpi`, read in twips from the top-left corner of the printable area.
class PageRaster {
  public:
    PageRaster(QImage image, int dpi, QPointF printableOriginMm);

    const QImage& image() const { return image_; }
    double toPixelsX(double twips) const;
    double toPixelsY(double twips) const;
    // Tolerance of 0.3 mm in pixels.
    double tolerance() const;

    // The edges, in twips, of the run of pixels satisfying `inside` that passes through the
    // point (x, y) given in twips, scanning outwards along the row and the column.
    QRectF regionAround(double xTwips, double yTwips,
                        const std::function<bool(QRgb)>& inside) const;
    // Bounding box, in twips, of the dark pixels within a box given in twips; empty if none.
    QRectF darkBox(const QRectF& twipsBox) const;
    // Pixels that are not paper white outside every one of `allowed` (twips rectangles).
    int markedPixelsOutside(const std::vector<QRectF>& allowed) const;

  private:
    QImage image_;
    double pxPerTwip_;
    QPointF originPx_;
};

class Afdrukken;

// Image draws on a PDF's pages (pdfimages -list rows): how often pictures are shown.
int pdfImageUses(const QString& path);

// The print window's state, sampled every couple of milliseconds while its handlers let events
// run (press animations, the scan); `onSample` may act on the window, as a user would.
class WindowSampler {
  public:
    struct Sample {
        QString label1;
        bool lijnVisible;
        int lijnY;
        QPoint printKnop;
        QPoint exitKnop;
        bool busyPointer;
    };
    explicit WindowSampler(Afdrukken& window);
    ~WindowSampler();

    std::vector<Sample> samples;
    std::function<void(const Sample&)> onSample;

  private:
    struct Timer;
    Timer* timer_;
};
