#include "passportcli/SheetPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "printing/PainterCanvas.h"

namespace passportcli {

QByteArray sheetPdf(const QImage& photo, const sheets::SheetOptions& options, QString* error) {
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
        const QImage noStampFrame;
        PainterCanvas canvas(painter, photo, noStampFrame);
        sheets::drawSheet(options, canvas);
        if (!canvas.pageEnded()) {
            if (error) *error = QStringLiteral("the PDF could not be finished");
            return {};
        }
    }
    return bytes;
}

}  // namespace passportcli
