// The pictures the windows show are compiled in at their sizes and hold real drawings.
#include <ostream>
#include <set>

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace {

struct Artwork {
    const char* name;
    QSize size;
    bool transparentCorner;  // drawn on a transparent ground (icons)
};

void PrintTo(const Artwork& value, std::ostream* out) {
    *out << value.name;
}

class ArtworkTest : public ::testing::TestWithParam<Artwork> {};

TEST_P(ArtworkTest, IsCompiledInAtItsSizeWithRealDetail) {
    const Artwork art = GetParam();
    const QImage picture(QStringLiteral(":/pictures/") + QString::fromLatin1(art.name));
    ASSERT_FALSE(picture.isNull()) << art.name;
    EXPECT_EQ(picture.size(), art.size);
    // A drawing, not a flat placeholder: many different colours.
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
    }
    EXPECT_GE(colours.size(), 40u);
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)) == 0, art.transparentCorner);
}

INSTANTIATE_TEST_SUITE_P(Pictures, ArtworkTest,
                         ::testing::Values(Artwork{"mouth.png", {70, 55}, false},
                                           Artwork{"eye.png", {70, 55}, false},
                                           Artwork{"clear.png", {140, 24}, false},
                                           Artwork{"about_small.png", {35, 43}, false},
                                           Artwork{"about_banner.png", {246, 44}, false},
                                           Artwork{"scissors.png", {32, 32}, true},
                                           Artwork{"ok.png", {40, 30}, false},
                                           Artwork{"exit.png", {40, 30}, false},
                                           Artwork{"portrik.png", {256, 256}, true}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });

// Mean colour of the picture's edge rows and columns: the button face, clear of the word.
QColor edgeColour(const QImage& picture) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int x = 0; x < picture.width(); ++x) {
        for (int y : {3, picture.height() - 4}) {
            const QColor c = picture.pixelColor(x, y);
            r += c.red(), g += c.green(), b += c.blue(), ++n;
        }
    }
    return QColor(int(r / n), int(g / n), int(b / n));
}

// Pixels of a light grey: about equal channels, bright.
int lightGreyPixels(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.red() > 180 && qAbs(c.red() - c.blue()) < 12 && qAbs(c.red() - c.green()) < 12)
                ++count;
        }
    }
    return count;
}

TEST(PrintButtonArt, OkIsBlueAndExitIsRedBothWithALightGreyWord) {
    const QImage ok(QStringLiteral(":/pictures/ok.png"));
    const QImage exit(QStringLiteral(":/pictures/exit.png"));
    const QColor okFace = edgeColour(ok);
    const QColor exitFace = edgeColour(exit);
    EXPECT_GT(okFace.blue(), okFace.red() + 60) << okFace.name().toStdString();
    EXPECT_GT(exitFace.red(), exitFace.blue() + 60) << exitFace.name().toStdString();
    EXPECT_GE(lightGreyPixels(ok), 25);
    EXPECT_GE(lightGreyPixels(exit), 25);
}

TEST(GuideButtonArt, TheEyeHasADarkPupilAndTheMouthRedLips) {
    const QColor pupil = QImage(QStringLiteral(":/pictures/eye.png")).pixelColor(35, 30);
    EXPECT_LT(pupil.lightness(), 40);
    const QColor lip = QImage(QStringLiteral(":/pictures/mouth.png")).pixelColor(35, 30);
    EXPECT_GT(lip.red(), lip.green() + 60);
}

}  // namespace
