// Photos as phones and cameras write them, opened for the counter photo: every format and
// orientation upright, every colour profile converted to sRGB, and every bad file refused
// with one reason. The files and how they were made: tests/data/photos/README.md.
#include <cmath>

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "platform/files/AnyPhoto.h"
#include "platform/files/PhotoPixels.h"

namespace {

QString photoPath(const char* name) {
    return qEnvironmentVariable("PORTRIK_SOURCE_DIR") + QStringLiteral("/tests/data/photos/") +
           QString::fromLatin1(name);
}

struct Lab {
    double l, a, b;
};

Lab labOf(double r, double g, double b) {
    const auto linear = [](double c) {
        c /= 255;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double R = linear(r), G = linear(g), B = linear(b);
    const double x = (0.4124 * R + 0.3576 * G + 0.1805 * B) / 0.95047;
    const double y = 0.2126 * R + 0.7152 * G + 0.0722 * B;
    const double z = (0.0193 * R + 0.1192 * G + 0.9505 * B) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : t * 24389 / 27 / 116 + 16.0 / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double deltaE(const Lab& p, const Lab& q) {
    return std::hypot(p.l - q.l, p.a - q.a, p.b - q.b);
}

// Between two pictures of one size: the mean colour difference per pixel (CIE76), and that
// of the face's mean colour (the 60 x 70 box at 70, 110, where a profile shows most).
struct Difference {
    double perPixel = 0;
    double face = 0;
};

Difference differenceOf(const QImage& a, const QImage& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            d.perPixel += deltaE(labOf(qRed(p), qGreen(p), qBlue(p)), labOf(qRed(q), qGreen(q), qBlue(q)));
        }
    }
    d.perPixel /= double(a.width()) * a.height();
    double sums[2][3] = {};
    for (int y = 110; y < 180; ++y) {
        for (int x = 70; x < 130; ++x) {
            for (int i = 0; i < 2; ++i) {
                const QRgb p = (i ? b : a).pixel(x, y);
                sums[i][0] += qRed(p), sums[i][1] += qGreen(p), sums[i][2] += qBlue(p);
            }
        }
    }
    const double n = 60.0 * 70;
    d.face = deltaE(labOf(sums[0][0] / n, sums[0][1] / n, sums[0][2] / n),
                    labOf(sums[1][0] / n, sums[1][1] / n, sums[1][2] / n));
    return d;
}

TEST(AnyPhoto, OpensEveryFormatUprightAndInSrgb) {
    struct Case {
        const char* file;
        double perPixel;    // the most mean difference per pixel from the source: the codec's loss
        const char* colour; // what became of its colours
    };
    const Case cases[] = {
        {"upright.png", 0, "sRGB"},
        {"upright-16bit.png", 0.01, "sRGB"},
        {"upright.tif", 0, "sRGB"},
        {"upright.jpg", 2, "sRGB"},
        {"upright.webp", 2, "sRGB"},
        {"upright.heic", 2, "sRGB"},
        {"opaque-alpha.png", 0, "sRGB"},
        {"turned-6.jpg", 2, "sRGB"},
        {"mirrored-2.jpg", 2, "sRGB"},
        {"turned-8.png", 0, "sRGB"},
        {"turned-3.webp", 2, "sRGB"},
        {"turned-6.tif", 0, "sRGB"},
        {"two-images.heic", 2, "sRGB"},  // its primary image, the face; the first is a grey card
        // Converted from their profiles, the colours come back within ΔE 2 a pixel, and the
        // face's colour within 1 (read as sRGB, it would be 2.3 to 3.2 off).
        {"adobe-rgb.jpg", 2, "Adobe RGB"},
        {"display-p3.jpg", 2, "Display P3"},
        {"display-p3.heic", 2, "Display P3"},
        {"display-p3-nclx.heic", 2, "Display P3"},
        {"adobe-rgb-16bit.png", 2, "Adobe RGB"},
        {"damaged-profile.jpg", 3, "the photo has a damaged colour profile: read as sRGB"},
    };
    const QImage source = QImage(photoPath("source.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(source.isNull());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const OpenedPhoto opened = openAnyPhoto(photoPath(c.file));
        ASSERT_TRUE(opened.photo) << opened.reason.toStdString();
        EXPECT_TRUE(opened.colour.contains(QString::fromUtf8(c.colour))) << opened.colour.toStdString();
        EXPECT_EQ(opened.profileDamaged, QString::fromUtf8(c.colour).contains(QStringLiteral("damaged")));
        const QImage image = imageOf(*opened.photo);
        ASSERT_EQ(image.size(), source.size()) << "upright";
        const Difference d = differenceOf(image, source);
        EXPECT_LE(d.perPixel, c.perPixel);
        if (!opened.profileDamaged) EXPECT_LT(d.face, 1.0);
    }
}

TEST(AnyPhoto, RefusesWhatItCannotOpenWithOneReason) {
    struct Case {
        const char* file;
        AnyPhotoProblem problem;
        const char* reason;  // the start of the words after the file's name
    };
    const Case cases[] = {
        {"truncated.heic", AnyPhotoProblem::Damaged, "is damaged or incomplete"},
        {"truncated.webp", AnyPhotoProblem::Damaged, "is damaged or incomplete"},
        {"unknown-codec.heic", AnyPhotoProblem::Unsupported, "uses a codec Portrik cannot decode"},
        {"huge.heic", AnyPhotoProblem::TooLarge, "has 400 megapixels; at most 100 can be loaded"},
        {"huge.png", AnyPhotoProblem::TooLarge, "has 400 megapixels; at most 100 can be loaded"},
        {"transparent.png", AnyPhotoProblem::Transparent, "has see-through parts"},
        {"README.md", AnyPhotoProblem::NotAPhoto, "is not a photo Portrik can open"},
        {"no-such-file.jpg", AnyPhotoProblem::Unreadable, "cannot be read: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const OpenedPhoto opened = openAnyPhoto(photoPath(c.file));
        EXPECT_FALSE(opened.photo);
        EXPECT_EQ(opened.problem, c.problem);
        EXPECT_TRUE(opened.reason.startsWith(QString::fromLatin1(c.reason))) << opened.reason.toStdString();
    }
}

}  // namespace
