// Faces, landmarks and crowns on real photos, and framing that follows the face whatever the
// photo's size, place or side.
#include <cmath>
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "PassportTestSupport.h"
#include "passport/Framing.h"
#include "passport/PrintPhoto.h"

using namespace passport;

namespace {

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(FaceFinder, SaysHowManyFacesThePhotoHolds) {
    struct Case {
        const char* what;
        TestPhoto photo;
        FaceCount expected;
    };
    const Case cases[] = {
        {"a 1 x 1 photo", uniformPhoto(1, 1, 0xff808080u), FaceCount::None},
        {"an even grey photo", uniformPhoto(1200, 900, 0xff808080u), FaceCount::None},
        {"a photo one pixel high", uniformPhoto(4000, 1, 0xff204060u), FaceCount::None},
        {"one face", facePhoto("plain-grey-short-hair.jpg"), FaceCount::One},
        {"two faces", facePhoto("two-faces.jpg"), FaceCount::Several},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(faceModel().find(c.photo.view()).count(), c.expected) << c.what;
    }
    EXPECT_EQ(faceModel().find({}).count(), FaceCount::None) << "no pixels at all";
}

// The landmarks dlib made with the same model for this photo (tests/data/faces/README.md):
// ours, fitted on the photo itself after finding the face on an enlarged copy, agree.
TEST(FaceFinder, FitsTheLandmarksOfBothFacesWhereDlibPutsThem) {
    struct Reference {
        Point chin, leftEye, rightEye;
    };
    const Reference references[] = {{{191.5, 133.5}, {176.0, 69.3}, {207.5, 72.2}},
                                    {{304.5, 348.5}, {285.5, 298.7}, {312.8, 296.5}}};
    const FaceSearch search = faceModel().find(facePhoto("two-faces.jpg").view());
    ASSERT_EQ(search.faces.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const Reference& r = references[i];
        const HeadMarks& m = search.faces[std::size_t(i)].marks;
        const double eyes = distance(r.leftEye, r.rightEye);
        EXPECT_LT(distance(m.chin, r.chin), 0.1 * eyes) << "face " << i;
        EXPECT_LT(distance(*m.leftEye, r.leftEye), 0.1 * eyes) << "face " << i;
        EXPECT_LT(distance(*m.rightEye, r.rightEye), 0.1 * eyes) << "face " << i;
    }
}

TEST(FaceFinder, FindsTheCrownOnAnEvenBackgroundAndElseEstimatesIt) {
    struct Case {
        const char* file;
        CrownSource source;
        double crownY;  // marked by hand; -1: outside the photo, not to be found
    };
    const Case cases[] = {
        {"plain-white-bald.jpg", CrownSource::Image, 121.5},
        {"plain-grey-short-hair.jpg", CrownSource::Image, 130},
        {"plain-green-curly-hair.jpg", CrownSource::Image, 121},
        {"head-at-top-edge.jpg", CrownSource::Proportions, -1},
    };
    for (const Case& c : cases) {
        const FaceSearch search = faceModel().find(facePhoto(c.file).view());
        ASSERT_EQ(search.count(), FaceCount::One) << c.file;
        const HeadMarks& marks = search.faces[0].marks;
        EXPECT_EQ(marks.crownSource, c.source) << c.file;
        if (c.crownY < 0) continue;
        // Within 2 % of the head's height: 0.6 mm on the print.
        const double head = marks.chin.y - c.crownY;
        EXPECT_NEAR(marks.crown.y, c.crownY, 0.02 * head) << c.file;
    }
}

// The framed photo is the same part of the scene whatever the photo around it. (Above a head
// cut off by the top edge, repeating the top row would draw a head top where the edge was;
// that photo is padded on the other three sides only.)
TEST(Framing, FollowsTheFaceWhenThePhotoIsHalvedPaddedOrMirrored) {
    enum class Change { Half, Padded, Mirrored };
    constexpr int kPad = 60;
    struct Case {
        const char* file;
        int padTop;
    };
    for (const Case& test :
         {Case{"plain-grey-short-hair.jpg", kPad}, Case{"head-at-top-edge.jpg", 0}}) {
        const char* file = test.file;
        const TestPhoto photo = facePhoto(file);
        const auto frame = [](const TestPhoto& p) {
            const FaceSearch search = faceModel().find(p.view());
            EXPECT_EQ(search.count(), FaceCount::One);
            return search.faces.empty() ? Crop{}
                                        : frameHead(search.faces[0].marks, AgeGroup::From11);
        };
        const Crop original = frame(photo);
        for (Change change : {Change::Half, Change::Padded, Change::Mirrored}) {
            Crop back;
            if (change == Change::Half) {
                const Crop c = frame(halfSize(photo));
                back = {c.x * 2, c.y * 2, c.width * 2};
            } else if (change == Change::Padded) {
                const Crop c = frame(padded(photo, kPad, test.padTop));
                back = {c.x - kPad, c.y - test.padTop, c.width};
            } else {
                const Crop c = frame(mirrored(photo));
                back = {photo.width - c.x - c.width, c.y, c.width};
            }
            const double tolerance = 0.01 * original.width;
            SCOPED_TRACE(std::string(file) + ", change " + std::to_string(int(change)));
            EXPECT_NEAR(back.x, original.x, tolerance);
            EXPECT_NEAR(back.y, original.y, tolerance);
            EXPECT_NEAR(back.width, original.width, tolerance);
        }
    }
}

TEST(FaceModel, AMissingOrDamagedModelFileIsAPlainError) {
    const std::string folder = ::testing::TempDir();
    const std::string damaged = folder + "/damaged-model.dat";
    {
        std::ofstream out(damaged, std::ios::binary);
        out << "this is not a shape predictor";
    }
    const std::string truncated = folder + "/truncated-model.dat";
    {
        std::ifstream in(kFaceModelPath, std::ios::binary);
        std::vector<char> start(1 << 20);
        in.read(start.data(), std::streamsize(start.size()));
        std::ofstream(truncated, std::ios::binary).write(start.data(), in.gcount());
    }
    for (const std::string& path : {folder + "/no-such-model.dat", damaged, truncated, folder}) {
        std::string error;
        EXPECT_EQ(FaceModel::load(path, &error), nullptr) << path;
        EXPECT_NE(error.find('"' + path + '"'), std::string::npos) << error;
        EXPECT_NE(error.find("libdlib-data"), std::string::npos) << error;
    }
    std::remove(damaged.c_str());
    std::remove(truncated.c_str());
}

}  // namespace
