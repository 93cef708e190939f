// The stamp frame picture: its white window must sit exactly where the printed photo goes.
#include <set>

#include <QImage>

#include <gtest/gtest.h>

#include "sheets/SheetLayout.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBand = qRgb(216, 216, 216);
const QRgb kInk = qRgb(8, 0, 0);

class StampPicture : public ::testing::Test {
  protected:
    QImage stamp = QImage(QStringLiteral(":/pictures/stamp.png"));
};

TEST_F(StampPicture, Is119By149InThreeColours) {
    ASSERT_EQ(stamp.size(), QSize(119, 149));
    std::set<QRgb> colours;
    for (int y = 0; y < stamp.height(); ++y)
        for (int x = 0; x < stamp.width(); ++x) colours.insert(stamp.pixel(x, y));
    EXPECT_EQ(colours, (std::set<QRgb>{kWhite, kBand, kInk}));
}

TEST_F(StampPicture, WindowIsWhiteInsideAOnePixelOutline) {
    for (int y = 9; y <= 139; ++y) {
        for (int x = 9; x <= 109; ++x) {
            const bool outline = x == 9 || x == 109 || y == 9 || y == 139;
            ASSERT_EQ(stamp.pixel(x, y), outline ? kInk : kWhite) << x << ',' << y;
        }
    }
    // Just outside the outline lies the band.
    for (int y = 20; y < 130; y += 10) {
        EXPECT_EQ(stamp.pixel(8, y), kBand) << y;
        EXPECT_EQ(stamp.pixel(110, y), kBand) << y;
    }
    for (int x = 20; x < 100; x += 10) {
        EXPECT_EQ(stamp.pixel(x, 8), kBand) << x;
        EXPECT_EQ(stamp.pixel(x, 140), kBand) << x;
    }
}

TEST_F(StampPicture, PrintedPhotoFillsTheWindowExactly) {
    // At 15 twips per pixel the frame spans its printed size, and the photo placed inside it
    // covers the white columns 10-108 and rows 10-138, no more and no less.
    constexpr int kTwipsPerPixel = 15;
    EXPECT_EQ(stamp.width() * kTwipsPerPixel, sheets::kStampWidth);
    EXPECT_EQ(stamp.height() * kTwipsPerPixel, sheets::kStampHeight);
    EXPECT_EQ(sheets::kStampPhotoInset, 10 * kTwipsPerPixel);
    EXPECT_EQ(sheets::kStampPhotoInset + sheets::kStampPhotoWidth, 109 * kTwipsPerPixel);
    EXPECT_EQ(sheets::kStampPhotoInset + sheets::kStampPhotoHeight, 139 * kTwipsPerPixel);
}

TEST_F(StampPicture, CornerPixelsAreWhite) {
    for (QPoint corner : {QPoint(0, 0), QPoint(118, 0), QPoint(0, 148), QPoint(118, 148)}) {
        EXPECT_EQ(stamp.pixel(corner), kWhite) << corner.x() << ',' << corner.y();
    }
}

// Along each edge: teeth reach the edge at their centres, with white notches halfway between.
struct EdgeCase {
    const char* name;
    int teeth;
    QPoint first;  // edge pixel at the first tooth's centre
    QPoint step;   // from one tooth centre to the next
};

class Perforation : public StampPicture, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(Perforation, TeethReachTheEdgeWithNotchesBetween) {
    const EdgeCase& edge = GetParam();
    const QPoint inward = edge.first.x() == 0     ? QPoint(1, 0)
                          : edge.first.x() == 118 ? QPoint(-1, 0)
                          : edge.first.y() == 0   ? QPoint(0, 1)
                                                  : QPoint(0, -1);
    for (int i = 0; i < edge.teeth; ++i) {
        const QPoint tooth = edge.first + edge.step * i;
        EXPECT_EQ(stamp.pixel(tooth), kInk) << "tooth " << i;
        EXPECT_EQ(stamp.pixel(tooth + inward * 2), kBand) << "tooth " << i;
        const QPoint notch = tooth - edge.step / 2;
        EXPECT_EQ(stamp.pixel(notch), kWhite) << "notch before tooth " << i;
    }
    const QPoint lastNotch = edge.first + edge.step * edge.teeth - edge.step / 2;
    EXPECT_EQ(stamp.pixel(lastNotch), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Edges, Perforation,
                         ::testing::Values(EdgeCase{"Top", 10, {14, 0}, {10, 0}},
                                           EdgeCase{"Bottom", 10, {14, 148}, {10, 0}},
                                           EdgeCase{"Left", 13, {0, 14}, {0, 10}},
                                           EdgeCase{"Right", 13, {118, 14}, {0, 10}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StampPicture, HasASmallerToothBesideEachCorner) {
    // Between the white corner and the first notch (at 9) the edge carries a short tooth.
    EXPECT_EQ(stamp.pixel(4, 0), kInk);
    EXPECT_EQ(stamp.pixel(0, 4), kInk);
    EXPECT_EQ(stamp.pixel(114, 148), kInk);
    EXPECT_EQ(stamp.pixel(118, 144), kInk);
}

}  // namespace
