#pragma once

#include <string>
#include <vector>

#include "sheets/SheetCanvas.h"

namespace sheets {

// The miniature sheet on the print window's preview surface (130 x 180 pixels).

// One picture of the preview: where it goes and its nominal size, in preview pixels.
struct PreviewPlacement {
    Picture picture = Picture::Photo;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PreviewPlacement&, const PreviewPlacement&) = default;
};

// The pictures of selector value `layout`, in drawing order (a stamp's frame before its photo).
std::vector<PreviewPlacement> previewPlacements(int layout);

// Pictures are copied from a source rectangle as large as the passport-photo box measured in
// twips (1905 x 2445) but taken as picture pixels, stretched to the nominal size. A picture of
// pw x ph pixels therefore shows at nominal * (pw / 1905, ph / 2445): the 127 x 163 photo at
// one fifteenth of the nominal size.
inline constexpr int kPreviewSourceWidth = 1905;
inline constexpr int kPreviewSourceHeight = 2445;

struct ShownSize {
    double width = 0;
    double height = 0;
};
ShownSize previewShownSize(const PreviewPlacement& placement, int pictureWidth, int pictureHeight);

// The caption of Label1 that names the layout, e.g. "3 rows of 5 photo's.".
std::string layoutCaption(int layout);

// The caption of Label1 after the scan that precedes printing, e.g. "Print example 15".
std::string printExampleCaption(int layout);

// Which option controls go with a layout: the cut-line check box and its scissors (1-14), or
// the stamp texts, their heading and the text colour check box (15); neither for the poster.
struct OptionControls {
    bool cutLineControls = false;
    bool stampControls = false;
    friend bool operator==(const OptionControls&, const OptionControls&) = default;
};
OptionControls optionControls(int layout);

}  // namespace sheets
