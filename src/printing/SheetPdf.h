#pragma once

#include <functional>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "sheets/CounterSheet.h"
#include "sheets/SheetCanvas.h"

// The one writer of A4 sheets as PDF files: the counter photo's sheet, from the window and
// from the command line alike. The page is drawn in twips from its top-left corner, with
// `photo` stored once in the file at its full resolution however often the sheet shows it.
// The bytes are made in memory, so the caller writes the file whole or not at all.

// A one-page A4 PDF of whatever `draw` draws (it must end the page). Empty, with the reason in
// `error`, when it could not be drawn.
QByteArray sheetPdf(const std::function<void(sheets::SheetCanvas&)>& draw, const QImage& photo,
                    const QImage& stampFrame, QString* error);

// The counter photo's A4 sheet: photos of exactly 35 x 45 mm (`photo`, the 600 dpi photo).
QByteArray counterSheetPdf(const QImage& photo, const sheets::CounterSheetOptions& options,
                           QString* error);
