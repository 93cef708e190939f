// The plain view geometry: frame sizes, zoomed sizes and captions, scroll ranges, the
// zoomed view and the stretched capture.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "arithmetic/Rounding.h"
#include "view/Guides.h"
#include "view/ViewGeometry.h"
#include "raster/Photo.h"
#include "view/ZoomView.h"

using namespace view;

TEST(Rounding, HalfwayValuesGoToTheEvenNeighbour) {
    using arithmetic::roundHalfEven;
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(0.4999999), 0);
    EXPECT_EQ(roundHalfEven(163.195), 163);
}

TEST(GrabHeight, KnownWidths) {
    const std::pair<int, int> cases[] = {{50, 64},   {100, 128}, {127, 163},
                                         {140, 180}, {200, 257}, {270, 347}};
    for (auto [width, height] : cases) EXPECT_EQ(grabHeight(width), height) << width;
}

TEST(GrabHeight, EveryWidthIsTheNearestAndOnlyOneTieExists) {
    for (int width = kMinGrabWidth; width <= kMaxGrabWidth; ++width) {
        const double exact = width * 1.285;
        EXPECT_LE(std::abs(grabHeight(width) - exact), 0.5) << width;
        if (width != 100) EXPECT_NE(std::abs(grabHeight(width) - exact), 0.5) << width;
    }
}

TEST(FrameCaption, PlainNumbers) {
    EXPECT_EQ(frameSizeCaption(127, 163), "127 x 163 pixels");
    EXPECT_EQ(frameSizeCaption(100, grabHeight(100)), "100 x 128 pixels");
}

TEST(CaptureRect, HotSpotIsFiftyRightAndSixtyFiveDown) {
    EXPECT_EQ(captureRect(100, 200, 127), (Rect{50, 135, 127, 163}));
    EXPECT_EQ(captureRect(0, 0, 270), (Rect{-50, -65, 270, 347}));
}

struct ZoomCase {
    int width, height, percent;
    const char* caption;
};

