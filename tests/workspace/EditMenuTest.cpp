// The Edit and Flip menus on the passport photo: which filter each item runs, the pointer, the
// repaint, and commands given while a filter lets the window handle its events.
#include <cstdlib>
#include <random>

#include <QApplication>
#include <QDeadlineTimer>
#include <QMetaObject>
#include <QWindow>

#include "platform/widgets/AppCursor.h"
#include "platform/widgets/EventPump.h"
#include "filters/Filters.h"
#include "MainFixture.h"
#include "platform/files/PhotoBitmap.h"

namespace {

QImage noisyPhoto(int width = 127, int height = 163) {
    QImage image(width, height, QImage::Format_RGB32);
    std::minstd_rand engine(42);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | (engine() & 0xFFFFFFu);
    }
    return image;
}

// What the module makes of `photo`, without a window.
QImage filtered(const QImage& photo, int code, int parameter) {
    QImage copy = photo.copy();
    PhotoBitmap bitmap(copy);
    Filters::RunFilter(code, bitmap, parameter);
    return copy;
}

class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Runs `step` from the window's event processing, i.e. during the next filter's first row.
template <typename Step>
void duringTheNextRun(Main& window, Step step) {
    QMetaObject::invokeMethod(&window, step, Qt::QueuedConnection);
}

class EditMenuTest : public MainFixture {
  protected:
    void SetUp() override {
        MainFixture::SetUp();
        // Repaints reach a window only once it is on the screen.
        QDeadlineTimer deadline(5000);
        while (!window->windowHandle()->isExposed() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        ASSERT_TRUE(window->windowHandle()->isExposed());
        window->passportPhoto() = original;
        AppCursor::setArrow();
    }
    void TearDown() override {
        // Nothing queued by a test may run into the next one.
        QCoreApplication::removePostedEvents(window.get());
        AppCursor::setArrow();
    }

    const QImage original = noisyPhoto();
};

struct ConvertItem {
    int index;
    int code;  // 0: no filter
    int parameter;
};

class EditConvertItem : public EditMenuTest, public testing::WithParamInterface<ConvertItem> {};

TEST_P(EditConvertItem, RunsItsFilterUnderTheBusyPointerThenRepaintsAndShowsTheArrow) {
    const ConvertItem item = GetParam();
    PaintCounter counter(window->Orgineel);
    bool ranBusy = false;
    duringTheNextRun(*window, [&] {
        ranBusy = Filters::FilterBusy && AppCursor::current() == AppCursor::Shape::Busy;
    });
    window->onEditConvert(item.index);

    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    EXPECT_GE(counter.paints, 1);
    EXPECT_FALSE(Filters::FilterBusy);
    const QImage& photo = window->passportPhoto();
    if (item.code == 0) {
        EXPECT_EQ(photo, original);
    } else if (item.code == Filters::Code::AddNoise || item.code == Filters::Code::Diffuse) {
        EXPECT_TRUE(ranBusy);
        EXPECT_NE(photo, original);  // drawn from the process generator
    } else {
        EXPECT_TRUE(ranBusy);
        EXPECT_EQ(photo, filtered(original, item.code, item.parameter));
    }
}

namespace Code = Filters::Code;
INSTANTIATE_TEST_SUITE_P(
    Items, EditConvertItem,
    testing::Values(ConvertItem{0, Code::Grayscale, 0}, ConvertItem{1, Code::Negative, 0},
                    ConvertItem{2, Code::Brightness, 4}, ConvertItem{3, Code::Brightness, -4},
                    ConvertItem{4, Code::Sharpen, 10}, ConvertItem{5, 0, 0},
                    ConvertItem{6, Code::Pixelize, 3}, ConvertItem{7, Code::Relief, 0},
                    ConvertItem{8, 0, 0}, ConvertItem{9, Code::Scattered, 15},
                    ConvertItem{10, Code::Blur, 0}, ConvertItem{11, Code::Aquarel, 0},
                    ConvertItem{12, Code::Diffuse, 6}, ConvertItem{13, Code::AddNoise, 50},
                    ConvertItem{14, Code::Edge, 1}, ConvertItem{15, Code::Contour, Filters::kWhite},
                    ConvertItem{16, 0, 0}, ConvertItem{-1, 0, 0}),
    [](const auto& info) { return "Index" + std::to_string(info.param.index + 1); });

TEST_F(EditMenuTest, ContrastAndSwapItemsRunTheirFilterAndLeaveThePointerAlone) {
    struct Item {
        bool contrast;
        int index;
        int code, parameter;
    };
    const Item items[] = {{true, 1, Code::Contrast, 10},
                          {true, 2, Code::Contrast, -10},
                          {true, 0, 0, 0},
                          {true, 3, 0, 0},
                          {false, 1, Code::SwapColours, 1},
                          {false, 3, Code::SwapColours, 3},
                          {false, 5, Code::SwapColours, 5},
                          {false, 0, 0, 0},
                          {false, 6, 0, 0}};
    PaintCounter counter(window->Orgineel);
    AppCursor::setBusy();
    for (const Item& item : items) {
        window->passportPhoto() = original;
        const int paints = counter.paints;
        if (item.contrast) window->onEditContrastConvert(item.index);
        if (!item.contrast) window->onEditSwap(item.index);
        EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Busy) << item.index;
        EXPECT_GT(counter.paints, paints);
        const QImage expected =
            item.code ? filtered(original, item.code, item.parameter) : original;
        EXPECT_EQ(window->passportPhoto(), expected) << item.contrast << " " << item.index;
    }
}

