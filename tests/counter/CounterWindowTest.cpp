// The counter-photo window on real faces: it frames a face as framing does, without holding
// up the event loop while the model loads; without a single face (or without the model, or
// with detection off) it says so in the window and the user frames by hand; the mouse, the
// wheel and the slider move and scale the crop; closing it while its workers run is safe.
#include <cmath>
#include <cstdio>
#include <future>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include "counter/BusyBar.h"

#include <gtest/gtest.h>

#include "CounterTestSupport.h"
#include "counter/CounterView.h"
#include "counter/Workers.h"
#include "passport/Framing.h"

namespace {

using counter::Finding;
using passport::AgeGroup;
using passport::Crop;

view::ConstPixels pixelsOf(const QImage& image) {
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
            image.height(), static_cast<int>(image.bytesPerLine() / 4)};
}

void expectSameCrop(const Crop& actual, const Crop& expected, const char* what) {
    // Within a millionth of a photo pixel: the same sums, perhaps in another order.
    EXPECT_NEAR(actual.x, expected.x, 1e-6) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-6) << what;
    EXPECT_NEAR(actual.width, expected.width, 1e-6) << what;
}

// Ticks every 10 ms and notes the longest wait between two ticks: how long the event loop
// was held up.
class EventLoopProbe {
  public:
    EventLoopProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longestMs_ = std::max(longestMs_, clock_.nsecsElapsed() / 1e6);
            clock_.restart();
            ++ticks_;
        });
        clock_.start();
        timer_.start();
    }
    void stop() {
        longestMs_ = std::max(longestMs_, clock_.nsecsElapsed() / 1e6);
        timer_.stop();
    }
    int ticks() const { return ticks_; }
    double longestMs() const { return longestMs_; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    int ticks_ = 0;
    double longestMs_ = 0;
};

