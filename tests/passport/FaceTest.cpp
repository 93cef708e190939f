// Faces, landmarks and crowns on real photos, and framing that follows the face whatever the
// photo's size, place or side.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "PassportTestSupport.h"
#include "PhotoVariants.h"
#include "passport/Framing.h"
#include "passport/PrintPhoto.h"
#include "passport/ShapeModel.h"

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
        {"an even grey photo", uniformPhoto(640, 480, 0xff808080u), FaceCount::None},
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

// Levelled framing as a photo service straightens a crop: found again in the 600 dpi photo,
// the eyes lie level within half a degree; beyond 10 degrees nothing is turned and the note
// says why. And the crown keeps 3-5 mm of room below the top edge wherever the eye band
// allows it.
TEST(Framing, LevelsTheEyesAndLeavesRoomAboveTheHead) {
    struct Case {
        const char* file;
        double turn;  // degrees the photo is turned about the middle of its eyes first
        bool levelled;
    };
    const Case cases[] = {
        {"plain-white-bald.jpg", 0, true},        {"plain-white-bald.jpg", 7, true},
        {"plain-white-bald.jpg", -5, true},       {"plain-grey-short-hair.jpg", 0, true},
        {"plain-grey-short-hair.jpg", 10, false},  // 7.6 degrees of its own: 17.6 in all
        {"plain-green-curly-hair.jpg", -5, true},
    };
    double residual = 0;
    int levelled = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " turned " + std::to_string(c.turn));
        TestPhoto photo = padded(facePhoto(c.file), 150, 150);
        const HeadMarks before = faceModel().find(photo.view()).faces.at(0).marks;
        const Point eyes{(before.leftEye->x + before.rightEye->x) / 2,
                         (before.leftEye->y + before.rightEye->y) / 2};
        photo = rotated(photo, c.turn, eyes);
        const HeadMarks marks = faceModel().find(photo.view()).faces.at(0).marks;
        const Crop crop = frameHead(marks, AgeGroup::From11, Levelling::On);
        const std::string note = levellingNote(marks, crop, Levelling::On);
        EXPECT_EQ(note.rfind(c.levelled ? "levelled: " : "not levelled: ", 0), 0u) << note;
        EXPECT_EQ(crop.angleDegrees != 0, c.levelled);
        const PrintPhoto print = makePrintPhoto(photo.view(), crop);
        const FaceSearch again = faceModel().find(print.view());
        ASSERT_EQ(again.count(), FaceCount::One);
        const std::optional<double> tilt = eyeTiltDegrees(again.faces[0].marks);
        // Finding the eyes again jitters by a few tenths of a degree (0.2-0.6 here, either
        // way): each photo within 0.75, and on the whole within half a degree.
        if (c.levelled) {
            EXPECT_LE(std::abs(*tilt), 0.75);
            residual += std::abs(*tilt);
            ++levelled;
        }
        if (!c.levelled) {
            EXPECT_GT(std::abs(*tilt), kMaxLevellingDegrees);
        }
        // The room above the head, unless the eye line had to stop at its band's end.
        const Measures m = measure(marks, crop);
        const double eyeFromTop = (1 - *m.eyeLineFraction) * kPhotoHeightMm;
        const bool atBandEnd = std::abs(eyeFromTop - (13.5 + kEyeBandMarginMm)) < 0.01 ||
                               std::abs(eyeFromTop - (22.5 - kEyeBandMarginMm)) < 0.01;
        if (!atBandEnd && marks.crownSource == CrownSource::Image) {
            EXPECT_GE(m.spaceAboveHeadMm, kCrownRoomMinMm - 0.01);
            EXPECT_LE(m.spaceAboveHeadMm, kCrownRoomMaxMm + 0.01);
        }
    }
    EXPECT_LE(residual / levelled, 0.5);
}

