// Where the preview puts its pictures, what Label1 says, and which option controls show.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sheets/PreviewLayout.h"

namespace {

using sheets::Picture;
using sheets::PreviewPlacement;

std::vector<PreviewPlacement> photoPlacements(int layout) {
    std::vector<PreviewPlacement> photos;
    for (const auto& p : sheets::previewPlacements(layout)) {
        if (p.picture == Picture::Photo) photos.push_back(p);
    }
    return photos;
}

struct PreviewCase {
    int layout;
    std::string caption;
    size_t photos;
    // Top-left corners of the first and the last photo.
    int firstX, firstY, lastX, lastY;
    bool cutLineControls;
    bool stampControls;
};

class EveryPreview : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(EveryPreview, PlacesPhotosNamesTheLayoutAndChoosesTheOptions) {
    const PreviewCase& c = GetParam();
    EXPECT_EQ(sheets::layoutCaption(c.layout), c.caption);
    const auto photos = photoPlacements(c.layout);
    ASSERT_EQ(photos.size(), c.photos);
    EXPECT_EQ(photos.front().x, c.firstX);
    EXPECT_EQ(photos.front().y, c.firstY);
    EXPECT_EQ(photos.back().x, c.lastX);
    EXPECT_EQ(photos.back().y, c.lastY);
    EXPECT_EQ(sheets::optionControls(c.layout),
              (sheets::OptionControls{c.cutLineControls, c.stampControls}));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, EveryPreview,
    ::testing::Values(
        PreviewCase{1, "1 rows of 5 photo's.", 5, 6, 6, 102, 6, true, false},
        PreviewCase{2, "2 rows of 5 photo's.", 10, 6, 6, 102, 41, true, false},
        PreviewCase{3, "3 rows of 5 photo's.", 15, 6, 6, 102, 76, true, false},
        PreviewCase{4, "4 rows of 5 photo's.", 20, 6, 6, 102, 111, true, false},
        PreviewCase{5, "5 rows of 5 photo's.", 25, 6, 6, 102, 146, true, false},
        PreviewCase{6, "2e row horizontal of 5 photo's.", 5, 6, 41, 102, 41, true, false},
        PreviewCase{7, "3e row horizontal of 5 photo's.", 5, 6, 76, 102, 76, true, false},
        PreviewCase{8, "4e row horizontal of 5 photo's.", 5, 6, 111, 102, 111, true, false},
        PreviewCase{9, "5e row horizontal of 5 photo's.", 5, 6, 146, 102, 146, true, false},
        PreviewCase{10, "1e row vertical of 5 photo's.", 5, 6, 6, 6, 146, true, false},
        PreviewCase{11, "2e row vertical of 5 photo's.", 5, 30, 6, 30, 146, true, false},
        PreviewCase{12, "3e row vertical of 5 photo's.", 5, 54, 6, 54, 146, true, false},
        PreviewCase{13, "4e row vertical of 5 photo's.", 5, 78, 6, 78, 146, true, false},
        PreviewCase{14, "5e row vertical of 5 photo's.", 5, 102, 6, 102, 146, true, false},
        PreviewCase{15, "Piece of paper of 42 stamps with text.", 42, 8, 8, 108, 152, false, true},
        PreviewCase{16, "Passport Photo in poster format.", 1, 5, 5, 5, 5, false, false}),
    [](const auto& info) { return "Layout" + std::to_string(info.param.layout); });

TEST(PreviewPlacements, EachStampIsItsFrameThenItsPhoto) {
    const auto all = sheets::previewPlacements(15);
    ASSERT_EQ(all.size(), 84u);
    for (size_t i = 0; i < 42; ++i) {
        const PreviewPlacement& frame = all[2 * i];
        const PreviewPlacement& photo = all[2 * i + 1];
        const int x = 6 + 20 * static_cast<int>(i % 6);
        const int y = 6 + 24 * static_cast<int>(i / 6);
        EXPECT_EQ(frame, (PreviewPlacement{Picture::StampFrame, x, y, 294, 400})) << i;
        EXPECT_EQ(photo, (PreviewPlacement{Picture::Photo, x + 2, y + 2, 180, 270})) << i;
    }
    EXPECT_EQ(all.back().y - 2, 150);  // the seventh row
}

struct ShownCase {
    const char* name;
    PreviewPlacement placement;
    int pictureWidth, pictureHeight;
    double width, height;
};

class ShownSizes : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownSizes, ScaleByThePictureAgainstThePhotoBoxInTwips) {
    const ShownCase& c = GetParam();
    const sheets::ShownSize shown =
        sheets::previewShownSize(c.placement, c.pictureWidth, c.pictureHeight);
    EXPECT_NEAR(shown.width, c.width, 0.005);
    EXPECT_NEAR(shown.height, c.height, 0.005);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ShownSizes,
    ::testing::Values(
        ShownCase{"Photo", {Picture::Photo, 6, 6, 294, 400}, 127, 163, 19.6, 26.67},
        ShownCase{"StampFrame", {Picture::StampFrame, 6, 6, 294, 400}, 119, 149, 18.37, 24.38},
        ShownCase{"StampPhoto", {Picture::Photo, 8, 8, 180, 270}, 127, 163, 12.0, 18.0},
        ShownCase{"Poster", {Picture::Photo, 5, 5, 1800, 2550}, 127, 163, 120.0, 170.0},
        // Only the part of the source rectangle that lies on the picture is drawn.
        ShownCase{"PictureLargerThanTheSource",
                  {Picture::Photo, 0, 0, 1905, 2445},
                  4000,
                  3000,
                  1905.0,
                  2445.0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
