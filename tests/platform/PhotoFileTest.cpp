// Photo decoding below the window: format by content, EXIF orientations, size limits, why a
// file is refused, and every damaged picture of the malformed corpus.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTransform>

#include <gtest/gtest.h>

#include "MalformedCorpus.h"
#include "TestPictures.h"
#include "platform/files/PhotoFile.h"

namespace {

QImage decode(const QByteArray& bytes, PhotoError* error = nullptr) {
    return decodePhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()), Qt::white, error);
}

// A picture with a black mark in its top-left corner.
QImage marked() {
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}

bool dark(const QImage& image, int x, int y) { return qRed(image.pixel(x, y)) < 60; }

}  // namespace

TEST(PhotoFormat, JudgedByContent) {
    const QByteArray jpeg = encoded(codedPicture(8, 8), "JPG");
    const QByteArray bmp = encoded(codedPicture(8, 8), "BMP");
    const QByteArray png = encoded(codedPicture(8, 8), "PNG");
    auto sniff = [](const QByteArray& b) {
        return sniffPhotoFormat(reinterpret_cast<const unsigned char*>(b.constData()), b.size());
    };
    EXPECT_EQ(sniff(jpeg), PhotoFormat::Jpeg);
    EXPECT_EQ(sniff(bmp), PhotoFormat::Bmp);
    EXPECT_EQ(sniff(QByteArray("GIF87a")), PhotoFormat::Gif);
    EXPECT_EQ(sniff(png), PhotoFormat::Unknown);
    EXPECT_EQ(sniff(QByteArray("\xFF\xD8", 2)), PhotoFormat::Unknown);
    PhotoError error;
    EXPECT_TRUE(decode(png, &error).isNull());
    EXPECT_EQ(error.problem, PhotoProblem::NotAPicture);
    EXPECT_EQ(photoErrorText(error), "is not a JPEG, BMP or GIF picture");
}

// Every EXIF orientation turns the stored picture upright: the mark ends in the top-left.
class OrientationTest : public ::testing::TestWithParam<int> {};

TEST_P(OrientationTest, MarkEndsTopLeft) {
    const int orientation = GetParam();
    // The picture as a camera would store it for this orientation: the inverse transform.
    QImage stored = marked();
    switch (orientation) {
        case 2: stored = stored.mirrored(true, false); break;
        case 3: stored = stored.mirrored(true, true); break;
        case 4: stored = stored.mirrored(false, true); break;
        case 5: stored = stored.mirrored(true, false).transformed(QTransform().rotate(270)); break;
        case 6: stored = stored.transformed(QTransform().rotate(270)); break;
        case 7: stored = stored.mirrored(true, false).transformed(QTransform().rotate(90)); break;
        case 8: stored = stored.transformed(QTransform().rotate(90)); break;
        default: break;
    }
    const QByteArray jpeg = withExifOrientation(encoded(stored, "JPG", 95), orientation);
    const unsigned char* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    EXPECT_EQ(jpegExifOrientation(data, jpeg.size()), orientation);
    const QImage upright = decode(jpeg);
    ASSERT_EQ(upright.size(), QSize(60, 40));
    EXPECT_TRUE(dark(upright, 3, 3));
    EXPECT_FALSE(dark(upright, 56, 3));
    EXPECT_FALSE(dark(upright, 3, 36));
    EXPECT_FALSE(dark(upright, 56, 36));
}

INSTANTIATE_TEST_SUITE_P(AllEight, OrientationTest, ::testing::Range(1, 9));

TEST(ExifOrientation, DamagedBlocksReadAsNormal) {
    const QByteArray jpeg = withExifOrientation(encoded(marked(), "JPG"), 6);
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    // Cut short anywhere inside the EXIF block (start marker, 4-byte segment head and 32
    // bytes of block): never read past the end, always 1.
    const int blockEnd = 2 + 4 + 32;
    for (int size = 0; size < blockEnd; ++size) EXPECT_EQ(jpegExifOrientation(data, size), 1) << size;
    EXPECT_EQ(jpegExifOrientation(data, blockEnd), 6);
    QByteArray bad = jpeg;
    bad[2 + 4 + 6 + 4] = char(0xFF);  // IFD offset far outside the block
    EXPECT_EQ(jpegExifOrientation(reinterpret_cast<const unsigned char*>(bad.constData()),
                                  bad.size()),
              1);
}