TEST_F(EditMenuTest, SecondFilterCommandDuringARunOnlyRepaintsAndShowsTheArrow) {
    PaintCounter counter(window->Orgineel);
    bool stillBusy = false;
    bool arrowMeanwhile = false;
    int paintsOfSecond = 0;
    duringTheNextRun(*window, [&] {
        const int before = counter.paints;
        window->EditConvert[2]->trigger();  // "Light" again
        paintsOfSecond = counter.paints - before;
        stillBusy = Filters::FilterBusy;
        arrowMeanwhile = AppCursor::current() == AppCursor::Shape::Arrow;
    });
    window->EditConvert[2]->trigger();
    EXPECT_TRUE(stillBusy);
    EXPECT_TRUE(arrowMeanwhile);
    EXPECT_EQ(paintsOfSecond, 1);
    EXPECT_EQ(window->passportPhoto(), filtered(original, Code::Brightness, 4));
}

// Commands that change the photo are not blocked by a running filter; its write-back comes
// last and wins, unless the photo no longer has the size the filter read.
TEST_F(EditMenuTest, PhotoChangedDuringARun) {
    const QImage negative = filtered(original, Code::Negative, 0);
    const QImage small = noisyPhoto(40, 50);
    struct Change {
        const char* name;
        std::function<void(Main&)> change;
        QImage expected;
    };
    const Change changes[] = {
        {"FlipHorizontal", [](Main& w) { w.FlipConvert[0]->trigger(); }, negative},
        {"Border", [](Main& w) { w.EditBorder->trigger(); }, negative},
        {"NewCaptureSameSize", [](Main& w) { w.passportPhoto() = noisyPhoto().mirrored(); },
         negative},
        {"OtherSize", [&](Main& w) { w.passportPhoto() = small; }, small},
    };
    for (const Change& c : changes) {
        window->passportPhoto() = original;
        bool changed = false;
        duringTheNextRun(*window, [&] {
            const QImage before = window->passportPhoto().copy();
            c.change(*window);
            changed = window->passportPhoto() != before;
        });
        window->onEditConvert(1);
        EXPECT_TRUE(changed) << c.name;
        EXPECT_EQ(window->passportPhoto(), c.expected) << c.name;
    }
}

TEST_F(EditMenuTest, CopyTakenDuringARunKeepsItsPixels) {
    QImage copy;
    duringTheNextRun(*window, [&] { copy = window->passportPhoto(); });
    window->onEditConvert(1);
    EXPECT_EQ(copy, original);
    EXPECT_EQ(window->passportPhoto(), filtered(original, Code::Negative, 0));
}

TEST_F(EditMenuTest, FlipItemsMirrorAndRepaintWithoutTouchingThePointer) {
    PaintCounter counter(window->Orgineel);
    window->FlipConvert[0]->trigger();
    EXPECT_EQ(window->passportPhoto(), original.mirrored(true, false));
    window->onFlipConvert(1);
    EXPECT_EQ(window->passportPhoto(), original.mirrored(true, true));
    window->onFlipConvert(2);
    EXPECT_EQ(window->passportPhoto(), original.mirrored(true, true));
    EXPECT_EQ(counter.paints, 3);
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
}

// File / "Exit" chosen while a filter handles its events: the filter stops without writing
// back, the event loop ends with 0 and the window goes away cleanly. Exit cannot be undone
// within a process, so the whole program's run happens in a child process.
void runProgramAndExitDuringAFilter() {
    const QImage photo = noisyPhoto();
    bool clean = false;
    {
        ScriptedDialogs dialogs;
        Main window(MainServices{&dialogs});
        window.show();
        window.passportPhoto() = photo;
        // "Aquarel" starts from the event loop; Exit arrives after its first row.
        QMetaObject::invokeMethod(
            &window, [&] { window.EditConvert[11]->trigger(); }, Qt::QueuedConnection);
        QMetaObject::invokeMethod(
            &window, [&] { window.FileExit->trigger(); }, Qt::QueuedConnection);
        const int code = QApplication::exec();
        clean = code == 0 && quitRequested() && window.passportPhoto() == photo &&
                !Filters::FilterBusy && Filters::PixelBuffer.size() == 16 &&
                Filters::SourceBuffer.size() == 16 &&
                AppCursor::current() == AppCursor::Shape::Arrow;
    }
    // Straight out, as the program would end here; leak reports of system libraries at exit
    // are no concern of this test.
    std::_Exit(clean ? 0 : 3);
}

TEST(EditMenuExitTest, ExitDuringAFilterEndsTheProgramWithoutWritingBack) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runProgramAndExitDuringAFilter(), testing::ExitedWithCode(0), "");
}

}  // namespace
