// The 600 dpi photo, its JPEG file and the photo-lab sheet.
#include <algorithm>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "PassportTestSupport.h"
#include "passport/JpegOutput.h"
#include "passport/LabSheet.h"
#include "passport/PrintPhoto.h"
#include "passport/Resample.h"

using namespace passport;

namespace {

// Grain on a slope, so that every source pixel counts and a shift by a fraction shows.
TestPhoto grainyPhoto(int width, int height) {
    TestPhoto photo = uniformPhoto(width, height, 0);
    std::uint32_t seed = 12345;
    for (auto& p : photo.pixels) {
        seed = seed * 1664525u + 1013904223u;
        const std::size_t i = std::size_t(&p - photo.pixels.data());
        const std::uint32_t x = std::uint32_t(i % std::size_t(width)),
                            y = std::uint32_t(i / std::size_t(width));
        p = 0xff000000u | ((x / 8 + (seed >> 28)) & 0xff) << 16 |
            ((y / 8 + (seed >> 24 & 15)) & 0xff) << 8 | (seed >> 16 & 0xff);
    }
    return photo;
}

// One channel of one print pixel by definition: the integral of the source over the pixel's
// footprint, outside the photo white, divided by the footprint's area.
double areaMean(const TestPhoto& photo, const Crop& crop, int px, int py, int shift) {
    const double sx = crop.width / kPrintWidth, sy = crop.height() / kPrintHeight;
    const double x0 = crop.x + px * sx, x1 = x0 + sx, y0 = crop.y + py * sy, y1 = y0 + sy;
    double sum = 0;
    for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y) {
        for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
            const double cover = (std::min(x1, x + 1.0) - std::max(x0, double(x))) *
                                 (std::min(y1, y + 1.0) - std::max(y0, double(y)));
            const bool inside = x >= 0 && y >= 0 && x < photo.width && y < photo.height;
            sum += cover * (inside ? (photo.at(x, y) >> shift & 0xff) : 255);
        }
    }
    return sum / (sx * sy);
}

TEST(PrintPhoto, IsTheAreaAverageOfTheCropAndSaysWhatItCameFrom) {
    const TestPhoto photo = grainyPhoto(1500, 1900);
    struct Case {
        const char* what;
        Crop crop;
        double dpi;
        bool below;
        Overhang overhang;
    };
    const Case cases[] = {
        {"inside, at fractions", {13.37, 21.9, 1391.7}, 1009.98, false, {}},
        {"over the left and top edges",
         {-40.25, -10.5, 700},
         508.0,
         false,
         {true, true, false, false}},
        {"below 400 dpi: enlarged, never hidden", {600.4, 700.8, 400}, 290.29, true, {}},
        {"over the right and bottom edges",
         {1200, 1500, 551},
         399.87,
         false,
         {false, false, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PrintPhoto print = makePrintPhoto(photo.view(), c.crop);
        ASSERT_EQ(print.pixels.size(), std::size_t(827) * 1063);
        EXPECT_NEAR(print.sourceDpi, c.dpi, 0.01);
        EXPECT_DOUBLE_EQ(print.sourceWidthPixels, c.crop.width);
        EXPECT_EQ(print.belowMinimumDpi, c.below);
        EXPECT_EQ(print.overhang, c.overhang);
        int worst = 0;
        for (int y = 0; y < print.height; y += 3) {
            for (int x = 0; x < print.width; x += 3) {
                for (int shift : {0, 8, 16}) {
                    const int got =
                        int(print.pixels[std::size_t(y) * print.width + x] >> shift & 0xff);
                    worst = std::max(
                        worst,
                        std::abs(got - int(std::lround(areaMean(photo, c.crop, x, y, shift)))));
                }
            }
        }
        EXPECT_LE(worst, 1);
    }
}

// Pictures whose every pixel differs from its neighbours in a known way.
TestPhoto gradientPhoto(int width, int height) {
    TestPhoto photo = uniformPhoto(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            photo.pixels[std::size_t(y) * width + x] =
                0xff000000u | std::uint32_t(x * 255 / (width - 1)) << 16 |
                std::uint32_t(y * 255 / (height - 1)) << 8 | std::uint32_t((x + 2 * y) % 256);
        }
    }
    return photo;
}

TestPhoto checkerPhoto(int width, int height, int cell) {
    TestPhoto photo = uniformPhoto(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            photo.pixels[std::size_t(y) * width + x] =
                (x / cell + y / cell) % 2 ? 0xfff0e010u : 0xff1020f0u;
        }
    }
    return photo;
}

