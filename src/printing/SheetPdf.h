#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "sheets/SheetLayout.h"

namespace passportcli {

// A one-page A4 PDF of the sheet `options` describes, drawn by the sheet library exactly as
// the print window draws it, with `photo` (the 600 dpi photo, stored once in the file at its
// full resolution) in every photo place, positions measured from the page's corner. Empty,
// with the reason in `error`, when it could not be drawn.
QByteArray sheetPdf(const QImage& photo, const sheets::SheetOptions& options, QString* error);

}  // namespace passportcli
