// File / "Load Photo": the surfaces, the status line, the menus and the scroll ranges, and
// what stays as it was when a file cannot be read.
#include <QLabel>
#include <QMenu>
#include <QRandomGenerator>
#include <QScrollBar>

#include "MainFixture.h"
#include "platform/widgets/AppCursor.h"
#include "platform/files/PhotoFile.h"

using LoadTest = MainFixture;

TEST_F(LoadTest, OpenDialogOffersJpegBmpAndGifWhateverTheirCase) {
    load(QString());
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].description, "Foto ( Jpg, Bmp, Gif )");
    EXPECT_TRUE(dialogs.openRequests[0].patterns.contains("*.jpg"));
    EXPECT_TRUE(dialogs.openRequests[0].patterns.contains("*.bmp"));
    EXPECT_TRUE(dialogs.openRequests[0].patterns.contains("*.gif"));
    EXPECT_TRUE(dialogs.openRequests[0].patterns.contains("*.jpeg"));
}

TEST_F(LoadTest, CancelChangesNothing) {
    const WindowState before(*window);
    load(QString());
    WindowState(*window).expectSame(before);
    EXPECT_TRUE(photoFileName().isEmpty());
}

TEST_F(LoadTest, PhotoFillsTheSurfacesAndEnablesTheMenus) {
    const QImage picture = codedPicture(640, 480);
    loadPicture(picture);
    const QString path = dialogs.openRequests.empty() ? QString() : photoFileName();

    EXPECT_TRUE(session().PhotoLoaded());
    EXPECT_EQ(backPic(), picture);
    EXPECT_EQ(viewport(), picture.copy(0, 0, 480, 360));
    EXPECT_EQ(window->InfoLabel->text(),
              "Klik met de linker muisknop wanneer de foto juist is gepositioneerd...");
    EXPECT_EQ(window->Filename->text(), path);
    EXPECT_FALSE(window->Filename->isEnabled());
    EXPECT_TRUE(window->ZoomSize->menuAction()->isEnabled());
    EXPECT_TRUE(window->Edit->menuAction()->isEnabled());
    EXPECT_TRUE(window->Flip->menuAction()->isEnabled());
    EXPECT_TRUE(window->FileSave->menuAction()->isEnabled());
    EXPECT_TRUE(window->FilePrint->isEnabled());
    EXPECT_TRUE(window->FilePassport->isEnabled());
    EXPECT_TRUE(window->grabberVisible());
    EXPECT_EQ(window->HScroll1->min(), 0);
    EXPECT_EQ(window->HScroll1->max(), 110);
    EXPECT_EQ(window->VScroll1->max(), 83);
    EXPECT_EQ(window->HScroll1->value(), 0);
    EXPECT_EQ(window->VScroll1->value(), 0);
    // Loading does not touch the passport photo.
    EXPECT_EQ(photo().pixel(0, 0), qRgb(0, 40, 0));
}

struct RangeCase {
    int width, height;
    int hMax, vMax;  // 32767: left as it was
};

class LoadRangeTest : public MainFixture, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(LoadRangeTest, ScrollRangesFollowThePhotoSize) {
    const RangeCase& c = GetParam();
    loadPicture(codedPicture(c.width, c.height));
    EXPECT_EQ(window->HScroll1->min(), 0);
    EXPECT_EQ(window->HScroll1->max(), c.hMax);
    EXPECT_EQ(window->VScroll1->max(), c.vMax);
    EXPECT_EQ(window->HScroll1->value(), 0);
    EXPECT_TRUE(session().PhotoLoaded());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LoadRangeTest,
                         ::testing::Values(RangeCase{480, 360, 32767, 32767},
                                           RangeCase{100, 50, 32767, 32767},
                                           RangeCase{500, 361, -30, -36},
                                           RangeCase{481, 396, -49, -1},
                                           RangeCase{530, 397, 0, 0},
                                           RangeCase{33297, 2, 32767, 32767},
                                           RangeCase{3, 33164, 32767, 32767}));

