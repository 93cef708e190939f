// The print window's Ok and Exit buttons: their press animations, the scan over the preview
// and the print run, with what happens when the printer fails.
#include <QLabel>
#include <QScrollBar>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/EventPump.h"
#include "platform/widgets/PictureButton.h"
#include "platform/widgets/PictureSurface.h"
#include "sheets/PreviewLayout.h"
#include "printing/SheetPrinter.h"

void Afdrukken::press(PictureButton* button, double seconds) {
    // 15 twips down and to the right: one pixel.
    const QPoint rest = button->pos();
    button->move(rest + QPoint(1, 1));
    pauseSeconds(seconds);
    button->move(rest);
}

bool Afdrukken::abandoned() const {
    return closed_ || quitRequested();
}

void Afdrukken::done(int result) {
    closed_ = true;
    QDialog::done(result);
}

void Afdrukken::onExitKnopClick() {
    // A second Exit (or an Ok) during the animation is ignored: the window is on its way out.
    if (closing_ || closed_) return;
    closing_ = true;
    press(ExitKnop, 0.2);
    pauseSeconds(0.1);
    closing_ = false;
    // Ending the program closes every window anyway.
    if (quitRequested()) return;
    reject();
}

void Afdrukken::ScanPreview() {
    setLabel1(QStringLiteral("Scanning..."));
    lijnVisible_ = true;
    for (int y = 0; y <= 180 && !abandoned(); y += 2) {
        lijnY_ = y;
        Picture1->update();
        pauseSeconds(0.01);
    }
    lijnVisible_ = false;
    Picture1->update();
    setLabel1(QString::fromStdString(sheets::printExampleCaption(ScrollBalk->value())));
}

void Afdrukken::onPrintKnopClick() {
    // One click, one page: an Ok that arrives while a run waits is ignored.
    if (printing_ || closing_ || closed_) return;
    printing_ = true;
    press(PrintKnop, 0.2);
    PrintOutcome outcome;
    bool ran = false;
    if (!abandoned()) {
        AppCursor::BusyScope busy;
        ScanPreview();
        // The options are read now, so changes made during the waits count for the page.
        if (!abandoned()) {
            outcome = printSheet(printerChoice_, sheetOptions(), photo_, Stamp1, documentName_);
            ran = true;
        }
    }
    printing_ = false;
    if (ran && !outcome.printed) offerPdf(outcome.problem);
}

void Afdrukken::offerPdf(const QString& problem) {
    // The arrow is back before the question: the window is usable again.
    if (!dialogs_.ask(problem + QStringLiteral("\n\nSave the sheet as a PDF file instead?"))) {
        return;
    }
    const QString path =
        dialogs_.saveFile(FileFilter{QStringLiteral("PDF file"), {QStringLiteral("*.pdf")}});
    if (path.isEmpty()) return;
    PrintOutcome saved;
    {
        AppCursor::BusyScope busy;
        saved = saveSheetAsPdf(path, sheetOptions(), photo_, Stamp1, documentName_);
    }
    if (!saved.printed) dialogs_.message(saved.problem);
}
