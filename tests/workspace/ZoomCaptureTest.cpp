// Zoom, panning, the capture frame and the capture itself, border and frame colour.
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "platform/widgets/AppCursor.h"
#include "MainFixture.h"

using ZoomTest = MainFixture;

TEST_F(ZoomTest, StatusLineRangesAndCheckMark) {
    loadPicture(codedPicture(640, 480));
    window->onSizeProcent(5);
    EXPECT_EQ(window->InfoLabel->text(), "Zoomformat : 50%  /  Photo : 320 x 240 pixels");
    EXPECT_EQ(window->HScroll1->max(), 480);
    EXPECT_EQ(window->VScroll1->max(), 360);
    EXPECT_EQ(window->checkedPercent(), 50);
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    window->onSizeProcent(10);
    EXPECT_EQ(window->InfoLabel->text(), "Zoomformat : 100%  /  Photo : 640 x 480 pixels");
    EXPECT_EQ(window->HScroll1->max(), 110);
    EXPECT_EQ(window->VScroll1->max(), 83);
}

TEST_F(ZoomTest, FractionalSizesUseTheLocalesSeparator) {
    loadPicture(codedPicture(1001, 751));
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    window->onSizeProcent(5);
    QLocale::setDefault(saved);
    EXPECT_EQ(window->InfoLabel->text(), "Zoomformat : 50%  /  Photo : 500,5 x 375,5 pixels");
    window->onSizeProcent(3);
    EXPECT_EQ(window->InfoLabel->text(), "Zoomformat : 30%  /  Photo : 300.3 x 225.3 pixels");
}

// The viewport after a zoom and a scroll is exactly the section of the photo that a plain
// (non-smooth) stretch by Qt would hold there.
struct ViewCase {
    int width, height, index, h, v;
};