TEST_F(LoadTest, NegativeRangeScrollsTheThumbTowardsNegativeValues) {
    loadPicture(codedPicture(500, 300));
    ASSERT_EQ(window->HScroll1->max(), -30);
    // The right arrow moves one step towards the maximum.
    window->HScroll1->bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->HScroll1->value(), -1);
    EXPECT_EQ(viewport().pixel(1, 0), backPic().pixel(0, 0));
    EXPECT_EQ(viewport().pixel(0, 0), window->Pic->backColor().rgb());
    window->HScroll1->bar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(window->HScroll1->value(), -30);
}

TEST_F(LoadTest, ALoadAfterZoomingChecksHundredAgainWithThePhotoAtFullSize) {
    loadPicture(codedPicture(640, 480));
    window->onSizeProcent(5);
    EXPECT_EQ(window->checkedPercent(), 50);
    loadPicture(codedPicture(700, 500), QStringLiteral("second.bmp"));
    EXPECT_EQ(window->checkedPercent(), 100);
    EXPECT_EQ(session().zoomView().width(), 700);
    EXPECT_EQ(viewport(), codedPicture(700, 500).copy(0, 0, 480, 360));
}

TEST_F(LoadTest, AFittingPhotoKeepsTheScrollValuesOfTheLastOne) {
    loadPicture(codedPicture(1000, 800));
    window->HScroll1->setValue(50);
    loadPicture(codedPicture(300, 200), QStringLiteral("small.bmp"));
    EXPECT_EQ(window->HScroll1->value(), 50);
    EXPECT_EQ(window->HScroll1->max(), 470);
    // The photo is drawn unscaled at the top-left corner all the same.
    EXPECT_EQ(viewport().pixel(0, 0), codedPicture(300, 200).pixel(0, 0));
}

TEST_F(LoadTest, JpegDecodesLikeTheReferenceDecoder) {
    const QString path = writePicture(dir, "photo.jpg", codedPicture(640, 480), "JPG", 90);
    load(path);
    ASSERT_TRUE(session().PhotoLoaded());
    QImage reference(path);
    ASSERT_EQ(backPic().size(), reference.size());
    // Same decoder library underneath; allow for a different IDCT choice.
    int worst = 0;
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5) {
            const QRgb a = backPic().pixel(x, y), b = reference.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 2);
}

TEST_F(LoadTest, UpperCaseNamesAndNonAsciiPathsLoad) {
    load(writePicture(dir, QStringLiteral("IMG_0001.JPG"), codedPicture(50, 40), "JPG"));
    EXPECT_TRUE(session().PhotoLoaded());
    load(writePicture(dir, QStringLiteral("pasfoto Zoë ñ 写真.bmp"), codedPicture(60, 40), "BMP"));
    EXPECT_EQ(backPic(), codedPicture(60, 40));
    EXPECT_TRUE(window->Filename->text().endsWith(QStringLiteral("写真.bmp")));
    // An "&" in the path is shown, not taken for a keyboard accelerator.
    load(writePicture(dir, QStringLiteral("R&D.bmp"), codedPicture(20, 20), "BMP"));
    EXPECT_TRUE(window->Filename->text().endsWith(QStringLiteral("R&&D.bmp")));
    EXPECT_TRUE(window->Filename->iconText().endsWith(QStringLiteral("R&D.bmp")));
}

TEST_F(LoadTest, ExifOrientationTurnsAnUprightPhotoUpright) {
    // A camera held upright stores a landscape picture and says "rotate 90 clockwise".
    QImage landscape(600, 400, QImage::Format_RGB32);
    landscape.fill(Qt::white);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) landscape.setPixel(x, y, qRgb(0, 0, 0));  // top-left mark
    load(writeBytes(dir, "upright.jpg", withExifOrientation(encoded(landscape, "JPG", 95), 6)));
    ASSERT_TRUE(session().PhotoLoaded());
    EXPECT_EQ(backPic().size(), QSize(400, 600));
    // After turning clockwise the mark sits at the top-right.
    EXPECT_LT(qRed(backPic().pixel(380, 20)), 40);
    EXPECT_GT(qRed(backPic().pixel(20, 20)), 200);
    // The ranges follow the size as shown.
    EXPECT_EQ(window->VScroll1->max(), 600 - 397);
    EXPECT_EQ(window->HScroll1->max(), 32767);
}