class ZoomCaptionTest : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomCaptionTest, MatchesTheStatusLine) {
    const ZoomCase& c = GetParam();
    EXPECT_EQ(zoomCaption(c.percent, zoomedLength(c.width, c.percent),
                          zoomedLength(c.height, c.percent), '.'),
              c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ZoomCaptionTest,
    ::testing::Values(
        ZoomCase{640, 480, 50, "Zoomformat : 50%  /  Photo : 320 x 240 pixels"},
        ZoomCase{640, 480, 100, "Zoomformat : 100%  /  Photo : 640 x 480 pixels"},
        // 1000 / (100 / 30) is 299.99999999999994 in double precision: 15 digits show 300.
        ZoomCase{1000, 750, 30, "Zoomformat : 30%  /  Photo : 300 x 225 pixels"},
        ZoomCase{1001, 751, 50, "Zoomformat : 50%  /  Photo : 500.5 x 375.5 pixels"},
        ZoomCase{333, 333, 70, "Zoomformat : 70%  /  Photo : 233.1 x 233.1 pixels"},
        ZoomCase{6000, 4000, 200, "Zoomformat : 200%  /  Photo : 12000 x 8000 pixels"}));

TEST(ZoomCaption, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(generalNumber(500.5, ','), "500,5");
    EXPECT_EQ(generalNumber(300.0, ','), "300");
}

TEST(ZoomedPixels, RoundsToWholePixelsAndNeverVanishes) {
    EXPECT_EQ(zoomedPixels(1000, 30), 300);
    EXPECT_EQ(zoomedPixels(1001, 50), 500);  // 500.5 -> even neighbour
    EXPECT_EQ(zoomedPixels(1003, 50), 502);  // 501.5 -> even neighbour
    EXPECT_EQ(zoomedPixels(3, 10), 1);
    EXPECT_EQ(zoomedPixels(0, 10), 0);
}

// One rule for loading and zooming: a maximum when longer than the viewport, none when it
// fits (loading then leaves the range alone, zooming takes the viewport's length).
TEST(ScrollRanges, AfterLoading) {
    EXPECT_EQ(scrollMax(Axis::Horizontal, 640), 110);
    EXPECT_EQ(scrollMax(Axis::Vertical, 480), 83);
    EXPECT_EQ(scrollMax(Axis::Horizontal, 500), -30);
    EXPECT_EQ(scrollMax(Axis::Horizontal, 481), -49);
    EXPECT_EQ(scrollMax(Axis::Horizontal, 530), 0);
    EXPECT_EQ(scrollMax(Axis::Vertical, 361), -36);
    EXPECT_FALSE(scrollMax(Axis::Horizontal, 480).has_value());
    EXPECT_FALSE(scrollMax(Axis::Vertical, 360).has_value());
}

TEST(ScrollRanges, AfterZooming) {
    const auto zoomMax = [](Axis axis, int length) {
        return scrollMax(axis, length).value_or(viewportLength(axis));
    };
    EXPECT_EQ(zoomMax(Axis::Horizontal, 300), 480);
    EXPECT_EQ(zoomMax(Axis::Horizontal, 480), 480);
    EXPECT_EQ(zoomMax(Axis::Horizontal, 500), -30);
    EXPECT_EQ(zoomMax(Axis::Vertical, 360), 360);
    EXPECT_EQ(zoomMax(Axis::Vertical, 396), -1);
    EXPECT_EQ(zoomMax(Axis::Horizontal, 12000), 11470);
}

TEST(ScrollRanges, SixteenBitLimits) {
    EXPECT_EQ(longestScrollable(Axis::Horizontal), 33297);
    EXPECT_EQ(longestScrollable(Axis::Vertical), 33164);
    EXPECT_EQ(scrollMax(Axis::Horizontal, 33297), 32767);
    EXPECT_EQ(scrollMax(Axis::Horizontal, 33298), 32768);
    EXPECT_EQ(scrollMax(Axis::Vertical, 33164), 32767);
    EXPECT_EQ(scrollMax(Axis::Vertical, 33165), 32768);
}

TEST(NearestIndices, StayInRangeAndNeverGoBack) {
    for (int src : {1, 2, 7, 127, 270, 1001}) {
        for (int dst : {1, 3, 64, 127, 163, 347, 2002}) {
            const std::vector<int> map = nearestSourceIndices(src, dst);
            ASSERT_EQ(static_cast<int>(map.size()), dst);
            for (int i = 0; i < dst; ++i) {
                ASSERT_GE(map[i], 0);
                ASSERT_LT(map[i], src);
                if (i > 0) ASSERT_GE(map[i], map[i - 1]);
            }
        }
    }
}

TEST(NearestIndices, EqualLengthsCopyOneToOneAndDoublingRepeatsEachPixel) {
    const std::vector<int> same = nearestSourceIndices(127, 127);
    for (int i = 0; i < 127; ++i) EXPECT_EQ(same[i], i);
    const std::vector<int> doubled = nearestSourceIndices(50, 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(doubled[i], i / 2);
}

namespace {

// A picture whose pixel value is its own position: 0xYYYYXXXX.
std::vector<std::uint32_t> positionPhoto(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[y * width + x] = std::uint32_t(y) << 16 | x;
    }
    return pixels;
}

// The same as a loaded photo, which owns its pixels.
std::shared_ptr<const Photo> positionPhotoLoaded(int width, int height) {
    auto pixels = std::make_shared<const std::vector<std::uint32_t>>(positionPhoto(width, height));
    return std::make_shared<const Photo>(ConstPixels{pixels->data(), width, height, width}, pixels);
}

constexpr std::uint32_t kBackground = 0xFFFFFFFF;

}  // namespace

TEST(ZoomViewRender, ShowsTheSectionAtTheScrollValuesOneToOne) {
    const ZoomView zoom(positionPhotoLoaded(1000, 600), 100);
    std::vector<std::uint32_t> viewport(kViewportWidth * kViewportHeight);
    zoom.render(240, 100, {viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth},
                kBackground);
    EXPECT_EQ(viewport[0], (100u << 16 | 240));
    EXPECT_EQ(viewport.back(), (459u << 16 | 719));
}

TEST(ZoomViewRender, OutsideTheZoomedPhotoShowsTheBackground) {
    const ZoomView zoom(positionPhotoLoaded(300, 200), 100);
    std::vector<std::uint32_t> viewport(kViewportWidth * kViewportHeight);
    const Pixels out{viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth};

    // A photo narrower than the viewport, scrolled to 480: nothing of it is in view.
    zoom.render(480, 0, out, kBackground);
    for (std::uint32_t p : viewport) ASSERT_EQ(p, kBackground);

    // Negative scroll values put the photo's corner inside the viewport.
    zoom.render(-30, -49, out, kBackground);
    EXPECT_EQ(viewport[49 * kViewportWidth + 29], kBackground);
    EXPECT_EQ(viewport[49 * kViewportWidth + 30], 0u);
    EXPECT_EQ(viewport[48 * kViewportWidth + 30], kBackground);
    EXPECT_EQ(viewport[(49 + 199) * kViewportWidth + 30 + 299], (199u << 16 | 299));
    EXPECT_EQ(viewport[(49 + 199) * kViewportWidth + 30 + 300], kBackground);
    EXPECT_EQ(viewport[(49 + 200) * kViewportWidth + 30], kBackground);
}

TEST(ZoomViewRender, SizesFollowThePercentage) {
    const auto photo = positionPhotoLoaded(1001, 751);
    const ZoomView half(photo, 50);
    EXPECT_EQ(half.width(), 500);
    EXPECT_EQ(half.height(), 376);  // 375.5 -> even neighbour
    const ZoomView twice(photo, 200);
    EXPECT_EQ(twice.width(), 2002);
    EXPECT_EQ(twice.pixel(2001, 1501), (750u << 16 | 1000));
}

TEST(StretchRect, FrameOfThePhotoSizeCopiesOneToOne) {
    const auto viewport = positionPhoto(kViewportWidth, kViewportHeight);
    std::vector<std::uint32_t> photo(kPhotoWidth * kPhotoHeight);
    const Rect frame = captureRect(200, 150, 127);
    stretchRect({viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth}, frame,
                {photo.data(), kPhotoWidth, kPhotoHeight, kPhotoWidth}, kBackground);
    // (X - 50, Y - 65) to (X + 76, Y + 97) inclusive.
    EXPECT_EQ(photo[0], (85u << 16 | 150));
    EXPECT_EQ(photo.back(), (247u << 16 | 276));
    for (int y = 0; y < kPhotoHeight; ++y) {
        for (int x = 0; x < kPhotoWidth; ++x) {
            ASSERT_EQ(photo[y * kPhotoWidth + x], std::uint32_t(85 + y) << 16 | (150 + x));
        }
    }
}

TEST(StretchRect, FrameReachingOutsideTheViewportTakesTheBackground) {
    const auto viewport = positionPhoto(kViewportWidth, kViewportHeight);
    std::vector<std::uint32_t> photo(kPhotoWidth * kPhotoHeight);
    stretchRect({viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth},
                captureRect(10, 20, 127), {photo.data(), kPhotoWidth, kPhotoHeight, kPhotoWidth},
                kBackground);
    // Frame from (-40, -45): the first 40 columns and 45 rows lie outside.
    EXPECT_EQ(photo[44 * kPhotoWidth + 50], kBackground);
    EXPECT_EQ(photo[45 * kPhotoWidth + 39], kBackground);
    EXPECT_EQ(photo[45 * kPhotoWidth + 40], 0u);
    EXPECT_EQ(photo.back(), (117u << 16 | 86));
}

TEST(StretchRect, WideAndNarrowFramesReduceAndEnlarge) {
    const auto viewport = positionPhoto(kViewportWidth, kViewportHeight);
    const ConstPixels source{viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth};
    std::vector<std::uint32_t> photo(kPhotoWidth * kPhotoHeight);
    const Pixels dest{photo.data(), kPhotoWidth, kPhotoHeight, kPhotoWidth};

    stretchRect(source, captureRect(60, 70, 270), dest, kBackground);  // 270 x 347 from (10, 5)
    EXPECT_EQ(photo[0] >> 16, 5 + nearestSourceIndices(347, 163)[0]);
    EXPECT_EQ(photo.back() & 0xFFFF, 10u + nearestSourceIndices(270, 127)[126]);
    EXPECT_LE(photo.back() & 0xFFFF, 10u + 269);

    stretchRect(source, captureRect(100, 100, 50), dest, kBackground);  // 50 x 64 from (50, 35)
    for (int x = 0; x < kPhotoWidth; ++x) {
        const std::uint32_t column = photo[x] & 0xFFFF;
        ASSERT_GE(column, 50u);
        ASSERT_LE(column, 99u);
    }
    EXPECT_EQ(photo.back(), (98u << 16 | 99));
}

// The guide buttons and the mouse, each row of the overlay tables.
TEST(Guides, StartHiddenAtTheFrom11Geometry) {
    const Guides g;
    EXPECT_TRUE(g.guideFrom11);
    EXPECT_EQ(g.shape1, (Rect{30, 33, 73, 109}));
    EXPECT_EQ(g.shape, (Rect{30, 48, 58, 94}));
    EXPECT_EQ(g.lineHor1, (Line{0, 80, 127, 80}));
    EXPECT_EQ(g.lineHor2, (Line{0, 84, 127, 84}));
    EXPECT_EQ(g.lineVertMidden, (Line{63, 0, 63, 163}));
    EXPECT_FALSE(g.shape1Visible || g.shapeVisible || g.lineHor1Visible || g.lineHor2Visible ||
                 g.lineVertMiddenVisible);
}

TEST(Guides, HeadButtonsSetTheInnerBoxAndShowBoth) {
    Guides g;
    g.headUpTo10();
    EXPECT_FALSE(g.guideFrom11);
    EXPECT_EQ(g.shape1, (Rect{30, 33, 73, 109}));
    EXPECT_EQ(g.shape, (Rect{30, 66, 58, 76}));
    EXPECT_TRUE(g.shape1Visible && g.shapeVisible);
    EXPECT_FALSE(g.lineHor1Visible);
    g.headFrom11();
    EXPECT_TRUE(g.guideFrom11);
    EXPECT_EQ(g.shape, (Rect{30, 48, 58, 94}));
    // Both bottoms at 142 for the button placements.
    EXPECT_EQ(g.shape.y + g.shape.height, g.shape1.y + g.shape1.height);
}

TEST(Guides, EyeButtonsMoveTheBandAndShowTheLines) {
    Guides g;
    g.eyesUpTo10();
    g.eyesFrom11();
    EXPECT_EQ(g.lineHor1.y1, 80);
    EXPECT_EQ(g.lineHor2.y1, 84);
    g.eyesUpTo10();
    EXPECT_EQ(g.lineHor1, (Line{0, 84, 127, 84}));
    EXPECT_EQ(g.lineHor2, (Line{0, 88, 127, 88}));
    EXPECT_TRUE(g.lineHor1Visible && g.lineHor2Visible && g.lineVertMiddenVisible);
    EXPECT_FALSE(g.shapeVisible || g.shape1Visible);
}

TEST(Guides, MouseMovesBothBoxesSharingLeftAndBottomEdges) {
    Guides g;
    g.headUpTo10();
    g.followMouse(10, 20);
    EXPECT_EQ(g.shape, (Rect{10, 54, 60, 75}));
    EXPECT_EQ(g.shape1, (Rect{10, 20, 73, 109}));
    EXPECT_EQ(g.shape.y + g.shape.height, 129);
    EXPECT_EQ(g.shape1.y + g.shape1.height, 129);
    g.headFrom11();  // puts the inner box back at x = 30; the outer one stays
    EXPECT_EQ(g.shape.x, 30);
    EXPECT_EQ(g.shape1.x, 10);
    g.followMouse(5, 6);
    EXPECT_EQ(g.shape, (Rect{5, 23, 60, 92}));
}

TEST(Guides, ClearHidesAllAndTheMouseShowsNothing) {
    Guides g;
    g.headFrom11();
    g.eyesFrom11();
    g.clear();
    g.followMouse(40, 40);
    EXPECT_FALSE(g.shape1Visible || g.shapeVisible || g.lineHor1Visible || g.lineHor2Visible ||
                 g.lineVertMiddenVisible);
    EXPECT_EQ(g.shape1, (Rect{40, 40, 73, 109}));
}
