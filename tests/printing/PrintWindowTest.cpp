// The print window without printing: start-up, layout, preview pixels, selector and options.
#include <cmath>
#include <memory>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureButton.h"
#include "platform/widgets/PictureSurface.h"
#include "sheets/PreviewLayout.h"
#include "PrintTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestPictures.h"

namespace {

const QRgb kPreviewBack = qRgb(240, 240, 230);

class PrintWindow : public ::testing::Test {
  protected:
    ScriptedDialogs dialogs;
    PrinterChoice choice;
    QImage photo = codedPicture(127, 163);
    std::unique_ptr<Afdrukken> window = std::make_unique<Afdrukken>(photo, dialogs, choice);
};

TEST_F(PrintWindow, StartsWithTheFirstLayoutAndItsOptions) {
    Afdrukken& w = *window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Print Photo"));
    EXPECT_TRUE(w.isModal());
    EXPECT_EQ(w.ScrollBalk->minimum(), 1);
    EXPECT_EQ(w.ScrollBalk->maximum(), 16);
    EXPECT_EQ(w.ScrollBalk->value(), 1);
    EXPECT_FALSE(w.ScrollBalk->hasTracking());
    EXPECT_EQ(w.Label1->text(), QStringLiteral("1 rows of 5 photo's."));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Print"));
    EXPECT_EQ(w.Label3->text(), QStringLiteral("Text                       Value \u20AC"));
    EXPECT_EQ(w.Text1->text(), QStringLiteral("Nederland"));
    EXPECT_EQ(w.Text2->text(), QStringLiteral("0.39"));
    EXPECT_TRUE(w.Check1->isChecked());
    EXPECT_EQ(w.Check1->text(), QStringLiteral("Black color"));
    EXPECT_FALSE(w.Kniplijn->isChecked());
    EXPECT_EQ(w.Kniplijn->text(), QStringLiteral("Secants off"));
    EXPECT_EQ(w.Picture1->toolTip(), QStringLiteral(" WYSIWYG "));
    EXPECT_FALSE(w.Kniplijn->isHidden());
    EXPECT_FALSE(w.Schaar->isHidden());
    for (QWidget* stampControl :
         {static_cast<QWidget*>(w.Text1), static_cast<QWidget*>(w.Text2),
          static_cast<QWidget*>(w.Label3), static_cast<QWidget*>(w.Check1)}) {
        EXPECT_TRUE(stampControl->isHidden());
    }
    EXPECT_FALSE(w.lijnVisible());
    EXPECT_EQ(w.Stamp1.size(), QSize(119, 149));
}

struct Placed {
    const char* name;
    QRect expected;  // pixels inside Frame1: twips / 15
};

TEST_F(PrintWindow, PlacesItsControlsAtTheirTwipsPositions) {
    Afdrukken& w = *window;
    EXPECT_EQ(w.size(), QSize(372, 232));
    EXPECT_EQ(w.Frame1->geometry(), QRect(5, -1, 366, 233));
    const std::pair<QWidget*, Placed> controls[] = {
        {w.BackA4, {"BackA4", {12, 18, 138, 188}}},
        {w.Picture1, {"Picture1", {16, 22, 130, 180}}},
        {w.BackScroll, {"BackScroll", {160, 18, 21, 189}}},
        {w.ScrollBalk, {"ScrollBalk", {162, 20, 17, 185}}},
        {w.Text1, {"Text1", {200, 18, 80, 19}}},
        {w.Text2, {"Text2", {288, 18, 40, 19}}},
        {w.Check1, {"Check1", {204, 60, 119, 21}}},
        {w.Kniplijn, {"Kniplijn", {204, 80, 85, 19}}},
        {w.Schaar, {"Schaar", {300, 74, 32, 32}}},
        {w.PrintKnop, {"PrintKnop", {266, 195, 40, 30}}},
        {w.ExitKnop, {"ExitKnop", {316, 195, 40, 30}}},
    };
    for (const auto& [widget, placed] : controls) {
        EXPECT_EQ(widget->parentWidget(), w.Frame1) << placed.name;
        EXPECT_EQ(widget->geometry(), placed.expected) << placed.name;
    }
    EXPECT_EQ(w.Label1->pos(), QPoint(12, 212));
    EXPECT_EQ(w.Label2->pos(), QPoint(238, 203));
    EXPECT_EQ(w.Label3->pos(), QPoint(200, 42));
}

// The preview by definition: every pixel whose centre lies in a picture's shown rectangle takes
// the nearest picture pixel; later pictures cover earlier ones.
QImage expectedPreview(int layout, const QImage& photo, const QImage& frame) {
    QImage out(130, 180, QImage::Format_RGB32);
    out.fill(kPreviewBack);
    for (const auto& place : sheets::previewPlacements(layout)) {
        const QImage& pic = place.picture == sheets::Picture::Photo ? photo : frame;
        const double w = place.width * pic.width() / 1905.0;
        const double h = place.height * pic.height() / 2445.0;
        for (int py = 0; py < 180; ++py) {
            for (int px = 0; px < 130; ++px) {
                const double cx = px + 0.5 - place.x;
                const double cy = py + 0.5 - place.y;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
                out.setPixel(px, py,
                             pic.pixel(static_cast<int>(cx * pic.width() / w),
                                       static_cast<int>(cy * pic.height() / h)));
            }
        }
    }
    return out;
}

int differingPixels(const QImage& a, const QImage& b, int rows) {
    int count = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

TEST_F(PrintWindow, StartUpPreviewShowsOneRowAndTheA4Text) {
    const QImage& preview = window->Picture1->image();
    const QImage expected = expectedPreview(1, photo, window->Stamp1);
    EXPECT_EQ(differingPixels(preview, expected, 160), 0);
    // Photo 1 covers 20 x 27 pixels from (6, 6) (19.6 x 26.67 by pixel centres), sampled at
    // the nearest photo pixel; photo 5 starts at x = 102.
    EXPECT_EQ(preview.pixel(6, 6), photo.pixel(3, 3));
    EXPECT_EQ(preview.pixel(25, 32), photo.pixel(126, 161));
    EXPECT_EQ(preview.pixel(26, 6), kPreviewBack);
    EXPECT_EQ(preview.pixel(6, 33), kPreviewBack);
    EXPECT_EQ(preview.pixel(102, 6), photo.pixel(3, 3));
    int textPixels = 0;
    for (int y = 160; y < 180; ++y)
        for (int x = 0; x < 130; ++x) textPixels += preview.pixel(x, y) != kPreviewBack;
    EXPECT_GT(textPixels, 50) << "\"A4 in Portrait mode\" at (5, 162)";
}

class PreviewAfterChange : public PrintWindow, public ::testing::WithParamInterface<int> {};

TEST_P(PreviewAfterChange, IsClearedAndRedrawnPixelForPixel) {
    window->ScrollBalk->setValue(15);  // leave stamps behind to be cleared away
    window->ScrollBalk->setValue(GetParam());
    const QImage expected = expectedPreview(GetParam(), photo, window->Stamp1);
    EXPECT_EQ(differingPixels(window->Picture1->image(), expected, 180), 0);
    EXPECT_EQ(window->Label1->text().toStdString(), sheets::layoutCaption(GetParam()));
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PreviewAfterChange, ::testing::Values(1, 2, 5, 6, 9, 10, 14, 16),
                         [](const auto& info) { return "Layout" + std::to_string(info.param); });

TEST_F(PrintWindow, StampPreviewShowsFramesWithPhotosInside) {
    window->ScrollBalk->setValue(15);
    const QImage& preview = window->Picture1->image();
    EXPECT_EQ(differingPixels(preview, expectedPreview(15, photo, window->Stamp1), 180), 0);
    // Last stamp: frame 18.37 x 24.38 at (106, 150), its photo 12 x 18 at (108, 152).
    EXPECT_EQ(preview.pixel(108, 152), photo.pixel(5, 4));
    EXPECT_EQ(preview.pixel(119, 169), photo.pixel(121, 158));
    EXPECT_EQ(preview.pixel(120, 169), window->Stamp1.pixel(93, 119));
    EXPECT_EQ(preview.pixel(106, 150), window->Stamp1.pixel(3, 3));
}

TEST_F(PrintWindow, ArrowsAndTrackMoveTheSelectorByOne) {
    QScrollBar* bar = window->ScrollBalk;
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("2 rows of 5 photo's."));
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), 3);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(bar->value(), 2);
    bar->setValue(16);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 16);
}

