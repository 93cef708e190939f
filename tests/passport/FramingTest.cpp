// Framing by the 2020 rules on marks given as numbers, and the helpers of manual framing.
#include <cmath>

#include <gtest/gtest.h>

#include "passport/Framing.h"

using namespace passport;

namespace {

constexpr double kEps = 1e-9;

// An upright adult head: crown 300 px above the chin, eyes 140 px below the crown.
HeadMarks uprightHead() {
    HeadMarks m;
    m.crown = {500, 200};
    m.chin = {500, 500};
    m.leftEye = Point{455, 340};
    m.rightEye = Point{545, 340};
    m.leftJaw = Point{420, 350};
    m.rightJaw = Point{580, 350};
    return m;
}

// The same head turned by `degrees` about its chin.
HeadMarks tilted(HeadMarks m, double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180;
    const Point c = m.chin;
    auto turn = [&](Point p) {
        return Point{c.x + (p.x - c.x) * std::cos(a) - (p.y - c.y) * std::sin(a),
                     c.y + (p.x - c.x) * std::sin(a) + (p.y - c.y) * std::cos(a)};
    };
    m.crown = turn(m.crown);
    for (auto* p : {&m.leftEye, &m.rightEye, &m.leftJaw, &m.rightJaw}) **p = turn(**p);
    return m;
}

TEST(Framing, PutsTheHeadWhereTheRulesWantIt) {
    HeadMarks onlyCrownAndChin = uprightHead();
    onlyCrownAndChin.leftEye = onlyCrownAndChin.rightEye = std::nullopt;
    onlyCrownAndChin.leftJaw = onlyCrownAndChin.rightJaw = std::nullopt;
    HeadMarks eyesLow = uprightHead();  // a crown far above the eyes: the margin wins
    eyesLow.leftEye->y = eyesLow.rightEye->y = 470;
    struct Case {
        const char* what;
        HeadMarks marks;
        AgeGroup group;
        double eyeLine;  // expected fraction above the bottom edge; 0: no eyes
    };
    const Case cases[] = {
        {"upright, from 11", uprightHead(), AgeGroup::From11, 0.6},
        {"upright, up to 10", uprightHead(), AgeGroup::UpTo10, 0.6},
        {"tilted 5 degrees", tilted(uprightHead(), 5), AgeGroup::From11, 0.6},
        {"crown and chin only", onlyCrownAndChin, AgeGroup::From11, 0},
        {"eyes far below the crown", eyesLow, AgeGroup::From11, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Crop crop = frameHead(c.marks, c.group);
        const Measures m = measure(c.marks, crop);
        EXPECT_NEAR(m.headHeightMm, targetHeadMm(c.group), kEps);
        EXPECT_NEAR(m.centreOffsetMm, 0, kEps);
        EXPECT_NEAR(crop.height(), crop.width * 45 / 35, kEps);
        // Crown and chin at least 2 mm inside the top and bottom edges.
        const double perMm = crop.pixelsPerMm();
        EXPECT_GE(std::min(c.marks.crown.y, c.marks.chin.y) - crop.y, 2 * perMm - kEps);
        EXPECT_GE(crop.y + crop.height() - std::max(c.marks.crown.y, c.marks.chin.y),
                  2 * perMm - kEps);
        if (c.eyeLine > 0) {
            EXPECT_NEAR(*m.eyeLineFraction, c.eyeLine, kEps);
        } else if (c.eyeLine < 0) {
            EXPECT_NEAR(c.marks.crown.y - crop.y, 2 * perMm, kEps);
        } else {
            EXPECT_FALSE(m.eyeLineFraction.has_value());
        }
    }
    EXPECT_NEAR(*measure(tilted(uprightHead(), 5), {}).tiltDegrees, 5, kEps);
    EXPECT_NEAR(*measure(uprightHead(), frameHead(uprightHead(), AgeGroup::From11)).faceWidthMm,
                160 / (300 / 28.0), kEps);
}

TEST(Framing, CentredCropIsTheLargestThatFits) {
    struct Case {
        int width, height;
        Crop expected;
    };
    const Case cases[] = {
        {350, 450, {0, 0, 350}},     // the photo's own proportion
        {1000, 450, {325, 0, 350}},  // wide: the full height
        {350, 1000, {0, 275, 350}},  // tall: the full width
        {1, 1, {0.5 - 7.0 / 18, 0, 7.0 / 9}},
        {0, -5, {0.5 - 7.0 / 18, 0, 7.0 / 9}},  // taken as 1 x 1
    };
    for (const Case& c : cases) {
        const Crop crop = centredCrop(c.width, c.height);
        EXPECT_NEAR(crop.x, c.expected.x, kEps) << c.width << " x " << c.height;
        EXPECT_NEAR(crop.y, c.expected.y, kEps) << c.width << " x " << c.height;
        EXPECT_NEAR(crop.width, c.expected.width, kEps) << c.width << " x " << c.height;
        EXPECT_FALSE(overhangOf(crop, std::max(c.width, 1), std::max(c.height, 1)).any());
    }
}

TEST(Framing, DragAndScaleKeepWhatTheUserHolds) {
    const Crop start{100, 50, 350};
    EXPECT_EQ(moveCrop(start, -20.5, 7), (Crop{79.5, 57, 350}));
    // The point under the wheel stays where it is on the photo, at the same place in the crop.
    const Point anchor{200, 300};
    const Crop larger = scaleCrop(start, 1.25, anchor);
    EXPECT_NEAR(larger.width, 437.5, kEps);
    EXPECT_NEAR((anchor.x - larger.x) / larger.width, (anchor.x - start.x) / start.width, kEps);
    EXPECT_NEAR((anchor.y - larger.y) / larger.height(), (anchor.y - start.y) / start.height(),
                kEps);
    for (double nonsense : {0.0, -1.0, std::nan(""), double(INFINITY)}) {
        EXPECT_EQ(scaleCrop(start, nonsense, anchor), start) << nonsense;
    }
    EXPECT_EQ(scaleCrop(start, 1e-12, anchor).width, kMinCropWidth);
    EXPECT_EQ(scaleCrop(start, 1e12, anchor).width, kMaxCropWidth);
    // The slider: the head comes out as tall as asked.
    const HeadMarks head = uprightHead();
    const Crop sized = cropForHeadHeight(frameHead(head, AgeGroup::From11), head, 26.5);
    EXPECT_NEAR(measure(head, sized).headHeightMm, 26.5, kEps);
}

TEST(Framing, SourceDensityIsTheCropsOwn) {
    struct Case {
        double width;
        double dpi;
        bool below;
    };
    const Case cases[] = {
        {1653.54, 1200, false}, {551, 399.87, false},  // 551 pixels count as 400 dpi
        {550.9, 399.80, true},  {400, 290.29, true},  {827, 600.17, false},
    };
    for (const Case& c : cases) {
        const Crop crop{0, 0, c.width};
        EXPECT_NEAR(sourceDpi(crop), c.dpi, 0.01) << c.width;
        EXPECT_EQ(belowMinimumDpi(crop), c.below) << c.width;
    }
}

}  // namespace