// One channel of one destination pixel by definition: the mean of a grid x grid lattice of
// points spread evenly over the pixel's turned footprint, each the source pixel it falls in
// (fill outside). A fine grid approaches the area mean; a grid of one point per source pixel
// on a quarter-turned area of whole pixels hits exactly the pixels it covers.
double footprintMean(const TestPhoto& photo, const TurnedArea& area, int destWidth, int destHeight,
                     int px, int py, int shift, std::uint32_t fill, int grid) {
    const double a = area.angleDegrees * std::acos(-1.0) / 180;
    const double c = std::cos(a), s = std::sin(a);
    const double sx = area.width / destWidth, sy = area.height / destHeight;
    double sum = 0;
    for (int gy = 0; gy < grid; ++gy) {
        for (int gx = 0; gx < grid; ++gx) {
            const double u = (px + (gx + 0.5) / grid) * sx, v = (py + (gy + 0.5) / grid) * sy;
            const double x = std::floor(area.x + u * c - v * s),
                         y = std::floor(area.y + u * s + v * c);
            const bool inside = x >= 0 && y >= 0 && x < photo.width && y < photo.height;
            sum += (inside ? photo.at(int(x), int(y)) : fill) >> shift & 0xff;
        }
    }
    return sum / (double(grid) * grid);
}