TEST(CounterWindow, FramesARealFaceAsFramingDoesWhileTheEventLoopRuns) {
    struct Case {
        const char* file;
        AgeGroup group;
    };
    const Case cases[] = {{"plain-grey-short-hair.jpg", AgeGroup::From11},
                          {"plain-white-bald.jpg", AgeGroup::UpTo10},
                          {"head-at-top-edge.jpg", AgeGroup::From11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage photo = facePhoto(QString::fromLatin1(c.file));
        FaceModelSource& faces = FaceModelSource::shared();
        // Only the program's first opening loads the model; that one is watched.
        const bool loads = faces.state() != FaceModelSource::State::Ready;
        EventLoopProbe probe;
        QElapsedTimer opened;
        opened.start();
        CounterSession s;
        s.open(photo, c.group, faces);
        if (loads) {
            EXPECT_FALSE(s.window->Busy->isHidden()) << "busy while the model loads";
            ASSERT_TRUE(waitFor([&] { return faces.state() != FaceModelSource::State::Loading; }));
            probe.stop();
            // The load ran beside the event loop, which kept delivering the timer's ticks.
            EXPECT_GT(probe.ticks(), 0);
            std::printf(
                "model load: %.0f ms; longest event-loop stall meanwhile: %.1f ms "
                "(%d ticks)\n",
                opened.nsecsElapsed() / 1e6, probe.longestMs(), probe.ticks());
        }
        ASSERT_TRUE(s.settle());
        if (loads) std::printf("open to framed preview: %.0f ms\n", opened.nsecsElapsed() / 1e6);
        const counter::CounterFraming& framing = s.window->framing();
        ASSERT_EQ(framing.finding(), Finding::OneFace);

        // The face the model finds on the same pixels, framed by the rules.
        const passport::FaceSearch search = loadedModel().find(pixelsOf(photo));
        ASSERT_EQ(search.count(), passport::FaceCount::One);
        const passport::HeadMarks& found = search.faces[0].marks;
        EXPECT_EQ(framing.marks().crown, found.crown);
        EXPECT_EQ(framing.marks().chin, found.chin);
        EXPECT_EQ(framing.marks().leftEye, found.leftEye);
        expectSameCrop(framing.crop(), passport::frameHead(found, c.group), "framed");
        EXPECT_FALSE(framing.markersMovable());
        EXPECT_TRUE(s.window->Busy->isHidden());
        EXPECT_TRUE(s.window->StatusLabel->text().startsWith(QStringLiteral("Face found")));
        EXPECT_FALSE(s.window->View->preview().isNull());
        EXPECT_EQ(s.window->From11->isChecked(), c.group == AgeGroup::From11);

        // The other age group frames the same head to its own band.
        const AgeGroup other = c.group == AgeGroup::From11 ? AgeGroup::UpTo10 : AgeGroup::From11;
        (other == AgeGroup::From11 ? s.window->From11 : s.window->UpTo10)->click();
        expectSameCrop(framing.crop(), passport::frameHead(found, other), "other age group");
        EXPECT_TRUE(s.dialogs.messages.isEmpty());
    }
}

enum class Model { Shared, Missing };

TEST(CounterWindow, WithoutASingleFaceSaysSoInTheWindowAndTheUserFramesByHand) {
    QImage grey(900, 1200, QImage::Format_RGB32);
    grey.fill(QColor(128, 128, 128));
    struct Case {
        const char* what;
        QImage photo;
        Model model;
        bool detectionOff;
        Finding finding;
        QStringList said;  // what the window's status line says
    };
    const QImage face = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"));
    const Case cases[] = {
        {"an even grey photo", grey, Model::Shared, false, Finding::NoFace, {"No face found"}},
        {"two faces",
         facePhoto(QStringLiteral("two-faces.jpg")),
         Model::Shared,
         false,
         Finding::SeveralFaces,
         {"2 faces found"}},
        {"no model file",
         face,
         Model::Missing,
         false,
         Finding::ModelMissing,
         {QString::fromLatin1(kMissingModelPath), "libdlib-data"}},
        {"detection off", face, Model::Shared, true, Finding::OneFace, {"Detection off"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<FaceModelSource> missing = missingModelSource();
        FaceModelSource& faces = c.model == Model::Missing ? *missing : FaceModelSource::shared();
        CounterSession s;
        s.open(c.photo, AgeGroup::From11, faces);
        ASSERT_TRUE(s.settle());
        if (c.detectionOff) s.window->DetectionOff->click();
        const counter::CounterFraming& framing = s.window->framing();
        EXPECT_EQ(framing.finding(), c.finding);
        for (const QString& said : c.said) {
            EXPECT_TRUE(s.window->StatusLabel->text().contains(said))
                << s.window->StatusLabel->text().toStdString();
        }
        // Said in the window, not in a message box.
        EXPECT_TRUE(s.dialogs.messages.isEmpty());
        if (!c.detectionOff) {
            expectSameCrop(framing.crop(), passport::centredCrop(c.photo.width(), c.photo.height()),
                           "centred start");
        }
        ASSERT_TRUE(framing.markersMovable());

        // The markers follow the mouse; the head height follows the markers.
        const counter::ScreenMap map = framing.screenMap();
        const passport::HeadMarks before = framing.marks();
        const double chinY = map.toScreen(before.chin).y;
        const double crownY = map.toScreen(before.crown).y;
        dragOnView(*s.window, {60, chinY}, {60, chinY + 30});
        dragOnView(*s.window, {60, crownY}, {60, crownY - 20});
        EXPECT_NEAR(framing.marks().chin.y, before.chin.y + 30 / map.scale(), 1e-6);
        EXPECT_NEAR(framing.marks().crown.y, before.crown.y - 20 / map.scale(), 1e-6);
        EXPECT_EQ(framing.crop(), map.crop) << "the markers moved, not the photo";
        const double headMm = passport::measure(framing.marks(), framing.crop()).headHeightMm;
        EXPECT_EQ(s.window->CheckList->topLevelItem(1)->text(2),
                  QStringLiteral("%1 mm").arg(headMm, 0, 'f', 1));
        // Reframe frames the photo by the markers as placed.
        s.window->Reframe->click();
        expectSameCrop(framing.crop(), passport::frameHead(framing.marks(), AgeGroup::From11),
                       "reframed");
    }
}

TEST(CounterWindow, DragWheelAndSliderMoveAndScaleTheCrop) {
    struct Case {
        const char* what;
        std::function<void(CounterWindow&)> gesture;
        std::function<Crop(const counter::CounterFraming&)> expected;  // from the framing before
    };
    const Case cases[] = {
        {"a drag moves the photo with the mouse",
         [](CounterWindow& w) {
             dragOnView(w, {175, 420}, {215, 395});
         },
         [](const counter::CounterFraming& f) {
             const double s = f.screenMap().scale();
             return passport::moveCrop(f.crop(), -40 / s, 25 / s);
         }},
        {"the wheel turned up enlarges the head about the pointer",
         [](CounterWindow& w) {
             wheelOnView(w, {100, 200}, 120);
         },
         [](const counter::CounterFraming& f) {
             return passport::scaleCrop(f.crop(), 1 / counter::kWheelStep,
                                        f.screenMap().toPhoto({100, 200}));
         }},
        {"the wheel turned down two notches takes in more",
         [](CounterWindow& w) {
             wheelOnView(w, {300, 50}, -240);
         },
         [](const counter::CounterFraming& f) {
             return passport::scaleCrop(f.crop(), counter::kWheelStep * counter::kWheelStep,
                                        f.screenMap().toPhoto({300, 50}));
         }},
        {"the slider sets the head height", [](CounterWindow& w) { w.HeadSize->setValue(260); },
         [](const counter::CounterFraming& f) {
             return passport::cropForHeadHeight(f.crop(), f.marks(), 26.0);
         }},
    };
    const std::unique_ptr<FaceModelSource> missing = missingModelSource();
    CounterSession s;
    s.open(facePhoto(QStringLiteral("plain-white-bald.jpg")), AgeGroup::From11, *missing);
    ASSERT_TRUE(s.settle());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Crop expected = c.expected(s.window->framing());
        const QImage before = s.window->View->preview();
        c.gesture(*s.window);
        expectSameCrop(s.window->framing().crop(), expected, c.what);
        EXPECT_NE(s.window->View->preview(), before) << "the screen follows at once";
        const double headMm =
            passport::measure(s.window->framing().marks(), s.window->framing().crop()).headHeightMm;
        EXPECT_EQ(s.window->HeadSize->value(), std::lround(headMm * 10));
    }
}

TEST(CounterWindow, ClosingWhileTheModelLoadsOrTheFaceIsSoughtIsSafe) {
    const QImage face = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"));
    loadedModel();
    const std::shared_ptr<const passport::FaceModel> model = FaceModelSource::shared().model();
    // A load that ends when the test says so.
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    FaceModelSource held([released, model](std::string*) {
        released.wait();
        return model;
    });
    {
        CounterSession s;
        s.open(face, AgeGroup::From11, held);
        EXPECT_EQ(held.state(), FaceModelSource::State::Loading);
        EXPECT_TRUE(
            s.window->StatusLabel->text().contains(QStringLiteral("Loading the face model")));
        s.window->CloseButton->click();
        EXPECT_FALSE(s.window->isVisible());
    }
    release.set_value();
    ASSERT_TRUE(waitFor([&] { return held.state() == FaceModelSource::State::Ready; }));
    {
        // The model stays for the next opening, which looks for the face at once.
        CounterSession s;
        s.open(face, AgeGroup::From11, held);
        EXPECT_TRUE(s.window->StatusLabel->text().contains(QStringLiteral("Looking for the face")));
        ASSERT_TRUE(s.settle());
        EXPECT_EQ(s.window->framing().finding(), Finding::OneFace);
    }
    {
        // Closed while the search runs on a large photo: its outcome finds no window.
        CounterSession s;
        s.open(face.scaled(face.size() * 6, Qt::KeepAspectRatio, Qt::SmoothTransformation),
               AgeGroup::From11, FaceModelSource::shared());
        EXPECT_FALSE(s.window->settled());
        s.window->reject();
    }
    counterWorkers()->waitForDone();
    QCoreApplication::processEvents();
}

}  // namespace