TEST_F(PrintWindow, DraggedSelectorRedrawsOnceWhenReleased) {
    QScrollBar* bar = window->ScrollBalk;
    int changes = 0;
    QObject::connect(bar, &QScrollBar::valueChanged, [&] { ++changes; });
    const QImage before = window->Picture1->image().copy();
    bar->setSliderDown(true);
    for (int position : {3, 6, 9}) bar->setSliderPosition(position);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("1 rows of 5 photo's."));
    EXPECT_EQ(window->Picture1->image(), before);
    bar->setSliderDown(false);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("5e row horizontal of 5 photo's."));
}

struct OptionCase {
    int layout;
    bool cutLineControls;
    bool stampControls;
};

class OptionControls : public PrintWindow, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(OptionControls, FollowTheLayout) {
    // Through the stamps and the poster first, so every control has been hidden once.
    for (int v : {15, 16, GetParam().layout}) window->ScrollBalk->setValue(v);
    Afdrukken& w = *window;
    EXPECT_EQ(!w.Kniplijn->isHidden(), GetParam().cutLineControls);
    EXPECT_EQ(!w.Schaar->isHidden(), GetParam().cutLineControls);
    for (QWidget* c : {static_cast<QWidget*>(w.Text1), static_cast<QWidget*>(w.Text2),
                       static_cast<QWidget*>(w.Label3), static_cast<QWidget*>(w.Check1)}) {
        EXPECT_EQ(!c->isHidden(), GetParam().stampControls);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, OptionControls,
                         ::testing::Values(OptionCase{1, true, false}, OptionCase{7, true, false},
                                           OptionCase{14, true, false}, OptionCase{15, false, true},
                                           OptionCase{16, false, false}),
                         [](const auto& info) {
                             return "Layout" + std::to_string(info.param.layout);
                         });

TEST_F(PrintWindow, CheckBoxClicksChangeCaptionsButNotThePreview) {
    window->ScrollBalk->setValue(15);
    const QImage before = window->Picture1->image().copy();
    window->Check1->click();
    EXPECT_EQ(window->Check1->text(), QStringLiteral("White color"));
    window->Check1->click();
    EXPECT_EQ(window->Check1->text(), QStringLiteral("Black color"));
    window->ScrollBalk->setValue(3);
    window->Kniplijn->click();
    EXPECT_EQ(window->Kniplijn->text(), QStringLiteral("Secants on"));
    EXPECT_TRUE(window->sheetOptions().cutLines);
    window->Kniplijn->click();
    EXPECT_EQ(window->Kniplijn->text(), QStringLiteral("Secants off"));
    window->ScrollBalk->setValue(15);
    EXPECT_EQ(window->Picture1->image(), before);
}

TEST_F(PrintWindow, TypedTextsStayAcrossLayoutChanges) {
    window->ScrollBalk->setValue(15);
    window->Text1->setText(QStringLiteral("Belgi\u00EB"));
    window->Text2->setText(QStringLiteral("0.50"));
    window->Check1->click();
    for (int v : {16, 2, 15}) window->ScrollBalk->setValue(v);
    EXPECT_EQ(window->Text1->text(), QStringLiteral("Belgi\u00EB"));
    EXPECT_EQ(window->Text2->text(), QStringLiteral("0.50"));
    const sheets::SheetOptions options = window->sheetOptions();
    EXPECT_EQ(options.layout, 15);
    EXPECT_EQ(options.countryText, "Belgi\xC3\xAB");
    EXPECT_EQ(options.valueText, "0.50");
    EXPECT_FALSE(options.blackText);
}

TEST_F(PrintWindow, ANewWindowStartsAfresh) {
    window->ScrollBalk->setValue(15);
    window->Text1->setText(QStringLiteral("Luxembourg"));
    window->Check1->click();
    window = std::make_unique<Afdrukken>(photo, dialogs, choice);
    EXPECT_EQ(window->ScrollBalk->value(), 1);
    EXPECT_EQ(window->Text1->text(), QStringLiteral("Nederland"));
    EXPECT_TRUE(window->Check1->isChecked());
    EXPECT_EQ(window->Label1->text(), QStringLiteral("1 rows of 5 photo's."));
}

}  // namespace