class ZoomViewTest : public MainFixture, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(ZoomViewTest, ViewportEqualsTheMaterialisedZoom) {
    const ViewCase& c = GetParam();
    const QImage picture = codedPicture(c.width, c.height);
    loadPicture(picture);
    window->onSizeProcent(c.index);
    const int zw = session().zoomView().width(), zh = session().zoomView().height();
    const QImage zoomed = picture.scaled(zw, zh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    window->HScroll1->setValue(c.h);
    window->VScroll1->setValue(c.v);
    const int h = window->HScroll1->value(), v = window->VScroll1->value();
    const QRgb background = window->Pic->backColor().rgb();
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 480; ++x) {
            const int zx = h + x, zy = v + y;
            const QRgb expected = (zx >= 0 && zx < zw && zy >= 0 && zy < zh)
                                      ? zoomed.pixel(zx, zy)
                                      : background;
            ASSERT_EQ(viewport().pixel(x, y), expected) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Photos, ZoomViewTest,
                         ::testing::Values(ViewCase{640, 480, 5, 0, 0},
                                           ViewCase{1001, 751, 3, 100, 50},
                                           ViewCase{1200, 900, 20, 1000, 700},
                                           ViewCase{1200, 900, 15, 333, 222},
                                           ViewCase{777, 555, 7, 20, 10},
                                           ViewCase{3000, 2000, 1, 0, 0},
                                           ViewCase{2500, 1700, 9, 1500, 1111},
                                           ViewCase{505, 370, 10, -12, -20}));

TEST_F(ZoomTest, ZoomingAlwaysStartsFromTheUnscaledPhoto) {
    const QImage picture = codedPicture(900, 700);
    loadPicture(picture);
    window->onSizeProcent(1);
    window->onSizeProcent(20);
    EXPECT_EQ(viewport(), picture.scaled(1800, 1400, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                              .copy(0, 0, 480, 360));
}

TEST_F(ZoomTest, ScrollRedrawsAtOnceForArrowsAndOnReleaseForADraggedThumb) {
    const QImage picture = codedPicture(1000, 800);
    loadPicture(picture);
    window->HScroll1->bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->HScroll1->value(), 1);
    EXPECT_EQ(viewport().pixel(0, 0), picture.pixel(1, 0));
    window->VScroll1->bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(window->VScroll1->value(), 1);
    EXPECT_EQ(viewport().pixel(0, 0), picture.pixel(1, 1));

    // Dragging the thumb: nothing moves until it is released.
    QScrollBar* bar = window->HScroll1->bar();
    bar->setSliderDown(true);
    bar->setSliderPosition(240);
    EXPECT_EQ(viewport().pixel(0, 0), picture.pixel(1, 1));
    bar->setSliderDown(false);
    EXPECT_EQ(window->HScroll1->value(), 240);
    EXPECT_EQ(viewport().pixel(0, 0), picture.pixel(240, 1));
}

TEST_F(ZoomTest, AZoomPutsBothScrollValuesBackToTheTopLeftCorner) {
    const QImage picture = codedPicture(1000, 800);
    loadPicture(picture);
    window->HScroll1->setValue(300);
    window->VScroll1->setValue(200);
    window->SizeProcent[15]->trigger();
    EXPECT_EQ(window->HScroll1->value(), 0);
    EXPECT_EQ(window->VScroll1->value(), 0);
    EXPECT_EQ(window->checkedPercent(), 150);
    EXPECT_EQ(viewport(), picture.scaled(1500, 1200, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                              .copy(0, 0, 480, 360));
}

TEST_F(ZoomTest, ScrollPositionsMapOneToOne) {
    const QImage picture = codedPicture(1000, 800);
    loadPicture(picture);
    window->HScroll1->setValue(240);
    window->VScroll1->setValue(100);
    EXPECT_EQ(viewport().pixel(0, 0), picture.pixel(240, 100));
    EXPECT_EQ(viewport().pixel(479, 359), picture.pixel(719, 459));
}

TEST_F(ZoomTest, AZoomTooLargeToScrollIsRefusedAndThePreviousZoomStays) {
    // 17000 x 100 at 200 % would be 34000 wide: beyond a 16-bit scroll value.
    loadPicture(codedPicture(17000, 100));
    window->onSizeProcent(5);
    const QImage before = viewport().copy();
    window->onSizeProcent(20);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("34000"));
    EXPECT_EQ(window->checkedPercent(), 50);
    EXPECT_EQ(session().zoomView().width(), 8500);
    EXPECT_EQ(viewport(), before);
    // Chosen from the menu, which ticks the item itself before the handler runs.
    window->SizeProcent[20]->trigger();
    EXPECT_EQ(dialogs.messages.size(), 2);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 10, 15, 20}) {
        EXPECT_FALSE(window->SizeProcent[i]->isChecked()) << i;
    }
    EXPECT_TRUE(window->SizeProcent[5]->isChecked());
    window->onSizeProcent(15);  // 25500 wide still scrolls
    EXPECT_EQ(window->checkedPercent(), 150);
    EXPECT_EQ(window->HScroll1->max(), 25500 - 530);
}

using CaptureTest = MainFixture;

TEST_F(CaptureTest, FrameFollowsTheMouseWithItsHotSpot) {
    loadPicture(codedPicture(640, 480));
    QTest::mouseMove(window->Pic, QPoint(200, 150));
    EXPECT_EQ(session().frame(), (view::Rect{150, 85, 127, 163}));
    window->HScroll2->setValue(140);
    EXPECT_EQ(session().frame()->width, 127);  // keeps its size until the mouse moves
    window->onPicMouseMove(QPoint(10, 20));
    EXPECT_EQ(session().frame(), (view::Rect{-40, -45, 140, 180}));
}

TEST_F(CaptureTest, ClickCopiesTheFramedPixelsOneToOne) {
    const QImage picture = codedPicture(640, 480);
    loadPicture(picture);
    window->onKnop2();
    window->onKnop4();
    QTest::mouseMove(window->Pic, QPoint(200, 150));
    QTest::mouseClick(window->Pic, Qt::RightButton, {}, QPoint(200, 150));
    EXPECT_EQ(photo(), picture.copy(150, 85, 127, 163));
    // The guides stay as they were and never enter the photo.
    EXPECT_TRUE(session().guides().shapeVisible && session().guides().lineHor1Visible);
}

