#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "decode/Colour.h"

namespace {

using Icc = std::vector<unsigned char>;

Icc saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Icc bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

Icc srgbBuiltIn() {
    return saved(cmsCreate_sRGBProfile());
}

Icc greyProfile() {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
    const Icc bytes = saved(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

Icc colordProfile(const std::string& name) {
    std::ifstream file("/usr/share/color/icc/colord/" + name, std::ios::binary);
    Icc bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_FALSE(bytes.empty()) << name << " is missing (package colord-data)";
    return bytes;
}

Icc firstBytes(Icc bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::uint32_t rgb(int r, int g, int b) {
    return 0xff000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

int channelGap(std::uint32_t a, std::uint32_t b) {
    int gap = 0;
    for (int shift = 0; shift < 32; shift += 8)
        gap = std::max(gap, std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)));
    return gap;
}

// Three by two pixels of one colour, in rows of four: the fourth must never change.
constexpr std::uint32_t kSpare = 0x12345678;
std::vector<std::uint32_t> patch(std::uint32_t colour) {
    return {colour, colour, colour, kSpare, colour, colour, colour, kSpare};
}

TEST(ConvertToSrgb, KnownColours) {
    const Icc none;
    // Expected values worked out from the published primaries and curves.
    const struct {
        const char* what;
        Icc icc;
        std::uint32_t in, expected;
        int tolerance;
        bool converted;
        const char* profile;  // nullptr: whatever the file calls itself
    } rows[] = {
        {"no profile", none, rgb(200, 100, 50), rgb(200, 100, 50), 0, false, "sRGB"},
        {"LittleCMS's sRGB", srgbBuiltIn(), rgb(200, 100, 50), rgb(200, 100, 50), 0, false,
         "sRGB built-in"},
        {"colord's sRGB", colordProfile("sRGB.icc"), rgb(37, 180, 90), rgb(37, 180, 90), 0, false,
         nullptr},
        {"Adobe RGB, warm", colordProfile("AdobeRGB1998.icc"), rgb(200, 100, 50), rgb(227, 100, 42),
         2, true, nullptr},
        {"Adobe RGB, cold", colordProfile("AdobeRGB1998.icc"), rgb(50, 150, 200), rgb(0, 151, 203),
         2, true, nullptr},
        {"red and green swapped", colordProfile("SwappedRedAndGreen.icc"), rgb(200, 100, 50),
         rgb(100, 200, 50), 2, true, nullptr},
        {"Display P3 red is past sRGB's", decode::profileFromNclx(12, 13), rgb(255, 0, 0),
         rgb(255, 0, 0), 2, true, "Display P3"},
        {"Display P3 white stays white", decode::profileFromNclx(12, 13), rgb(255, 255, 255),
         rgb(255, 255, 255), 0, true, "Display P3"},
        {"Display P3, warm", decode::profileFromNclx(12, 13), rgb(200, 100, 50), rgb(215, 93, 31),
         2, true, "Display P3"},
        {"linear light", decode::profileFromNclx(1, 8), rgb(128, 128, 128), rgb(188, 188, 188), 1,
         true, "BT.709, linear"},
        {"BT.709 curve", decode::profileFromNclx(1, 1), rgb(128, 128, 128), rgb(140, 140, 140), 1,
         true, "BT.709"},
        {"gamma 2.2", decode::profileFromNclx(1, 4), rgb(64, 64, 64), rgb(62, 62, 62), 1, true,
         "BT.709, gamma 2.2"},
    };
    for (const auto& row : rows) {
        std::vector<std::uint32_t> pixels = patch(row.in);
        const decode::ColourResult result =
            decode::convertToSrgb({pixels.data(), 3, 2, 4}, row.icc.data(), row.icc.size(), 2);
        EXPECT_EQ(result.problem, "") << row.what;
        EXPECT_EQ(result.converted, row.converted) << row.what;
        if (row.profile) {
            EXPECT_EQ(result.profile, row.profile) << row.what;
        }
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const std::uint32_t expected = i % 4 == 3 ? kSpare : row.expected;
            EXPECT_LE(channelGap(pixels[i], expected), row.tolerance)
                << row.what << ", pixel " << i << std::hex << ": 0x" << pixels[i];
        }
    }
}

TEST(ConvertToSrgb, UnusableProfilesLeaveThePixelsAlone) {
    std::mt19937 noise(7);
    Icc randomBytes(3000);
    for (auto& byte : randomBytes) byte = static_cast<unsigned char>(noise());
    const Icc adobe = colordProfile("AdobeRGB1998.icc");
    const struct {
        const char* what;
        Icc icc;
    } rows[] = {
        {"header only", firstBytes(adobe, 128)},
        {"cut in half", firstBytes(adobe, adobe.size() / 2)},
        {"random bytes", randomBytes},
        {"grey profile", greyProfile()},
        {"Lab profile", saved(cmsCreateLab4Profile(nullptr))},
    };
    for (const auto& row : rows) {
        std::vector<std::uint32_t> pixels = patch(rgb(200, 100, 50));
        const std::vector<std::uint32_t> before = pixels;
        const decode::ColourResult result =
            decode::convertToSrgb({pixels.data(), 3, 2, 4}, row.icc.data(), row.icc.size());
        EXPECT_NE(result.problem, "") << row.what;
        EXPECT_FALSE(result.converted) << row.what;
        EXPECT_EQ(result.profile, "sRGB") << row.what;
        EXPECT_EQ(pixels, before) << row.what;
    }
}

TEST(ConvertToSrgb, ThreadsGiveTheSamePixels) {
    const Icc adobe = colordProfile("AdobeRGB1998.icc");
    std::vector<std::uint32_t> reference(61 * 37);
    for (std::size_t i = 0; i < reference.size(); ++i)
        reference[i] = rgb(int(i * 7 % 256), int(i * 13 % 256), int(i * 29 % 256));
    std::vector<std::uint32_t> one = reference;
    decode::convertToSrgb({one.data(), 61, 37, 61}, adobe.data(), adobe.size(), 1);
    EXPECT_NE(one, reference);
    for (int threads : {4, 0, 100}) {
        std::vector<std::uint32_t> many = reference;
        decode::convertToSrgb({many.data(), 61, 37, 61}, adobe.data(), adobe.size(), threads);
        EXPECT_EQ(many, one) << threads << " threads";
    }
}

// Profiles of curves and a matrix are converted from tables, not by LittleCMS pixel by pixel:
// every colour comes out within one level of LittleCMS's own transform.
TEST(ConvertToSrgb, CurvesAndMatrixAsLittleCmsConverts) {
    const struct {
        const char* what;
        Icc icc;
    } rows[] = {
        {"Display P3", decode::profileFromNclx(12, 13)},
        {"Adobe RGB", colordProfile("AdobeRGB1998.icc")},
        {"BT.2020, gamma 2.2", decode::profileFromNclx(9, 4)},
        {"ProPhoto", colordProfile("ProPhotoRGB.icc")},
    };
    std::vector<std::uint32_t> colours;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5) colours.push_back(rgb(r, g, b));
    for (const auto& row : rows) {
        ASSERT_FALSE(row.icc.empty()) << row.what;
        std::vector<std::uint32_t> expected = colours;
        cmsHPROFILE from = cmsOpenProfileFromMem(row.icc.data(), cmsUInt32Number(row.icc.size()));
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHTRANSFORM lcms = cmsCreateTransform(from, TYPE_BGRA_8, srgb, TYPE_BGRA_8,
                                                INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA);
        ASSERT_NE(lcms, nullptr) << row.what;
        cmsDoTransform(lcms, expected.data(), expected.data(), cmsUInt32Number(expected.size()));
        cmsDeleteTransform(lcms);
        cmsCloseProfile(srgb);
        cmsCloseProfile(from);
        std::vector<std::uint32_t> converted = colours;
        const int width = int(converted.size());
        EXPECT_TRUE(decode::convertToSrgb({converted.data(), width, 1, width}, row.icc.data(),
                                          row.icc.size())
                        .converted)
            << row.what;
        int worst = 0;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            worst = std::max(worst, channelGap(converted[i], expected[i]));
        }
        EXPECT_LE(worst, 1) << row.what;
    }
}