TEST(Resample, TurnedAreaIsTheAreaMean) {
    const TestPhoto grainy = grainyPhoto(60, 50);
    const TestPhoto gradient = gradientPhoto(60, 50);
    const TestPhoto checker = checkerPhoto(60, 50, 1);
    const TestPhoto wideChecker = checkerPhoto(60, 50, 3);
    const TestPhoto large = grainyPhoto(900, 700);
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    // Upright: bit for bit resampleArea. Exact: footprintMean on `grid` points, rounded.
    // Near: within `tolerance` of footprintMean on 64 x 64 points. FillOrCorner: every pixel
    // is the fill or the pixel under the corner.
    enum Check { Upright, Exact, Near, FillOrCorner };
    struct Case {
        const char* what;
        const TestPhoto* photo;
        TurnedArea area;
        int width, height;
        Check check;
        int grid = 0;       // Exact
        int tolerance = 0;  // Near
        int every = 1;      // Near: every n-th pixel each way
    };
    const Case cases[] = {
        {"unturned: the upright area average", &grainy, {3.3, 2.7, 41.1, 33.4, 0}, 13, 11, Upright},
        {"unturned, partly outside", &grainy, {-7.5, 30.2, 40, 51.4, 0}, 7, 9, Upright},
        {"a quarter turn of whole pixels: the picture turned",
         &grainy,
         {40, 5, 30, 20, 90},
         30,
         20,
         Exact,
         1},
        {"a quarter turn back, two by two pixels each",
         &grainy,
         {10, 44, 30, 20, -90},
         15,
         10,
         Exact,
         2},
        {"half a turn, partly outside: the fill's share",
         &grainy,
         {20, 10, 30, 24, 180},
         15,
         12,
         Exact,
         2},
        {"7 degrees over a gradient", &gradient, {8.4, 3.1, 36.7, 44.2, 7}, 9, 11, Near, 0, 1},
        {"-10 degrees over a gradient",
         &gradient,
         {12.6, 9.3, 33.0, 39.6, -10},
         10,
         12,
         Near,
         0,
         1},
        {"7 degrees over grain", &grainy, {8.4, 3.1, 36.7, 44.2, 7}, 9, 11, Near, 0, 1},
        {"-10 degrees over a checkerboard of single pixels",
         &checker,
         {12.6, 9.3, 33.0, 39.6, -10},
         10,
         12,
         Near,
         0,
         2},
        {"-10 degrees over a checkerboard of 3 pixels",
         &wideChecker,
         {12.6, 9.3, 33.0, 39.6, -10},
         10,
         12,
         Near,
         0,
         2},
        {"7 degrees, enlarged", &grainy, {20.2, 10.7, 6.3, 8.1, 7}, 12, 15, Near, 0, 1},
        {"7 degrees, partly outside: the fill's share",
         &wideChecker,
         {-9.5, -7.2, 40, 51.4, 7},
         10,
         13,
         Near,
         0,
         2},
        {"-3.5 degrees, a destination split over threads",
         &large,
         {60.5, 80.25, 780, 600.6, -3.5},
         240,
         185,
         Near,
         0,
         1,
         5},
        {"no size: the pixel under the corner", &grainy, {5.5, 6.5, 0, 0, 7}, 4, 5, FillOrCorner},
        {"negative size", &grainy, {5.5, 6.5, -3, -4, 7}, 4, 5, FillOrCorner},
        {"corner not a number", &grainy, {nan, 6.5, 30, 40, 7}, 4, 5, FillOrCorner},
        {"angle not a number", &grainy, {5.5, 6.5, 30, 40, nan}, 4, 5, FillOrCorner},
        {"angle infinite", &grainy, {5.5, 6.5, 30, 40, inf}, 4, 5, FillOrCorner},
        {"absurdly large", &grainy, {5.5, 6.5, 1e300, 1e300, 7}, 200, 250, FillOrCorner},
        {"absurdly far", &grainy, {-1e300, 1e300, 30, 40, -10}, 4, 5, FillOrCorner},
        {"infinitely large", &grainy, {5.5, 6.5, inf, inf, 7}, 4, 5, FillOrCorner},
    };
    const std::uint32_t fill = 0xff2080c0u;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TestPhoto& photo = *c.photo;
        std::vector<std::uint32_t> out(std::size_t(c.width) * c.height, 0);
        const raster::Pixels dest{out.data(), c.width, c.height, c.width};
        resampleTurned(photo.view(), c.area, dest, fill);
        if (c.check == Upright) {
            std::vector<std::uint32_t> upright(out.size(), 0);
            resampleArea(photo.view(), {c.area.x, c.area.y, c.area.width, c.area.height},
                         {upright.data(), c.width, c.height, c.width}, fill);
            EXPECT_EQ(out, upright);
            continue;
        }
        if (c.check == FillOrCorner) {
            const double x = std::floor(c.area.x), y = std::floor(c.area.y);
            const bool inside = x >= 0 && y >= 0 && x < photo.width && y < photo.height;
            const std::uint32_t corner = inside ? photo.at(int(x), int(y)) : fill;
            for (std::uint32_t p : out) EXPECT_TRUE(p == fill || p == corner) << std::hex << p;
            continue;
        }
        int worst = 0;
        for (int y = 0; y < c.height; y += c.every) {
            for (int x = 0; x < c.width; x += c.every) {
                for (int shift : {0, 8, 16}) {
                    const int got = int(out[std::size_t(y) * c.width + x] >> shift & 0xff);
                    const double want = footprintMean(photo, c.area, c.width, c.height, x, y, shift,
                                                      fill, c.check == Exact ? c.grid : 64);
                    if (c.check == Exact) {
                        EXPECT_EQ(got, int(std::floor(want + 0.5))) << x << ", " << y;
                    } else {
                        worst = std::max(worst, int(std::ceil(std::abs(got - want) - 0.5)));
                    }
                }
            }
        }
        EXPECT_LE(worst, c.tolerance);
    }
}

// The JFIF density of a JPEG file: units, x, y.
std::array<int, 3> jfifDensity(const std::vector<unsigned char>& jpeg) {
    if (jpeg.size() < 18 || std::memcmp(jpeg.data() + 6, "JFIF", 5) != 0) return {-1, -1, -1};
    return {jpeg[13], jpeg[14] << 8 | jpeg[15], jpeg[16] << 8 | jpeg[17]};
}

