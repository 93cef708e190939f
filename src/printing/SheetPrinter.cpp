#include "printing/SheetPrinter.h"

#include <functional>

#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include "platform/widgets/PrinterChoice.h"
#include "printing/PainterCanvas.h"

namespace {

QString tr(const char* text) {
    return QObject::tr(text);
}

using Drawing = std::function<void(sheets::SheetCanvas&)>;

// Draws the sheet on a printer that is set up but not yet begun.
PrintOutcome drawOn(QPrinter& printer, const QString& where, const Drawing& draw,
                    const QImage& photo, const QImage& stampFrame) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return {false, tr("The print job could not be started on %1.").arg(where)};
    }
    PainterCanvas::useTwips(painter, printer);
    PainterCanvas canvas(painter, photo, stampFrame);
    draw(canvas);
    if (!canvas.pageEnded() || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        return {false, tr("The print job on %1 failed.").arg(where)};
    }
    return {true, {}};
}

// Whether the CUPS queue takes new jobs. A queue set to reject them (cupsreject) throws a
// job away while Qt reports it sent; Qt does not tell, so ask CUPS itself. A queue CUPS does
// not know counts as accepting: the other checks deal with it.
bool queueAcceptsJobs(const QString& name) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
    if (!dest) return true;
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool accepts = !accepting || qstrcmp(accepting, "false") != 0;
    cupsFreeDests(1, dest);
    return accepts;
}

// One copy, upright, drawn from the corner of the printer's own printable area: the sheet's
// twips count from there. Qt keeps page margins of its own (10 pt) even on a printer that
// prints the whole sheet; margins equal to the printer's minimum ones make the paint origin
// that corner. The page layout carries the orientation and the margins.
void portraitOneCopyOnPrintableArea(QPrinter& printer) {
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);
    printer.setCopyCount(1);
}

}  // namespace

namespace {

// The sheet on the chosen printer, or the system's default one.
PrintOutcome printOnPrinter(const PrinterChoice& choice, const Drawing& draw, const QImage& photo,
                            const QImage& stampFrame, const QString& documentName) {
    QString name = choice.printerName;
    if (name.isEmpty()) {
        name = QPrinterInfo::defaultPrinterName();
        if (name.isEmpty()) return {false, tr("No printer is available.")};
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        // Asked for a queue that is gone, CUPS would print on the default printer instead.
        return {false, tr("The printer \"%1\" is not available.").arg(name)};
    }
    if (info.state() == QPrinter::Error) {
        // A stopped queue would keep the job without a word; nothing would come out.
        return {false, tr("The printer \"%1\" is stopped or off-line.").arg(name)};
    }
    if (!queueAcceptsJobs(name)) {
        return {false, tr("The printer \"%1\" refuses print jobs.").arg(name)};
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    printer.setDocName(documentName);
    // The page size stays as the printer is set up; the sheets are laid out for A4.
    portraitOneCopyOnPrintableArea(printer);
    return drawOn(printer, tr("the printer \"%1\"").arg(name), draw, photo, stampFrame);
}

}  // namespace

PrintOutcome printSheet(const PrinterChoice& choice, const sheets::SheetOptions& options,
                        const QImage& photo, const QImage& stampFrame,
                        const QString& documentName) {
    if (!choice.pdfFile.isEmpty()) {
        return saveSheetAsPdf(choice.pdfFile, options, photo, stampFrame, documentName);
    }
    return printOnPrinter(
        choice, [&](sheets::SheetCanvas& canvas) { sheets::drawSheet(options, canvas); }, photo,
        stampFrame, documentName);
}

PrintOutcome printCounterSheet(const PrinterChoice& choice,
                               const sheets::CounterSheetOptions& options, const QImage& photo,
                               const QString& documentName) {
    return printOnPrinter(
        choice, [&](sheets::SheetCanvas& canvas) { sheets::drawCounterSheet(options, canvas); },
        photo, QImage(), documentName);
}

PrintOutcome saveSheetAsPdf(const QString& path, const sheets::SheetOptions& options,
                            const QImage& photo, const QImage& stampFrame,
                            const QString& documentName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(path);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setDocName(documentName);
    printer.setFullPage(false);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setCopyCount(1);
    return drawOn(
        printer, tr("the PDF file \"%1\"").arg(path),
        [&](sheets::SheetCanvas& canvas) { sheets::drawSheet(options, canvas); }, photo,
        stampFrame);
}
