#include "printing/SheetPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "printing/PainterCanvas.h"

QByteArray sheetPdf(const std::function<void(sheets::SheetCanvas&)>& draw, const QImage& photo,
                    const QImage& stampFrame, QString* error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Portrik"));
        writer.setTitle(QStringLiteral("Passport photos"));
        // The whole sheet is the page: the layouts count from its top-left corner.
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error) *error = QStringLiteral("the PDF could not be started");
            return {};
        }
        PainterCanvas::useTwips(painter, writer);
        PainterCanvas canvas(painter, photo, stampFrame);
        draw(canvas);
        if (!canvas.pageEnded()) {
            if (error) *error = QStringLiteral("the PDF could not be finished");
            return {};
        }
    }
    return bytes;
}

QByteArray counterSheetPdf(const QImage& photo, const sheets::CounterSheetOptions& options,
                           QString* error) {
    return sheetPdf([&](sheets::SheetCanvas& canvas) { sheets::drawCounterSheet(options, canvas); },
                    photo, QImage(), error);
}
