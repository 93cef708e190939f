#pragma once

#include <QImage>
#include <QString>

#include "sheets/CounterSheet.h"
#include "sheets/SheetLayout.h"

struct PrinterChoice;

// What became of one print job. `problem` says, in words for the user, why nothing (or not
// all) was printed.
struct PrintOutcome {
    bool printed = false;
    QString problem;
};

// Prints one A4 page of `options` as one job with one copy, in portrait, on the printer that
// File / "Setup Printer" chose, or the system's default printer when none was chosen; a
// chosen PDF file is written as a PDF. Every job has a printer of its own: one whose
// painting failed to begin cannot be used again. `documentName` is the job's title.
PrintOutcome printSheet(const PrinterChoice& choice, const sheets::SheetOptions& options,
                        const QImage& photo, const QImage& stampFrame,
                        const QString& documentName = QStringLiteral("Portrik"));

// Prints the counter photo's A4 sheet (photos of exactly 35 x 45 mm) on the chosen printer as
// printSheet prints the print window's sheets. A chosen PDF file is not written here: the
// caller writes counterSheetPdf's bytes (SheetPdf.h) whole.
PrintOutcome printCounterSheet(const PrinterChoice& choice,
                               const sheets::CounterSheetOptions& options, const QImage& photo,
                               const QString& documentName = QStringLiteral("Portrik"));

// Writes the sheet as a one-page A4 PDF file at `path`, the whole page being printable.
PrintOutcome saveSheetAsPdf(const QString& path, const sheets::SheetOptions& options,
                            const QImage& photo, const QImage& stampFrame,
                            const QString& documentName = QStringLiteral("Portrik"));
