// The counter-photo window's outputs: the 600 dpi photo, the photo-lab sheet, and the A4
// sheet printed or saved as a PDF file.
#include <QByteArray>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QSpinBox>

#include "counter/CounterWindow.h"
#include "passport/Outputs.h"
#include "passport/PrintPhoto.h"
#include "platform/files/PhotoPixels.h"
#include "platform/files/PhotoSave.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/Dialogs.h"
#include "printing/SheetPdf.h"
#include "printing/SheetPrinter.h"

namespace {

const FileFilter kJpegFilter{QStringLiteral("JPEG file"),
                             {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}};
const FileFilter kPdfFilter{QStringLiteral("PDF file"), {QStringLiteral("*.pdf")}};

}  // namespace

const QImage& CounterWindow::printPhoto() {
    // Made once per framing, when an output asks for it, never while the user drags.
    if (printCrop_ && *printCrop_ == framing_.crop()) return printPhoto_;
    const passport::PrintPhoto print = passport::makePrintPhoto(pixels_, framing_.crop());
    QImage image(print.width, print.height, QImage::Format_RGB32);
    for (int y = 0; y < print.height; ++y) {
        std::copy_n(print.pixels.data() + static_cast<std::ptrdiff_t>(y) * print.width, print.width,
                    reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    // 600 dpi, so that programs that read the image's density print it at 35 x 45 mm.
    const int dotsPerMeter = static_cast<int>(std::lround(passport::kPrintDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    printPhoto_ = std::move(image);
    printCrop_ = framing_.crop();
    return printPhoto_;
}

sheets::CounterSheetOptions CounterWindow::sheetOptions() const {
    return {SheetRows->value(), CutLines->isChecked()};
}

bool CounterWindow::writeSheetPdf(const QString& path) {
    QByteArray pdf;
    QString problem;
    {
        AppCursor::BusyScope busy;
        // Photos of exactly 35 x 45 mm, from the same writer as the command line's; made in
        // memory and written whole, so an old file stays whole on failure.
        pdf = counterSheetPdf(printPhoto(), sheetOptions(), &problem);
        if (!pdf.isEmpty() && writeFileAtomically(path, pdf, &problem)) return true;
    }
    dialogs_.message(QStringLiteral("The file \"%1\" could not be written: %2")
                         .arg(QDir::toNativeSeparators(path), problem));
    return false;
}

QString CounterWindow::defaultName(const QString& suffix) const {
    const QFileInfo photo(fileName_);
    const QString base =
        photo.completeBaseName().isEmpty() ? QStringLiteral("photo") : photo.completeBaseName();
    if (fileName_.isEmpty()) return base + suffix;
    return QDir(photo.absolutePath()).filePath(base + suffix);
}

bool CounterWindow::writeFile(const QString& path, const std::vector<unsigned char>& bytes,
                              const std::string& encodeError) {
    QString problem;
    if (bytes.empty()) {
        problem = QString::fromStdString(encodeError);
    } else {
        const QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size()));
        // A new file beside the old one, renamed over it: the old file stays whole on failure.
        if (writeFileAtomically(path, data, &problem)) return true;
    }
    dialogs_.message(QStringLiteral("The file \"%1\" could not be written: %2")
                         .arg(QDir::toNativeSeparators(path), problem));
    return false;
}

void CounterWindow::tellWritten(const QString& what, const QString& path) {
    dialogs_.message(QStringLiteral("%1 was saved as \"%2\".")
                         .arg(what, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

void CounterWindow::onSavePhoto() {
    const QString path =
        dialogs_.saveFileNamed(kJpegFilter, defaultName(QStringLiteral("-passport.jpg")));
    if (path.isEmpty()) return;
    passport::OutputFile file;
    {
        AppCursor::BusyScope busy;
        file = passport::photoJpeg(constPixelsOf(printPhoto()));
    }
    if (writeFile(path, file.bytes, file.error)) tellWritten(QStringLiteral("The photo"), path);
}

void CounterWindow::onSaveLabSheet() {
    const QString path =
        dialogs_.saveFileNamed(kJpegFilter, defaultName(QStringLiteral("-lab-sheet.jpg")));
    if (path.isEmpty()) return;
    passport::OutputFile file;
    {
        AppCursor::BusyScope busy;
        file = passport::labSheetJpeg(constPixelsOf(printPhoto()));
    }
    if (writeFile(path, file.bytes, file.error)) {
        tellWritten(QStringLiteral("The lab sheet"), path);
    }
}

void CounterWindow::onPrintSheet() {
    // The platform's print dialog first, on the printer chosen last; cancelled, nothing is
    // printed. The choice stays for the next sheet of this window.
    PrinterChoice choice = printerChoice_;
    if (!dialogs_.choosePrinter(choice)) return;
    printerChoice_ = choice;
    if (!choice.pdfFile.isEmpty()) {
        if (writeSheetPdf(choice.pdfFile)) tellWritten(QStringLiteral("The sheet"), choice.pdfFile);
        return;
    }
    PrintOutcome outcome;
    {
        AppCursor::BusyScope busy;
        // The 600 dpi photo at exactly 35 x 45 mm on the page.
        outcome = printCounterSheet(choice, sheetOptions(), printPhoto(), documentName_);
    }
    if (!outcome.printed) {
        offerPdf(outcome.problem);
        return;
    }
    const QString printer =
        choice.printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : choice.printerName;
    dialogs_.message(
        printer.isEmpty()
            ? QStringLiteral("The sheet was sent to the default printer.")
            : QStringLiteral("The sheet was sent to the printer \"%1\".").arg(printer));
}

void CounterWindow::offerPdf(const QString& problem) {
    // As the print window does: the arrow is back before the question.
    if (!dialogs_.ask(problem + QStringLiteral("\n\nSave the sheet as a PDF file instead?"))) {
        return;
    }
    onSaveSheetPdf();
}

void CounterWindow::onSaveSheetPdf() {
    const QString path =
        dialogs_.saveFileNamed(kPdfFilter, defaultName(QStringLiteral("-sheet.pdf")));
    if (path.isEmpty()) return;
    if (writeSheetPdf(path)) tellWritten(QStringLiteral("The sheet"), path);
}