TEST_F(LoadTest, GifShowsItsFirstFrameWithTransparencyInTheBackgroundColour) {
    QList<quint8> indices;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) indices << quint8(x < 10 ? 2 : 1);
    const QByteArray gif = makeGif(30, 20, {qRgb(0, 0, 0), qRgb(10, 200, 30), qRgb(9, 9, 9)},
                                   indices, 2);
    load(writeBytes(dir, "logo.gif", gif));
    ASSERT_TRUE(session().PhotoLoaded());
    EXPECT_EQ(backPic().pixel(15, 5), qRgb(10, 200, 30));
    EXPECT_EQ(backPic().pixel(5, 5), window->Pic->backColor().rgb());
}

TEST_F(LoadTest, CameraPhotosBeyondQtsDefaultLimitLoad) {
    // 61 megapixels, as a high-end camera writes them; Qt alone refuses over ~33.
    QImage big(9504, 6336, QImage::Format_RGB32);
    big.fill(qRgb(90, 120, 150));
    load(writePicture(dir, "camera.jpg", big, "JPG", 30));
    ASSERT_TRUE(session().PhotoLoaded());
    EXPECT_EQ(backPic().size(), QSize(9504, 6336));
    big = QImage();
    // And a BMP over the same limit goes through Qt's reader.
    QImage wide(6000, 5600, QImage::Format_RGB32);
    wide.fill(qRgb(1, 2, 3));
    load(writePicture(dir, "wide.bmp", wide, "BMP"));
    EXPECT_EQ(backPic().size(), QSize(6000, 5600));
}

// Files that are not photos we can read. Each leaves everything but PhotoFileName alone.
struct BadFile {
    const char* name;
    QByteArray (*bytes)();
};

class BadFileTest : public MainFixture, public ::testing::WithParamInterface<BadFile> {};

QByteArray zeroBytes() { return {}; }
QByteArray truncatedJpeg() {
    const QByteArray jpeg = encoded(codedPicture(300, 200), "JPG", 90);
    return jpeg.left(jpeg.size() / 2);
}
QByteArray randomBytes() {
    QByteArray bytes(5000, '\0');
    QRandomGenerator random(7);
    for (char& c : bytes) c = char(random.bounded(256));
    return bytes;
}
QByteArray pngNamedJpg() { return encoded(codedPicture(40, 30), "PNG"); }
QByteArray gifWithoutFrames() {
    QByteArray gif("GIF89a\x0A\x00\x0A\x00\x00\x00\x00;", 14);
    return gif;
}
QByteArray bmpWithCorruptHeader() {
    QByteArray bmp = encoded(codedPicture(40, 30), "BMP");
    bmp[14] = char(0x77);  // header size nobody knows
    bmp[28] = char(0x03);  // 3 bits per pixel
    return bmp;
}
QByteArray jpegClaimingHugeSize() {
    return withJpegFrameSize(encoded(codedPicture(16, 16), "JPG"), 60000, 60000);
}
QByteArray bmpClaimingHugeSize() {
    QByteArray bmp = encoded(codedPicture(8, 8), "BMP");
    const qint32 side = 60000;
    memcpy(bmp.data() + 18, &side, 4);
    memcpy(bmp.data() + 22, &side, 4);
    return bmp;
}
QByteArray gifClaimingHugeSize() {
    QByteArray gif = makeGif(4, 4, {qRgb(1, 1, 1)}, QList<quint8>(16, 0));
    gif[6] = gif[8] = char(0x60);  // 0xEA60 = 60000
    gif[7] = gif[9] = char(0xEA);
    return gif;
}
QByteArray zeroSizedBmp() {
    QByteArray bmp = encoded(codedPicture(8, 8), "BMP");
    const qint32 zero = 0;
    memcpy(bmp.data() + 18, &zero, 4);
    return bmp;
}

