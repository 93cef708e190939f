#pragma once

#include <QString>

// The printer that printing uses: what File / "Setup Printer" chose, or, while nothing was
// chosen, the system's default printer.
struct PrinterChoice {
    // Queue name; empty means the system's default printer.
    QString printerName;
    // When not empty, pages go into this PDF file instead of a printer queue.
    QString pdfFile;
};