TEST(ProfileFromNclx, MakesProfilesOnlyWhereTheColoursDiffer) {
    const struct {
        int primaries, transfer;
        const char* profile;  // nullptr: no profile, the photo is sRGB
    } rows[] = {
        {1, 13, nullptr},
        {2, 2, nullptr},
        {1, 2, nullptr},
        {2, 13, nullptr},
        {99, 13, nullptr},
        {12, 16, nullptr},
        {12, 13, "Display P3"},
        {12, 2, "Display P3"},
        {11, 13, "DCI-P3"},
        {9, 14, "BT.2020"},
        {9, 13, "BT.2020, sRGB curve"},
        {2, 5, "BT.709, gamma 2.8"},
    };
    for (const auto& row : rows) {
        const Icc icc = decode::profileFromNclx(row.primaries, row.transfer);
        const std::string what = std::to_string(row.primaries) + "/" + std::to_string(row.transfer);
        EXPECT_EQ(icc.empty(), row.profile == nullptr) << what;
        if (!row.profile) continue;
        std::uint32_t pixel = rgb(10, 20, 30);
        const decode::ColourResult result =
            decode::convertToSrgb({&pixel, 1, 1, 1}, icc.data(), icc.size());
        EXPECT_EQ(result.profile, row.profile) << what;
        EXPECT_EQ(result.problem, "") << what;
    }
}

}  // namespace
