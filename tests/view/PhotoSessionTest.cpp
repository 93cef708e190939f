// The photo session: loads and zooms that either change everything or nothing, the scroll
// values kept in range, the frame's size, capture only with a photo, and a photo that others
// keep while the session moves on.
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "view/PhotoSession.h"

using namespace view;

namespace {

// A photo of one colour that owns its pixels: one row, repeated (a stride of 0), so that even a
// photo too tall to scroll costs a few kilobytes.
std::shared_ptr<const Photo> plainPhoto(int width, int height, std::uint32_t colour = 0xFF102030) {
    auto row = std::make_shared<const std::vector<std::uint32_t>>(width, colour);
    return std::make_shared<const Photo>(ConstPixels{row->data(), width, height, 0}, row);
}

// A session with a photo loaded and zoomed to 50 %, scrolled away from the corner.
PhotoSession sessionInUse() {
    PhotoSession session;
    EXPECT_FALSE(session.load(plainPhoto(2000, 1500)));
    EXPECT_TRUE(std::holds_alternative<Zoomed>(session.zoom(50)));
    session.scrollTo(Axis::Horizontal, 100);
    session.scrollTo(Axis::Vertical, 50);
    return session;
}

struct LoadCase {
    const char* name;
    int width, height;
    std::optional<Axis> refused;
    ScrollState horizontal, vertical;  // afterwards
};

class SessionLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(SessionLoad, ChangesBothAxesOrNothing) {
    const LoadCase& c = GetParam();
    PhotoSession session = sessionInUse();
    const auto before = session.photo();
    const auto refusal = session.load(plainPhoto(c.width, c.height));
    ASSERT_EQ(refusal.has_value(), c.refused.has_value());
    if (refusal) {
        EXPECT_EQ(refusal->axis, *c.refused);
        EXPECT_EQ(refusal->width, c.width);
        EXPECT_EQ(refusal->height, c.height);
        EXPECT_EQ(refusal->limit, longestScrollable(*c.refused));
        EXPECT_EQ(session.photo(), before);
        EXPECT_EQ(session.zoomPercent(), 50);
    } else {
        EXPECT_EQ(session.photo()->width(), c.width);
        EXPECT_EQ(session.zoomPercent(), 100);
        EXPECT_EQ(session.zoomView().width(), c.width);
    }
    EXPECT_EQ(session.scroll(Axis::Horizontal), c.horizontal);
    EXPECT_EQ(session.scroll(Axis::Vertical), c.vertical);
}

// The session in use, at 50 % of 2000 x 1500, scrolls across 0..470 (standing at 100) and down
// 0..353 (standing at 50).
INSTANTIATE_TEST_SUITE_P(
    Photos, SessionLoad,
    ::testing::Values(
        LoadCase{"BothAxesLonger", 640, 480, std::nullopt, {0, 110, 0}, {0, 83, 0}},
        LoadCase{"FitsAcross", 400, 480, std::nullopt, {0, 470, 100}, {0, 83, 0}},
        LoadCase{"FitsBoth", 300, 200, std::nullopt, {0, 470, 100}, {0, 353, 50}},
        LoadCase{"TooWide", 33298, 4, Axis::Horizontal, {0, 470, 100}, {0, 353, 50}},
        LoadCase{"TooTallButWideEnough", 640, 33165, Axis::Vertical, {0, 470, 100}, {0, 353, 50}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionZoom, RefusedZoomKeepsTheZoomAndTheScrollValues) {
    PhotoSession session;
    ASSERT_FALSE(session.load(plainPhoto(17000, 100)));
    ASSERT_TRUE(std::holds_alternative<Zoomed>(session.zoom(50)));
    session.scrollTo(Axis::Horizontal, 300);
    const auto refused = session.zoom(200);  // 34000 wide
    ASSERT_TRUE(std::holds_alternative<ScrollRefusal>(refused));
    EXPECT_EQ(std::get<ScrollRefusal>(refused).width, 34000);
    EXPECT_EQ(std::get<ScrollRefusal>(refused).axis, Axis::Horizontal);
    EXPECT_EQ(session.zoomPercent(), 50);
    EXPECT_EQ(session.zoomView().width(), 8500);
    EXPECT_EQ(session.scroll(Axis::Horizontal), (ScrollState{0, 8500 - 530, 300}));
    const auto zoomed = session.zoom(150);
    ASSERT_TRUE(std::holds_alternative<Zoomed>(zoomed));
    EXPECT_EQ(std::get<Zoomed>(zoomed).width, 25500);
    EXPECT_EQ(session.scroll(Axis::Horizontal), (ScrollState{0, 25500 - 530, 0}));
    EXPECT_EQ(session.scroll(Axis::Vertical), (ScrollState{0, 360, 0}));
}

TEST(SessionScroll, ValuesStayInsideForwardAndBackwardRanges) {
    PhotoSession session;
    ASSERT_FALSE(session.load(plainPhoto(500, 800)));  // across 0..-30, down 0..403
    session.scrollTo(Axis::Horizontal, 10);
    EXPECT_EQ(session.scroll(Axis::Horizontal).value, 0);
    session.scrollTo(Axis::Horizontal, -50);
    EXPECT_EQ(session.scroll(Axis::Horizontal).value, -30);
    session.scrollTo(Axis::Vertical, 5000);
    EXPECT_EQ(session.scroll(Axis::Vertical).value, 403);
}

TEST(SessionFrame, HeightFollowsTheWidthAndCaptureNeedsAPhoto) {
    PhotoSession session;
    EXPECT_EQ(session.GrabHeight(), 163);
    session.setGrabWidth(100);
    EXPECT_EQ(session.GrabHeight(), 128);
    session.setGrabWidth(400);
    EXPECT_EQ(session.GrabWidth(), kMaxGrabWidth);
    EXPECT_FALSE(session.frame().has_value());
    EXPECT_EQ(session.placeFrame(100, 100), (Rect{50, 35, 270, 347}));

    std::vector<std::uint32_t> viewport(kViewportWidth * kViewportHeight, 0xFFAABBCC);
    std::vector<std::uint32_t> passport(kPhotoWidth * kPhotoHeight, 1);
    const ConstPixels from{viewport.data(), kViewportWidth, kViewportHeight, kViewportWidth};
    const Pixels to{passport.data(), kPhotoWidth, kPhotoHeight, kPhotoWidth};
    EXPECT_FALSE(session.capture(200, 200, from, to, 0));
    EXPECT_EQ(passport.front(), 1u);
    ASSERT_FALSE(session.load(plainPhoto(10, 10)));
    EXPECT_EQ(session.capture(200, 200, from, to, 0), (Rect{150, 135, 270, 347}));
    EXPECT_EQ(passport.front(), 0xFFAABBCCu);
}

TEST(SessionPhoto, AHeldPhotoOutlivesTheNextLoadUnchanged) {
    PhotoSession session;
    EXPECT_FALSE(session.PhotoLoaded());
    ASSERT_FALSE(session.load(plainPhoto(40, 30, 0xFF010203)));
    EXPECT_TRUE(session.PhotoLoaded());
    // What another window keeps: the pointer, and through it the pixels.
    const std::shared_ptr<const Photo> kept = session.photo();
    const ConstPixels pixels = kept->pixels();
    ASSERT_FALSE(session.load(plainPhoto(50, 20, 0xFF040506)));
    EXPECT_NE(session.photo(), kept);
    EXPECT_EQ(kept.use_count(), 1);
    EXPECT_EQ(pixels.pixels, kept->pixels().pixels);
    EXPECT_EQ(pixels.pixels[pixels.stride * 29 + 39], 0xFF010203u);
    EXPECT_EQ(session.zoomView().pixel(49, 19), 0xFF040506u);
}

TEST(SessionGuides, TheAgeGroupFollowsTheHeadGuideChosenLast) {
    PhotoSession session;
    EXPECT_TRUE(session.GuideFrom11());
    EXPECT_EQ(session.guideAgeGroup(), AgeGroup::From11);
    session.guides().headUpTo10();
    EXPECT_EQ(session.guideAgeGroup(), AgeGroup::UpTo10);
    session.guides().eyesFrom11();  // the eye band does not choose the age group
    EXPECT_EQ(session.guideAgeGroup(), AgeGroup::UpTo10);
}

}  // namespace
