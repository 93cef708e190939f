// The writing code under the save commands: the 24-bit BMP, the atomic write, the temporary
// file of a JPEG save.
#include "platform/files/PhotoSave.h"

#include <memory>

#include <QDir>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "SaveTestSupport.h"
#include "TestPictures.h"

namespace {

quint32 field(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

QImage fewColours() {
    QImage image(127, 163, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 30, 40)});
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, (x / 10 + y / 7) % 3);
    }
    return image;
}

struct PictureRow {
    const char* name;
    QImage image;
};

void PrintTo(const PictureRow& row, std::ostream* out) {
    *out << row.name;
}

class Bmp24 : public ::testing::TestWithParam<PictureRow> {};

}  // namespace

// Whatever the photo's format, the file is 24-bit and reads back pixel for pixel, both in Qt
// and in TurboJPEG's reader (which refuses 1-, 4- and 16-bit files).
TEST_P(Bmp24, EveryFormatBecomesAnExact24BitFileAt92Dpi) {
    const QImage& image = GetParam().image;
    const QImage expected = image.convertToFormat(QImage::Format_RGB32);
    const QByteArray bmp = encodeBmp24(image);
    const qint64 rowBytes = (image.width() * 3 + 3) / 4 * 4;

    ASSERT_EQ(bmp.size(), 54 + rowBytes * image.height());
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(field(bmp, 2, 4), quint32(bmp.size()));
    EXPECT_EQ(field(bmp, 10, 4), 54u);
    EXPECT_EQ(field(bmp, 18, 4), quint32(image.width()));
    EXPECT_EQ(field(bmp, 22, 4), quint32(image.height()));
    EXPECT_EQ(field(bmp, 28, 2), 24u);
    EXPECT_EQ(field(bmp, 30, 4), 0u) << "compressed";
    EXPECT_EQ(field(bmp, 38, 4), 3622u);
    EXPECT_EQ(field(bmp, 42, 4), 3622u);

    const QImage byQt = QImage::fromData(bmp, "BMP");
    EXPECT_EQ(byQt.convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_EQ(byQt.dotsPerMeterX(), 3622);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.bmp"));
    writeAll(path, bmp);
    EXPECT_EQ(loadWithTurboJpeg(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Bmp24,
    ::testing::Values(
        PictureRow{"rgb32", codedPicture(127, 163)},
        PictureRow{"grey", portraitPicture().convertToFormat(QImage::Format_Grayscale8)},
        PictureRow{"three_colours", fewColours()},
        PictureRow{"black_and_white", codedPicture(127, 163).convertToFormat(QImage::Format_Mono)},
        PictureRow{"odd_width", codedPicture(13, 5)}),
    [](const auto& info) { return std::string(info.param.name); });

// Writers that come up short the way files do on a full disk.
struct WriterRow {
    const char* name;
    ChunkWriter writer;
};

void PrintTo(const WriterRow& row, std::ostream* out) {
    *out << row.name;
}

class FailingWriter : public ::testing::TestWithParam<WriterRow> {};

TEST_P(FailingWriter, LeavesTheOldFileAndNoTrace) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("foto.bmp"));
    writeAll(path, "old photo");
    // Larger than one piece, so a failure in the second piece is reached too.
    const QByteArray bytes(200 * 1024, 'n');

    QString error;
    EXPECT_FALSE(writeFileAtomically(path, bytes, &error, GetParam().writer));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), "old photo");
    EXPECT_EQ(namesIn(dir.path()), QSet<QString>{QStringLiteral("foto.bmp")});
}

TEST_P(FailingWriter, TemporaryFileWriteReportsIt) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(writeTemporaryFile(dir.filePath(QStringLiteral("mydummy.bmp")),
                                    QByteArray(200 * 1024, 'n'), &error, GetParam().writer));
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Writers, FailingWriter,
    ::testing::Values(
        WriterRow{"short_count_without_error",
                  [](QIODevice& f, const char* d, qint64 n) { return f.write(d, n / 2); }},
        WriterRow{"error", [](QIODevice&, const char*, qint64) { return qint64(-1); }},
        WriterRow{"nothing", [](QIODevice&, const char*, qint64) { return qint64(0); }},
        WriterRow{"second_piece_short",
                  [calls = std::make_shared<int>(0)](QIODevice& f, const char* d, qint64 n) {
                      return f.write(d, ++*calls == 2 ? n - 1 : n);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicWrite, ReplacesTheOldFileCompletely) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("foto.bmp"));
    writeAll(path, QByteArray(100 * 1024, 'o'));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QByteArray bytes = encodeBmp24(codedPicture(127, 163));
    ASSERT_TRUE(writeFileAtomically(path, bytes));
    EXPECT_EQ(readAll(path), bytes);
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(path) & ~userBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(namesIn(dir.path()), QSet<QString>{QStringLiteral("foto.bmp")});
}
