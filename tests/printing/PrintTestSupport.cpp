#include "PrintTestSupport.h"

#include <algorithm>
#include <cmath>
#include <set>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureButton.h"

QImage markedPhoto() {
    QImage photo(127, 163, QImage::Format_RGB32);
    photo.fill(QColor(0, 0, 255));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) photo.setPixel(x, y, qRgb(255, 0, 0));
    return photo;
}

bool isPhotoBlue(QRgb c) {
    return qBlue(c) > 180 && qRed(c) < 90 && qGreen(c) < 90;
}
bool isMarkRed(QRgb c) {
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool isDark(QRgb c) {
    return std::max({qRed(c), qGreen(c), qBlue(c)}) < 110;
}
bool isPaperWhite(QRgb c) {
    return std::min({qRed(c), qGreen(c), qBlue(c)}) > 245;
}

namespace {

QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return {};
    if (exitCode) *exitCode = process.exitCode();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

}  // namespace

PdfFacts pdfFacts(const QString& path) {
    int code = -1;
    const QString out = run(QStringLiteral("pdfinfo"), {path}, &code);
    PdfFacts facts;
    if (code != 0) return facts;
    facts.readable = true;
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    if (pages.hasMatch()) facts.pages = pages.captured(1).toInt();
    const auto size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(out);
    if (size.hasMatch()) {
        facts.widthPoints = size.captured(1).toDouble();
        facts.heightPoints = size.captured(2).toDouble();
    }
    const auto rotation = QRegularExpression(QStringLiteral("Page rot:\\s+(\\d+)")).match(out);
    if (rotation.hasMatch()) facts.rotation = rotation.captured(1).toInt();
    return facts;
}

int distinctPdfImages(const QString& path) {
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::set<QString> objects;
    // Rows after the two header lines; the object number is the eleventh column.
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (cells.size() > 10) objects.insert(cells[10]);
    }
    return static_cast<int>(objects.size());
}

QImage rasterisePdf(const QString& path, int dpi) {
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aa"), QStringLiteral("no"),
         QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), path, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    QDeadlineTimer deadline(static_cast<qint64>(seconds * 1000));
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

bool cupsSchedulerRunning() {
    // lpstat -r exits 0 even when the scheduler is down: read what it says.
    const QString status = run(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return status.trimmed() == QLatin1String("scheduler is running");
}

bool cupsPdfQueueReady() {
    return cupsSchedulerRunning() && !QPrinterInfo::printerInfo(QStringLiteral("PDF")).isNull();
}

bool cupsQueueBusy(const QString& queue) {
    return !run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}).trimmed().isEmpty();
}

bool PointerNotingDialogs::ask(const QString& text) {
    arrowWhenAsked = arrowWhenAsked && AppCursor::current() == AppCursor::Shape::Arrow;
    return ScriptedDialogs::ask(text);
}

void PointerNotingDialogs::message(const QString& text) {
    arrowWhenAsked = arrowWhenAsked && AppCursor::current() == AppCursor::Shape::Arrow;
    ScriptedDialogs::message(text);
}

PageRaster::PageRaster(QImage image, int dpi, QPointF printableOriginMm)
    : image_(std::move(image)),
      pxPerTwip_(dpi / 1440.0),
      originPx_(printableOriginMm * dpi / 25.4) {}

double PageRaster::toPixelsX(double twips) const {
    return originPx_.x() + twips * pxPerTwip_;
}
double PageRaster::toPixelsY(double twips) const {
    return originPx_.y() + twips * pxPerTwip_;
}
double PageRaster::tolerance() const {
    return 0.3 / 25.4 * 1440.0;
}

QRectF PageRaster::regionAround(double xTwips, double yTwips,
                                const std::function<bool(QRgb)>& inside) const {
    const int px = static_cast<int>(toPixelsX(xTwips));
    const int py = static_cast<int>(toPixelsY(yTwips));
    if (!image_.valid(px, py) || !inside(image_.pixel(px, py))) return {};
    int left = px, right = px, top = py, bottom = py;
    while (left > 0 && inside(image_.pixel(left - 1, py))) --left;
    while (right + 1 < image_.width() && inside(image_.pixel(right + 1, py))) ++right;
    while (top > 0 && inside(image_.pixel(px, top - 1))) --top;
    while (bottom + 1 < image_.height() && inside(image_.pixel(px, bottom + 1))) ++bottom;
    const auto twipsX = [&](double pixels) { return (pixels - originPx_.x()) / pxPerTwip_; };
    const auto twipsY = [&](double pixels) { return (pixels - originPx_.y()) / pxPerTwip_; };
    return QRectF(QPointF(twipsX(left), twipsY(top)),
                  QPointF(twipsX(right + 1), twipsY(bottom + 1)));
}

QRectF PageRaster::darkBox(const QRectF& twipsBox) const {
    const int x0 = std::max(0, static_cast<int>(std::floor(toPixelsX(twipsBox.left()))));
    const int x1 =
        std::min(image_.width(), static_cast<int>(std::ceil(toPixelsX(twipsBox.right()))));
    const int y0 = std::max(0, static_cast<int>(std::floor(toPixelsY(twipsBox.top()))));
    const int y1 =
        std::min(image_.height(), static_cast<int>(std::ceil(toPixelsY(twipsBox.bottom()))));
    int left = x1, right = -1, top = y1, bottom = -1;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!isDark(image_.pixel(x, y))) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return QRectF(QPointF((left - originPx_.x()) / pxPerTwip_, (top - originPx_.y()) / pxPerTwip_),
                  QPointF((right + 1 - originPx_.x()) / pxPerTwip_,
                          (bottom + 1 - originPx_.y()) / pxPerTwip_));
}

int PageRaster::markedPixelsOutside(const std::vector<QRectF>& allowed) const {
    std::vector<QRectF> pixelBoxes;
    for (const QRectF& box : allowed) {
        pixelBoxes.emplace_back(QPointF(toPixelsX(box.left()), toPixelsY(box.top())),
                                QPointF(toPixelsX(box.right()), toPixelsY(box.bottom())));
    }
    int count = 0;
    for (int y = 0; y < image_.height(); ++y) {
        for (int x = 0; x < image_.width(); ++x) {
            if (isPaperWhite(image_.pixel(x, y))) continue;
            const QPointF centre(x + 0.5, y + 0.5);
            const bool explained = std::any_of(pixelBoxes.begin(), pixelBoxes.end(),
                                               [&](const QRectF& b) { return b.contains(centre); });
            if (!explained) ++count;
        }
    }
    return count;
}

int pdfImageUses(const QString& path) {
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return std::max<int>(0, static_cast<int>(lines.size()) - 2);
}

struct WindowSampler::Timer : QTimer {};

WindowSampler::WindowSampler(Afdrukken& window) : timer_(new Timer) {
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(2);
    QObject::connect(timer_, &QTimer::timeout, [this, &window] {
        const Sample sample{window.Label1->text(),  window.lijnVisible(),
                            window.lijnY(),         window.PrintKnop->pos(),
                            window.ExitKnop->pos(), AppCursor::current() == AppCursor::Shape::Busy};
        samples.push_back(sample);
        if (onSample) onSample(sample);
    });
    timer_->start();
}

WindowSampler::~WindowSampler() {
    delete timer_;
}