// One model serves several searches at once (the window's and a batch's workers): each finds
// what a search alone finds.
TEST(FaceModel, SearchesAtOnceFindWhatOneFinds) {
    const TestPhoto photos[] = {facePhoto("two-faces.jpg"), facePhoto("plain-white-bald.jpg")};
    std::vector<FaceSearch> alone;
    for (const TestPhoto& p : photos) alone.push_back(faceModel().find(p.view()));
    std::vector<FaceSearch> together(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < together.size(); ++i) {
        threads.emplace_back([&, i] { together[i] = faceModel().find(photos[i % 2].view()); });
    }
    for (std::thread& t : threads) t.join();
    for (std::size_t i = 0; i < together.size(); ++i) {
        const FaceSearch& a = alone[i % 2];
        ASSERT_EQ(together[i].faces.size(), a.faces.size()) << i;
        for (std::size_t f = 0; f < a.faces.size(); ++f) {
            EXPECT_EQ(together[i].faces[f].box, a.faces[f].box);
            EXPECT_EQ(together[i].faces[f].landmarks, a.faces[f].landmarks);
        }
    }
}

// A search whose window has closed stops at its next step and holds no worker for long.
TEST(FaceModel, ACancelledSearchStopsBeforeDetecting) {
    const TestPhoto photo = facePhoto("plain-grey-short-hair.jpg");
    const std::atomic<bool> going{false}, cancelled{true};
    EXPECT_EQ(faceModel().find(photo.view(), &going).count(), FaceCount::One);
    EXPECT_EQ(faceModel().find(photo.view(), &cancelled).count(), FaceCount::None);
}

// The prepared model is dlib's model in another file: every point of every face comes out as
// dlib's own predictor puts it, to the bit, also on a mirrored and a turned photo.
TEST(FaceModel, ThePreparedModelFitsEveryPointWhereDlibsOwnDoes) {
    ASSERT_TRUE(MappedShapeModel::isPrepared(faceModelPath())) << faceModelPath();
    std::string error;
    const std::unique_ptr<FaceModel> dlibs = FaceModel::load(kFaceModelPath, &error);
    ASSERT_NE(dlibs, nullptr) << error;
    const TestPhoto bald = padded(facePhoto("plain-white-bald.jpg"), 150, 150);
    const TestPhoto photos[] = {facePhoto("two-faces.jpg"),
                                facePhoto("head-turned.jpg"),
                                facePhoto("good-glasses.jpg"),
                                mirrored(facePhoto("smile-teeth.jpg")),
                                rotated(bald, 8, {bald.width / 2.0, bald.height / 2.0})};
    int faces = 0;
    for (std::size_t i = 0; i < std::size(photos); ++i) {
        const FaceSearch prepared = faceModel().find(photos[i].view());
        const FaceSearch reference = dlibs->find(photos[i].view());
        ASSERT_EQ(prepared.faces.size(), reference.faces.size()) << "photo " << i;
        for (std::size_t f = 0; f < reference.faces.size(); ++f, ++faces) {
            EXPECT_EQ(prepared.faces[f].box, reference.faces[f].box) << "photo " << i;
            for (std::size_t p = 0; p < reference.faces[f].landmarks.size(); ++p) {
                const Point a = prepared.faces[f].landmarks[p], b = reference.faces[f].landmarks[p];
                EXPECT_TRUE(a.x == b.x && a.y == b.y)
                    << "photo " << i << " face " << f << " point " << p << ": " << a.x << ","
                    << a.y << " against dlib's " << b.x << "," << b.y;
            }
        }
    }
    EXPECT_GE(faces, 6);
}