TEST(PhotoLimits, HeaderSizesOverTheLimitAreRefusedBeforeDecoding) {
    const QByteArray jpeg = encoded(codedPicture(16, 16), "JPG");
    PhotoError error;
    // 10001 x 10000 is just over 100 megapixels, and says so.
    EXPECT_TRUE(decode(withJpegFrameSize(jpeg, 10001, 10000), &error).isNull());
    EXPECT_EQ(error.problem, PhotoProblem::TooLarge);
    EXPECT_EQ(photoErrorText(error), "has 100.01 megapixels; at most 100 can be loaded");
    EXPECT_TRUE(decode(withJpegFrameSize(jpeg, 30000, 24975), &error).isNull());
    EXPECT_EQ(photoErrorText(error), "has 749 megapixels; at most 100 can be loaded");
}

TEST(PhotoFile, GreyAndPalettePicturesComeOutAsColourPixels) {
    QImage grey(30, 20, QImage::Format_Grayscale8);
    grey.fill(77);
    const QImage fromBmp = decode(encoded(grey, "BMP"));
    ASSERT_FALSE(fromBmp.isNull());
    EXPECT_EQ(fromBmp.format(), QImage::Format_RGB32);
    EXPECT_EQ(fromBmp.pixel(5, 5), qRgb(77, 77, 77));
    const QImage fromJpeg = decode(encoded(grey, "JPG", 100));
    ASSERT_FALSE(fromJpeg.isNull());
    EXPECT_NEAR(qGreen(fromJpeg.pixel(5, 5)), 77, 1);
}

// A file that cannot be read at all says why in the system's words, as part of a sentence.
// The administrator may read any file, so the locked file is read by an ordinary user: a
// child process that gives up the administrator's rights first.
TEST(PhotoFile, UnreadableFilesSayWhy) {
    QTemporaryDir dir;
    PhotoError error;
    EXPECT_TRUE(loadPhoto(dir.filePath("gone.jpg"), Qt::white, &error).isNull());
    EXPECT_EQ(error.problem, PhotoProblem::Unreadable);
    EXPECT_EQ(photoErrorText(error), "cannot be read: no such file or directory");

    const QString locked = writePicture(dir, "locked.jpg", codedPicture(8, 8), "JPG");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0) std::_Exit(2);
            PhotoError refused;
            loadPhoto(locked, Qt::white, &refused);
            std::fprintf(stderr, "%s\n", qPrintable(photoErrorText(refused)));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "cannot be read: permission denied");
}

// Every picture of tests/data/malformed: the size it decodes at, or why it is refused.
TEST(MalformedCorpus, EveryFileHasItsExpectationAndEveryExpectationItsFile) {
    const std::vector<CorpusFile> list = readMalformedCorpus();
    ASSERT_GE(list.size(), 40u) << "expectations.txt missing or short in " << malformedFolder();
    std::set<std::string> listed;
    for (const CorpusFile& e : list) {
        EXPECT_TRUE(listed.insert(e.file).second) << e.file << " listed twice";
        EXPECT_TRUE(std::filesystem::is_regular_file(malformedFolder() / e.file)) << e.file;
        if (e.loads) {
            EXPECT_TRUE(e.width > 0 && e.height > 0) << e.file << ": size missing";
        } else {
            EXPECT_EQ(reasonInWords(e).rfind("(no reason", 0), std::string::npos) << e.file;
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(malformedFolder())) {
        const std::string name = entry.path().filename().string();
        if (name == "README.md" || name == "expectations.txt") continue;
        EXPECT_TRUE(listed.count(name)) << name << " has no line in expectations.txt";
    }
}

class MalformedDecoding : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(MalformedDecoding, GivesItsSizeOrItsReason) {
    const CorpusFile& e = GetParam();
    const QString path = QString::fromStdString((malformedFolder() / e.file).string());
    PhotoError error;
    const QImage photo = loadPhoto(path, Qt::white, &error);
    if (e.loads) {
        EXPECT_EQ(photo.size(), QSize(e.width, e.height)) << error.detail.toStdString();
        EXPECT_EQ(photo.format(), QImage::Format_RGB32);
        EXPECT_EQ(error.problem, PhotoProblem::None);
    } else {
        EXPECT_TRUE(photo.isNull());
        EXPECT_EQ(photoErrorText(error).toStdString(), reasonInWords(e))
            << error.detail.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedDecoding, ::testing::ValuesIn(readMalformedCorpus()),
                         [](const auto& info) { return corpusTestName(info.param.file); });
