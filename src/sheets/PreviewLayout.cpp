#include "sheets/PreviewLayout.h"

#include <algorithm>

#include "sheets/SheetLayout.h"

namespace sheets {

namespace {

// Nominal sizes of the preview's pictures, in the units the box sizes are given in.
constexpr int kPhotoW = 294;
constexpr int kPhotoH = 400;
constexpr int kStampPhotoW = 180;
constexpr int kStampPhotoH = 270;
constexpr int kPosterW = 1800;
constexpr int kPosterH = 2550;

// The preview's grid: photos 24 pixels apart across and 35 down, from (6, 6).
constexpr int kStart = 6;
constexpr int kStepX = 24;
constexpr int kStepY = 35;

void addPhoto(std::vector<PreviewPlacement>& out, int x, int y) {
    out.push_back({Picture::Photo, x, y, kPhotoW, kPhotoH});
}

void addStamps(std::vector<PreviewPlacement>& out) {
    int x = kStart;
    int y = kStart;
    for (int i = 1; i <= kStampCount; ++i) {
        out.push_back({Picture::StampFrame, x, y, kPhotoW, kPhotoH});
        out.push_back({Picture::Photo, x + 2, y + 2, kStampPhotoW, kStampPhotoH});
        x += 20;
        if (i % 6 == 0) {
            x = kStart;
            y += 24;
        }
    }
}

}  // namespace

std::vector<PreviewPlacement> previewPlacements(int layout) {
    const int v = std::clamp(layout, kFirstLayout, kLastLayout);
    std::vector<PreviewPlacement> out;
    switch (familyOf(v)) {
        case Family::Rows:
            for (int i = 0; i < 5 * v; ++i) {
                addPhoto(out, kStart + kStepX * (i % 5), kStart + kStepY * (i / 5));
            }
            break;
        case Family::Row:
            for (int i = 0; i < 5; ++i)
                addPhoto(out, kStart + kStepX * i, kStart + kStepY * (v - 5));
            break;
        case Family::Column:
            for (int i = 0; i < 5; ++i)
                addPhoto(out, kStart + kStepX * (v - 10), kStart + kStepY * i);
            break;
        case Family::Stamps:
            addStamps(out);
            break;
        case Family::Poster:
            out.push_back({Picture::Photo, 5, 5, kPosterW, kPosterH});
            break;
    }
    return out;
}

ShownSize previewShownSize(const PreviewPlacement& placement, int pictureWidth, int pictureHeight) {
    // Only the part of the source rectangle that lies on the picture is drawn, at the scale
    // of the whole rectangle.
    const int pw = std::min(pictureWidth, kPreviewSourceWidth);
    const int ph = std::min(pictureHeight, kPreviewSourceHeight);
    return {placement.width * static_cast<double>(pw) / kPreviewSourceWidth,
            placement.height * static_cast<double>(ph) / kPreviewSourceHeight};
}

std::string layoutCaption(int layout) {
    const int v = std::clamp(layout, kFirstLayout, kLastLayout);
    switch (familyOf(v)) {
        case Family::Rows:
            return std::to_string(v) + " rows of 5 photo's.";
        case Family::Row:
            return std::to_string(v - 4) + "e row horizontal of 5 photo's.";
        case Family::Column:
            return std::to_string(v - 9) + "e row vertical of 5 photo's.";
        case Family::Stamps:
            return "Piece of paper of 42 stamps with text.";
        case Family::Poster:
            return "Passport Photo in poster format.";
    }
    return {};
}

std::string printExampleCaption(int layout) {
    return "Print example " + std::to_string(layout);
}

OptionControls optionControls(int layout) {
    switch (familyOf(layout)) {
        case Family::Stamps:
            return {false, true};
        case Family::Poster:
            return {false, false};
        default:
            return {true, false};
    }
}

}  // namespace sheets