// A prepared model file of one tiny cascade: 68 points, one tree of one split over two pixels.
std::vector<char> tinyPreparedModel() {
    PreparedModelHeader h{};
    std::memcpy(h.magic, kPreparedModelMagic, sizeof h.magic);
    h.version = kPreparedModelVersion;
    h.byteOrder = kPreparedModelByteOrder;
    h.parts = 68;
    h.cascades = 1;
    h.treesPerCascade = 1;
    h.splitsPerTree = 1;
    h.featuresPerCascade = 2;
    const PreparedModelLayout layout = *preparedModelLayout(h);
    h.fileSize = layout.size;
    std::vector<char> file(layout.size, 0);
    std::memcpy(file.data(), &h, sizeof h);
    const PreparedSplit split{0, 1, 0.5f};
    std::memcpy(file.data() + layout.splits, &split, sizeof split);
    return file;
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
    // Prepared files, sound and damaged in each way the loader checks.
    const std::vector<char> sound = tinyPreparedModel();
    PreparedModelHeader header;
    std::memcpy(&header, sound.data(), sizeof header);
    const PreparedModelLayout layout = *preparedModelLayout(header);
    struct Damage {
        const char* name;
        std::size_t at;  // where `bytes` go; past the end: appended
        std::vector<char> bytes;
        std::optional<std::size_t> cutTo;
    };
    const auto bytesOf = [](auto value) {
        std::vector<char> bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        return bytes;
    };
    const Damage damages[] = {
        {"sound", 0, {}, {}},
        {"bad-magic", 0, {'P', 'R', 'T', 'K', 'L', 'M', '6', '9'}, {}},
        {"cut-short", 0, {}, sound.size() - 4},
        {"cut-in-header", 0, {}, 40},
        {"longer", sound.size(), {0, 0, 0, 0}, {}},
        {"size-in-header", offsetof(PreparedModelHeader, fileSize),
         bytesOf(std::uint64_t(sound.size() + 4)), {}},
        {"version-2", offsetof(PreparedModelHeader, version), bytesOf(std::uint32_t(2)), {}},
        {"other-byte-order", offsetof(PreparedModelHeader, byteOrder),
         bytesOf(std::uint32_t(0x04030201)), {}},
        {"trees-not-full", offsetof(PreparedModelHeader, splitsPerTree), bytesOf(std::uint32_t(2)),
         {}},
        {"no-cascades", offsetof(PreparedModelHeader, cascades), bytesOf(std::uint32_t(0)), {}},
        {"huge-counts", offsetof(PreparedModelHeader, treesPerCascade),
         bytesOf(std::uint32_t(0xffffffff)), {}},
        {"split-out-of-range", layout.splits, bytesOf(std::uint16_t(2)), {}},
        {"anchor-out-of-range", layout.anchors + 4, bytesOf(std::uint32_t(68)), {}},
    };
    std::vector<std::string> refused = {folder + "/no-such-model.dat", damaged, truncated, folder};
    for (const Damage& d : damages) {
        std::vector<char> file = sound;
        if (d.at >= file.size()) file.resize(d.at + d.bytes.size());
        std::copy(d.bytes.begin(), d.bytes.end(), file.begin() + std::ptrdiff_t(d.at));
        if (d.cutTo) file.resize(*d.cutTo);
        const std::string path = folder + "/prepared-" + d.name + ".bin";
        std::ofstream(path, std::ios::binary).write(file.data(), std::streamsize(file.size()));
        if (std::string(d.name) == "sound") {
            std::string error;
            EXPECT_NE(FaceModel::load(path, &error), nullptr) << error;
        } else {
            refused.push_back(path);
        }
    }
    for (const std::string& path : refused) {
        std::string error;
        EXPECT_EQ(FaceModel::load(path, &error), nullptr) << path;
        EXPECT_NE(error.find('"' + path + '"'), std::string::npos) << error;
        EXPECT_NE(error.find("libdlib-data"), std::string::npos) << error;
        if (path.ends_with(".bin")) std::remove(path.c_str());
    }
    std::remove(damaged.c_str());
    std::remove(truncated.c_str());
    std::remove((folder + "/prepared-sound.bin").c_str());

    // A damaged model where the installed program keeps its own (share/portrik beside the
    // program's folder) is passed over for dlib's file, not reported.
    const char* variable = std::getenv(kFaceModelVariable);
    const std::string saved = variable ? variable : "";
    unsetenv(kFaceModelVariable);
    const std::filesystem::path built = faceModelPath();
    const std::filesystem::path share =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "share";
    const std::filesystem::path installed = share / "portrik" / built.filename();
    if (MappedShapeModel::isPrepared(built) && !std::filesystem::exists(share)) {
        std::filesystem::create_directories(installed.parent_path());
        std::ofstream(installed, std::ios::binary).write(sound.data(), 100);
        EXPECT_EQ(faceModelPath(), installed.string());
        std::string error;
        const std::unique_ptr<FaceModel> model = FaceModel::load(faceModelPath(), &error);
        EXPECT_NE(model, nullptr) << error;
        if (model) {
            EXPECT_EQ(model->find(facePhoto("plain-white-bald.jpg").view()).count(),
                      FaceCount::One);
        }
        std::filesystem::remove_all(share);
    } else {
        ADD_FAILURE() << "no prepared model in the build, or " << share << " is there already";
    }
    if (variable) setenv(kFaceModelVariable, saved.c_str(), 1);
}

}  // namespace
