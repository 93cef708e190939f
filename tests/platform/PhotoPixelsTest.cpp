// The two adapters between Qt's images and the Qt-free libraries: the passport photo as the
// filters' bitmap, whatever its image format, and the loaded photo as the view's photo,
// without copying its pixels.
#include <QImage>

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "filters/Filters.h"
#include "platform/files/PhotoBitmap.h"
#include "platform/files/PhotoPixels.h"

namespace {

struct Format {
    const char* name;
    QImage::Format format;
};

class PhotoBitmapFormats : public ::testing::TestWithParam<Format> {};

// A filter and a flip see the picture's colours as 32-bit pixels and leave a 32-bit picture.
TEST_P(PhotoBitmapFormats, FiltersTheColoursAndLeavesA32BitPicture) {
    const QImage source = codedPicture(40, 30).convertToFormat(GetParam().format);
    ASSERT_EQ(source.format(), GetParam().format);
    const QImage colours = source.convertToFormat(QImage::Format_RGB32);

    QImage photo = source;
    PhotoBitmap bitmap(photo);
    ASSERT_EQ(bitmap.width(), 40);
    ASSERT_EQ(bitmap.height(), 30);
    Filters::RunFilter(Filters::Code::Negative, bitmap, 0);
    Filters::FlipHorizontal(bitmap);
    EXPECT_EQ(photo.format(), QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QRgb was = colours.pixel(39 - x, y);
            ASSERT_EQ(photo.pixel(x, y), qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was)))
                << x << "," << y;
        }
    }
    EXPECT_EQ(source.convertToFormat(QImage::Format_RGB32), colours) << "the original stays";
}

INSTANTIATE_TEST_SUITE_P(Formats, PhotoBitmapFormats,
                         ::testing::Values(Format{"Grey8", QImage::Format_Grayscale8},
                                           Format{"Rgb888", QImage::Format_RGB888},
                                           Format{"Rgb16", QImage::Format_RGB16},
                                           Format{"Argb32", QImage::Format_ARGB32},
                                           Format{"Argb32Premultiplied",
                                                  QImage::Format_ARGB32_Premultiplied},
                                           Format{"Rgbx8888", QImage::Format_RGBX8888}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PhotoPixels, TheLoadedPhotoAdoptsTheDecodedPixelsWithoutACopy) {
    QImage decoded = codedPicture(300, 200);
    const uchar* bits = decoded.constBits();
    const auto photo = adoptPhoto(std::move(decoded));
    EXPECT_EQ(reinterpret_cast<const uchar*>(photo->pixels().pixels), bits);
    EXPECT_EQ(photo->width(), 300);
    EXPECT_EQ(photo->height(), 200);
    const QImage shown = imageOf(*photo);
    EXPECT_EQ(shown.constBits(), bits);
    EXPECT_EQ(shown, codedPicture(300, 200));
    // Another format is converted once, into the photo's own pixels.
    const auto grey = adoptPhoto(codedPicture(30, 20).convertToFormat(QImage::Format_Grayscale8));
    EXPECT_EQ(imageOf(*grey).format(), QImage::Format_RGB32);
    EXPECT_EQ(imageOf(*grey).pixel(3, 2),
              qRgb(qGray(codedPicture(30, 20).pixel(3, 2)), qGray(codedPicture(30, 20).pixel(3, 2)),
                   qGray(codedPicture(30, 20).pixel(3, 2))));
}

}  // namespace