TEST(PrintPhoto, JpegFilesSay600DpiAndKeepFullColour) {
    const TestPhoto photo = facePhoto("plain-grey-short-hair.jpg");
    const PrintPhoto print = makePrintPhoto(photo.view(), {0, 0, 434});
    const LabSheet sheet = makeLabSheet(print.view());
    struct Case {
        const char* what;
        raster::ConstPixels pixels;
        int width, height;
    };
    for (const Case& c :
         {Case{"photo", print.view(), 827, 1063}, Case{"lab sheet", sheet.view(), 3543, 2362}}) {
        SCOPED_TRACE(c.what);
        const std::vector<unsigned char> jpeg = encodeJpeg(c.pixels, 600);
        EXPECT_EQ(jfifDensity(jpeg), (std::array<int, 3>{1, 600, 600}));
        tjhandle tj = tjInitDecompress();
        int width = 0, height = 0, subsampling = -1, colourspace = -1;
        EXPECT_EQ(tjDecompressHeader3(tj, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                                      &colourspace),
                  0);
        tjDestroy(tj);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(subsampling, TJSAMP_444);
        // Exif: resolution unit inch and colour space sRGB.
        const std::string bytes(jpeg.begin(), jpeg.begin() + 120);
        EXPECT_NE(bytes.find(std::string("\x28\x01\x03\x00\x01\x00\x00\x00\x02\x00", 10)),
                  std::string::npos);
        EXPECT_NE(bytes.find(std::string("\x01\xa0\x03\x00\x01\x00\x00\x00\x01\x00", 10)),
                  std::string::npos);
        // Quality: a level or so off on average.
        const TestPhoto decoded = decodeJpeg(jpeg);
        ASSERT_EQ(decoded.width, c.width);
        double error = 0;
        for (int i = 0; i < c.width * c.height; i += 7) {
            const std::uint32_t a = c.pixels.pixels[i], b = decoded.pixels[std::size_t(i)];
            for (int shift : {0, 8, 16})
                error += std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff));
        }
        EXPECT_LT(error / (3.0 * c.width * c.height / 7), 1.5);
    }
    EXPECT_TRUE(encodeJpeg({}, 600).empty());
}

TEST(LabSheet, HoldsEightWholePhotosWithCutMarksBesideThem) {
    const TestPhoto photo = grainyPhoto(827, 1063);
    const LabSheet sheet = makeLabSheet(photo.view());
    ASSERT_EQ(sheet.photos.size(), 8u);
    const int margin = int(std::lround(2 / 25.4 * 600));
    for (const raster::Rect& r : sheet.photos) {
        EXPECT_EQ(r.width, 827);
        EXPECT_EQ(r.height, 1063);
        EXPECT_GE(r.x, margin);
        EXPECT_GE(r.y, margin);
        EXPECT_LE(r.x + r.width, sheet.width - margin);
        EXPECT_LE(r.y + r.height, sheet.height - margin);
        // The photo whole and unchanged, a white ring round it (marks start beyond it), and
        // a mark on the line of its top edge to its left.
        bool same = true;
        for (int y = 0; y < r.height && same; ++y) {
            same = std::equal(photo.pixels.begin() + std::ptrdiff_t(y) * 827,
                              photo.pixels.begin() + std::ptrdiff_t(y + 1) * 827,
                              sheet.pixels.begin() + std::ptrdiff_t(r.y + y) * sheet.width + r.x);
        }
        EXPECT_TRUE(same) << "photo at " << r.x << ", " << r.y;
        auto at = [&](int x, int y) { return sheet.pixels[std::size_t(y) * sheet.width + x]; };
        for (int i = -3; i < r.width + 3; ++i) {
            EXPECT_EQ(at(r.x + i, r.y - 3), 0xffffffffu);
            EXPECT_EQ(at(r.x + i, r.y + r.height + 2), 0xffffffffu);
        }
        EXPECT_EQ(at(r.x - 12, r.y), kCutMarkColour);
        EXPECT_EQ(at(r.x + r.width + 11, r.y + r.height), kCutMarkColour);
    }
}

}  // namespace