TEST_P(BadFileTest, LeavesEverythingButTheFileName) {
    // Once with a photo loaded before, once as the very first load.
    for (bool photoBefore : {true, false}) {
        if (photoBefore) loadPicture(codedPicture(640, 480));
        const WindowState before(*window);
        const QString path = writeBytes(dir, QString::fromLatin1(GetParam().name), GetParam().bytes());
        dialogs.messages.clear();
        load(path);
        WindowState(*window).expectSame(before);
        EXPECT_EQ(photoFileName(), path);
        // One message, naming the file.
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].startsWith("The file\n" + path + "\n"));
        EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
        window = std::make_unique<Main>(MainServices{&dialogs});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(BadFile{"empty.jpg", zeroBytes}, BadFile{"truncated.jpg", truncatedJpeg},
                      BadFile{"random.jpg", randomBytes}, BadFile{"png-named.jpg", pngNamedJpg},
                      BadFile{"no-frames.gif", gifWithoutFrames},
                      BadFile{"corrupt-header.bmp", bmpWithCorruptHeader},
                      BadFile{"huge.jpg", jpegClaimingHugeSize},
                      BadFile{"huge.bmp", bmpClaimingHugeSize},
                      BadFile{"huge.gif", gifClaimingHugeSize},
                      BadFile{"zero-width.bmp", zeroSizedBmp}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST_F(LoadTest, MissingFileLeavesEverythingButTheFileName) {
    const WindowState before(*window);
    load(dir.filePath("gone.jpg"));
    WindowState(*window).expectSame(before);
    EXPECT_EQ(photoFileName(), dir.filePath("gone.jpg"));
    EXPECT_EQ(dialogs.messages, QStringList{"The file\n" + dir.filePath("gone.jpg") +
                                            "\ncannot be read: no such file or directory."});
}

// A photo whose scroll maximum would not fit a signed 16-bit scroll value is refused before
// anything changes, with a message that names the file and gives the limit.
struct TooLong {
    const char* name;
    int width, height;
    const char* reason;
};

class TooLongToScrollTest : public MainFixture, public ::testing::WithParamInterface<TooLong> {};

TEST_P(TooLongToScrollTest, IsRefusedWithItsLimitAndEverythingStays) {
    const TooLong& c = GetParam();
    // Once as the very first load, once over a photo zoomed, scrolled and captured.
    for (bool photoBefore : {false, true}) {
        SCOPED_TRACE(photoBefore ? "over a loaded photo" : "as the first load");
        window = std::make_unique<Main>(MainServices{&dialogs});
        dialogs.messages.clear();
        if (photoBefore) {
            loadPicture(codedPicture(1200, 900));
            window->onSizeProcent(5);
            window->VScroll1->setValue(40);
            window->onPicMouseDown(QPoint(200, 150));
        }
        const WindowState before(*window);
        const QString path = writePicture(dir, QString::fromLatin1(c.name), codedPicture(c.width, c.height), "BMP");
        load(path);
        WindowState(*window).expectSame(before);
        EXPECT_EQ(photoFileName(), path);
        EXPECT_EQ(dialogs.messages, QStringList{"The file\n" + path + "\n" + c.reason + "."});
        EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Photos, TooLongToScrollTest,
    ::testing::Values(TooLong{"wide.bmp", 33298, 3,
                              "is too wide for the viewport's scroll bars: 33298 pixels across, "
                              "at most 33297"},
                      TooLong{"tall.bmp", 3, 33165,
                              "is too tall for the viewport's scroll bars: 33165 pixels down, "
                              "at most 33164"}),
    [](const auto& info) { return std::string(info.param.name).substr(0, 4); });