TEST_F(CaptureTest, WideAndNarrowFramesMatchAPlainStretch) {
    const QImage picture = codedPicture(640, 480);
    loadPicture(picture);
    for (int width : {270, 50, 100, 199}) {
        window->HScroll2->setValue(width);
        window->onPicMouseMove(QPoint(150, 75));
        window->onPicMouseDown(QPoint(150, 75));
        const QRect frame(100, 10, width, session().GrabHeight());
        ASSERT_TRUE(QRect(0, 0, 480, 360).contains(frame));
        EXPECT_EQ(photo(), picture.copy(frame).scaled(127, 163, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation))
            << width;
    }
}

// The program's main path: load, zoom, scroll, place the frame and click. The passport photo
// is the framed part of the zoomed photo, as the viewport shows it, plainly stretched.
struct MainPathCase {
    const char* name;
    int index, h, v, grabWidth;
    QPoint pointer;
};

class CaptureAfterZoomAndScroll : public MainFixture,
                                  public ::testing::WithParamInterface<MainPathCase> {};

TEST_P(CaptureAfterZoomAndScroll, TakesTheFramedPartOfTheZoomedPhoto) {
    const MainPathCase& c = GetParam();
    const QImage picture = codedPicture(1600, 1200);
    loadPicture(picture);
    window->SizeProcent[c.index]->trigger();
    window->HScroll1->setValue(c.h);
    window->VScroll1->setValue(c.v);
    window->HScroll2->setValue(c.grabWidth);
    QTest::mouseMove(window->Pic, c.pointer);
    QTest::mouseClick(window->Pic, Qt::LeftButton, {}, c.pointer);

    const QImage zoomed = picture.scaled(session().zoomView().width(),
                                         session().zoomView().height(), Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation);
    // The frame in zoomed-photo pixels: the pointer's hot spot, shifted by the scroll values.
    const QRect frame(c.h + c.pointer.x() - 50, c.v + c.pointer.y() - 65, c.grabWidth,
                      session().GrabHeight());
    ASSERT_TRUE(QRect(c.h, c.v, 480, 360).contains(frame)) << "the frame lies in the viewport";
    EXPECT_EQ(photo(), zoomed.copy(frame).scaled(127, 163, Qt::IgnoreAspectRatio,
                                                 Qt::FastTransformation));
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, CaptureAfterZoomAndScroll,
    ::testing::Values(MainPathCase{"Half", 5, 100, 60, 127, QPoint(200, 150)},
                      MainPathCase{"OneAndAHalfWidestFrame", 15, 900, 700, 270, QPoint(240, 75)},
                      MainPathCase{"ThirdNarrowestFrame", 3, 0, 0, 50, QPoint(300, 200)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, FrameOutsideTheViewportCopiesTheBackground) {
    loadPicture(codedPicture(640, 480));
    window->onPicMouseDown(QPoint(470, 350));  // frame from (420, 285) runs past both edges
    const QRgb background = window->Orgineel->backColor().rgb();
    EXPECT_EQ(photo().pixel(0, 0), codedPicture(640, 480).pixel(420, 285));
    EXPECT_EQ(photo().pixel(60, 0), background);
    EXPECT_EQ(photo().pixel(0, 75), background);
}

TEST_F(CaptureTest, FrameWidthCaptionAndReset) {
    window->HScroll2->setValue(100);
    EXPECT_EQ(window->Label5->text(), "100 x 128 pixels");
    EXPECT_EQ(session().GrabHeight(), 128);
    window->HScroll2->setValue(140);
    EXPECT_EQ(window->Label5->text(), "140 x 180 pixels");
    QTest::mouseClick(window->ResetKnop, Qt::LeftButton);
    EXPECT_EQ(window->HScroll2->value(), 127);
    EXPECT_EQ(window->Label5->text(), "127 x 163 pixels");
    window->Label5->setText("x");
    window->onResetKnop();  // already 127: the caption is written again
    EXPECT_EQ(window->Label5->text(), "127 x 163 pixels");
}

TEST_F(CaptureTest, FrameIsDrawnInItsColourOverTheViewportButNeverCaptured) {
    QImage white(640, 480, QImage::Format_RGB32);
    white.fill(Qt::black);
    loadPicture(white);
    window->onColorGrabber(2);
    EXPECT_TRUE(window->ColorGrabber[2]->isChecked());
    EXPECT_FALSE(window->ColorGrabber[1]->isChecked());
    window->onPicMouseMove(QPoint(200, 150));
    const QImage shown = window->Pic->grab().toImage();
    EXPECT_EQ(shown.pixel(150, 85), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(276, 247), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(200, 150), qRgb(0, 0, 0));
    window->onPicMouseDown(QPoint(200, 150));
    for (int y = 0; y < 163; ++y)
        for (int x = 0; x < 127; ++x) ASSERT_EQ(photo().pixel(x, y), qRgb(0, 0, 0));
    window->onColorGrabber(0);
    EXPECT_EQ(window->grabberColour(), QColor(0, 0, 0));
    EXPECT_TRUE(window->ColorGrabber[0]->isChecked());
}

TEST_F(CaptureTest, GuidesAreDrawnOverThePhotoOnly) {
    window->onKnop1();
    window->onKnop3();
    const QImage shown = window->Orgineel->grab().toImage();
    EXPECT_EQ(shown.pixel(30, 40), qRgb(255, 0, 0));    // outer box, left edge
    EXPECT_EQ(shown.pixel(40, 66), qRgb(255, 0, 0));    // inner box top (up to 10)
    EXPECT_EQ(shown.pixel(5, 84), qRgb(0, 0, 192));     // eye line
    EXPECT_EQ(shown.pixel(63, 10), qRgb(0, 0, 255));    // centre line
    EXPECT_EQ(photo().pixel(30, 40), qRgb(0, 60, 0));   // the image keeps its placeholder
    window->onKnopClear();
    EXPECT_EQ(window->Orgineel->grab().toImage().pixel(30, 40), qRgb(0, 60, 0));
    window->onKnop4();  // alone: the centre line and the eye lines at 80 and 84
    const QImage eyes = window->Orgineel->grab().toImage();
    EXPECT_EQ(eyes.pixel(63, 10), qRgb(0, 0, 255));
    EXPECT_EQ(eyes.pixel(5, 80), qRgb(0, 0, 192));
    EXPECT_EQ(eyes.pixel(5, 84), qRgb(0, 0, 192));
    EXPECT_NE(eyes.pixel(5, 88), qRgb(0, 0, 192));
    EXPECT_NE(eyes.pixel(30, 40), qRgb(255, 0, 0));
}

TEST_F(CaptureTest, BorderBlackensTheOutermostRowsAndColumnsOnly) {
    loadPicture(codedPicture(640, 480));
    window->onPicMouseDown(QPoint(200, 150));
    const QImage before = photo().copy();
    window->onEditBorder();
    for (int x = 0; x < 127; ++x) {
        ASSERT_EQ(photo().pixel(x, 0), qRgb(0, 0, 0));
        ASSERT_EQ(photo().pixel(x, 162), qRgb(0, 0, 0));
    }
    for (int y = 0; y < 163; ++y) {
        ASSERT_EQ(photo().pixel(0, y), qRgb(0, 0, 0));
        ASSERT_EQ(photo().pixel(126, y), qRgb(0, 0, 0));
    }
    EXPECT_EQ(photo().copy(1, 1, 125, 161), before.copy(1, 1, 125, 161));
    const QImage once = photo().copy();
    window->onEditBorder();
    EXPECT_EQ(photo(), once);
}

TEST_F(CaptureTest, OverlaysKeepGeometryAndVisibilityAcrossOtherCommands) {
    loadPicture(codedPicture(640, 480));
    window->onKnop1();
    window->onKnop4();
    window->onOrgineelMouseMove(QPoint(12, 14));
    const view::Guides before = session().guides();
    window->onPicMouseDown(QPoint(200, 150));
    window->onEditConvert(0);  // Grayscale
    window->onFlipConvert(0);
    window->onEditBorder();
    window->onSizeProcent(5);
    loadPicture(codedPicture(700, 500), QStringLiteral("next.bmp"));
    const view::Guides& after = session().guides();
    EXPECT_EQ(after.shape, before.shape);
    EXPECT_EQ(after.shape1, before.shape1);
    EXPECT_EQ(after.lineHor1, before.lineHor1);
    EXPECT_EQ(after.lineHor2, before.lineHor2);
    EXPECT_EQ(after.guideFrom11, before.guideFrom11);
    EXPECT_TRUE(after.shapeVisible && after.shape1Visible && after.lineHor1Visible &&
                after.lineHor2Visible && after.lineVertMiddenVisible);
}
