// The counter-photo window on real faces: it frames a face as framing does, without holding
// up the event loop while the model loads; without a single face (or without the model, or
// with detection off) it says so in the window and the user frames by hand; the mouse, the
// wheel and the slider move and scale the crop; closing it while its workers run is safe.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <future>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include "counter/BusyBar.h"

#include <gtest/gtest.h>

#include "CounterTestSupport.h"
#include "counter/CheckRows.h"
#include "counter/CounterView.h"
#include "counter/Workers.h"
#include "passport/Framing.h"
#include "platform/files/PhotoPixels.h"

namespace {

using counter::Finding;
using passport::AgeGroup;
using passport::Crop;

void expectSameCrop(const Crop& actual, const Crop& expected, const char* what) {
    // Within a millionth of a photo pixel: the same sums, perhaps in another order.
    EXPECT_NEAR(actual.x, expected.x, 1e-6) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-6) << what;
    EXPECT_NEAR(actual.width, expected.width, 1e-6) << what;
    EXPECT_NEAR(actual.angleDegrees, expected.angleDegrees, 1e-6) << what;
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
        const passport::FaceSearch search = loadedModel().find(constPixelsOf(photo));
        ASSERT_EQ(search.count(), passport::FaceCount::One);
        const passport::HeadMarks& found = search.faces[0].marks;
        EXPECT_EQ(framing.marks().crown, found.crown);
        EXPECT_EQ(framing.marks().chin, found.chin);
        EXPECT_EQ(framing.marks().leftEye, found.leftEye);
        // Level the eyes is on from the start: a tilted face gets a turned crop.
        EXPECT_EQ(framing.levelling(), passport::Levelling::On);
        expectSameCrop(framing.crop(), passport::frameHead(found, c.group, passport::Levelling::On),
                       "framed");
        EXPECT_FALSE(framing.markersMovable());
        EXPECT_TRUE(s.window->Busy->isHidden());
        EXPECT_TRUE(s.window->StatusLabel->text().startsWith(QStringLiteral("Face found")));
        EXPECT_FALSE(s.window->View->preview().isNull());
        EXPECT_EQ(s.window->From11->isChecked(), c.group == AgeGroup::From11);

        // The other age group frames the same head to its own band.
        const AgeGroup other = c.group == AgeGroup::From11 ? AgeGroup::UpTo10 : AgeGroup::From11;
        (other == AgeGroup::From11 ? s.window->From11 : s.window->UpTo10)->click();
        expectSameCrop(framing.crop(), passport::frameHead(found, other, passport::Levelling::On),
                       "other age group");
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
        if (c.detectionOff) {
            // Framing by hand leaves nothing the detector found behind, and claims no face.
            EXPECT_EQ(framing.landmarks(), nullptr);
            EXPECT_FALSE(framing.marks().leftEye || framing.marks().rightJaw);
            const QTreeWidgetItem* oneFace = checkRowNamed(
                *s.window,
                QString::fromStdString(passport::criterionName(passport::Criterion::OneFace)));
            ASSERT_NE(oneFace, nullptr);
            EXPECT_EQ(oneFace->text(1), QStringLiteral("cannot tell"));
            EXPECT_EQ(oneFace->text(2), QStringLiteral("detection off"));
        }
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
        // On the screen, that is: a levelled crop is turned in the photo.
        EXPECT_NEAR(map.toScreen(framing.marks().chin).y, chinY + 30, 1e-6);
        EXPECT_NEAR(map.toScreen(framing.marks().crown).y, crownY - 20, 1e-6);
        EXPECT_EQ(framing.crop(), map.crop) << "the markers moved, not the photo";
        const double headMm = passport::measure(framing.marks(), framing.crop()).headHeightMm;
        const QTreeWidgetItem* headRow = checkRowNamed(
            *s.window,
            QString::fromStdString(passport::criterionName(passport::Criterion::HeadHeight)));
        ASSERT_NE(headRow, nullptr);
        EXPECT_EQ(headRow->text(2), QStringLiteral("%1 mm").arg(headMm, 0, 'f', 1));
        // Reframe frames the photo by the markers as placed.
        s.window->Reframe->click();
        expectSameCrop(framing.crop(),
                       passport::frameHead(framing.marks(), AgeGroup::From11, framing.levelling()),
                       "reframed");
    }
}

// What the user sees, not how the crop is computed: the photo point under the pointer stays
// under it through every step of a drag and a wheel turn; a wheel notch up makes the head
// kWheelStep times taller; the slider's value is the head's height. However many steps a
// drag takes in before the next frame, the check runs once, on the last framing.
TEST(CounterWindow, DragWheelAndSliderKeepThePhotoUnderThePointer) {
    const std::unique_ptr<FaceModelSource> missing = missingModelSource();
    CounterSession s;
    const QImage photo = facePhoto(QStringLiteral("plain-white-bald.jpg"));
    s.open(photo, AgeGroup::From11, *missing);
    ASSERT_TRUE(s.settle());
    CounterWindow& w = *s.window;
    const counter::CounterFraming& framing = w.framing();
    int checks = 0;
    QObject::connect(&w, &CounterWindow::checked, [&checks] { ++checks; });
    const auto headMm = [&] { return passport::measure(framing.marks(), framing.crop()).headHeightMm; };
    const auto photoUnder = [&](QPointF at) { return framing.screenMap().toPhoto({at.x(), at.y()}); };
    const auto expectUnder = [&](passport::Point photo, QPointF at, const char* what) {
        const counter::ScreenPoint seen = framing.screenMap().toScreen(photo);
        EXPECT_NEAR(seen.x, at.x(), 1e-6) << what;
        EXPECT_NEAR(seen.y, at.y(), 1e-6) << what;
    };

    // The photo fills the frame at first; dragged, the frame reaches beyond its edge.
    const QString warned = w.WarningLabel->text();
    EXPECT_FALSE(warned.contains(QStringLiteral("beyond"))) << warned.toStdString();

    // A drag in ten steps, with no frame drawn in between.
    const QPointF from(175, 420);
    const passport::Point held = photoUnder(from);
    const QImage before = w.View->preview();
    sendToView(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    checks = 0;
    for (int step = 1; step <= 10; ++step) {
        const QPointF at = from + QPointF(4 * step, -2.5 * step);
        sendToView(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        expectUnder(held, at, "while dragging");
    }
    sendToView(w, QEvent::MouseButtonRelease, from + QPointF(40, -25), Qt::LeftButton, Qt::NoButton);
    EXPECT_NE(w.View->preview(), before) << "the screen follows at once";
    EXPECT_EQ(checks, 0) << "the check waits for the frame";
    QCoreApplication::processEvents();
    EXPECT_EQ(checks, 1) << "ten steps, one check";
    for (const counter::CheckRow& row : counter::checkRows({constPixelsOf(photo), framing})) {
        const QTreeWidgetItem* shown = checkRowNamed(w, QString::fromStdString(row.criterion));
        ASSERT_NE(shown, nullptr) << row.criterion;
        EXPECT_EQ(shown->text(2).toStdString(), row.measured) << "the check of the last step";
    }
    EXPECT_TRUE(w.WarningLabel->isVisible());
    EXPECT_TRUE(w.WarningLabel->text().contains(QStringLiteral(
        "The frame reaches beyond the photo: white is filled in (hatched), and the photo is "
        "not whole.")))
        << w.WarningLabel->text().toStdString();
    dragOnView(w, from + QPointF(40, -25), from);
    EXPECT_EQ(w.WarningLabel->text(), warned) << "dragged back, the warning goes";

    struct Wheel {
        QPointF at;
        int eighths;
        double headFactor;
    };
    for (const Wheel& wheel : {Wheel{{100, 200}, 120, counter::kWheelStep},
                               Wheel{{300, 50}, -240, 1 / (counter::kWheelStep * counter::kWheelStep)}}) {
        SCOPED_TRACE(wheel.eighths);
        const passport::Point under = photoUnder(wheel.at);
        const double head = headMm();
        wheelOnView(w, wheel.at, wheel.eighths);
        expectUnder(under, wheel.at, "under the wheel");
        EXPECT_NEAR(headMm(), head * wheel.headFactor, 1e-9);
        EXPECT_EQ(w.HeadSize->value(), std::lround(headMm() * 10));
    }

    w.HeadSize->setValue(260);
    EXPECT_NEAR(headMm(), 26.0, 1e-9);
}

// A model that could not be loaded is tried again when the window opens next: the user may
// have installed it meanwhile.
TEST(CounterWindow, TriesTheModelAgainAfterAFailedLoad) {
    const QImage face = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"));
    loadedModel();
    const std::shared_ptr<const passport::FaceModel> model = FaceModelSource::shared().model();
    std::atomic<int> loads{0};
    FaceModelSource flaky(
        [&loads, model](std::string* problem) -> std::shared_ptr<const passport::FaceModel> {
            if (loads++ == 0) {
                *problem = "The face model is not installed yet.";
                return nullptr;
            }
            return model;
        });
    {
        CounterSession s;
        s.open(face, AgeGroup::From11, flaky);
        ASSERT_TRUE(s.settle());
        EXPECT_EQ(s.window->framing().finding(), Finding::ModelMissing);
        EXPECT_TRUE(s.window->StatusLabel->text().contains(
            QStringLiteral("The face model is not installed yet.")));
    }
    CounterSession s;
    s.open(face, AgeGroup::From11, flaky);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s.window->framing().finding(), Finding::OneFace);
    EXPECT_EQ(loads.load(), 2);
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

// The check list shows every cell's whole text in the list's width: no sideways scroll bar,
// and each text, wrapped where it must be, inside its cell.
void expectReadable(const QTreeWidget& list) {
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const QFontMetrics metrics(list.font());
    const QAbstractItemModel* model = list.model();
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex heading = model->index(g, 0);
        for (int r = 0; r < model->rowCount(heading); ++r) {
            for (int c = 0; c < model->columnCount(heading); ++c) {
                const QModelIndex cell = model->index(r, c, heading);
                const QString text = cell.data().toString();
                const QRect rect = list.visualRect(cell);
                const int width = rect.width() - 2 * margin;
                const QRect needed =
                    metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text);
                const int lines =
                    (needed.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing();
                EXPECT_LE(needed.width(), width) << text.toStdString();
                EXPECT_GE(rect.height(), lines * metrics.height()) << text.toStdString();
            }
        }
    }
}

TEST(CounterWindow, ShowsTheChecksByGroupWithAdviceReadableAt1024By768) {
    struct Case {
        const char* what;
        std::function<void(CounterWindow&)> act;
        QString advised;  // a criterion whose advice must show; empty: whatever fails
    };
    const QString headHeight =
        QString::fromStdString(passport::criterionName(passport::Criterion::HeadHeight));
    const Case cases[] = {
        {"as framed", [](CounterWindow&) {}, {}},
        {"the head too small and the photo off its edge",
         [](CounterWindow& w) {
             w.HeadSize->setValue(200);
             dragOnView(w, {100, 100}, {300, 300});
         },
         headHeight},
    };
    const QImage photo = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"));
    CounterSession s;
    s.open(photo, AgeGroup::From11, FaceModelSource::shared());
    ASSERT_TRUE(s.settle());
    const QSize size(1024, 768);
    s.window->resize(size);
    ASSERT_TRUE(waitFor([&] { return s.window->size() == size; }));
    QCoreApplication::processEvents();
    const QTreeWidget& list = *s.window->CheckList;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act(*s.window);
        const std::vector<counter::CheckRow> rows =
            counter::checkRows({constPixelsOf(photo), s.window->framing()});
        ASSERT_EQ(rows.size(), std::size_t(passport::kCriterionCount));
        QStringList advice;
        int shown = 0;
        ASSERT_EQ(list.topLevelItemCount(), 2);
        const passport::CriterionGroup groups[] = {passport::CriterionGroup::Photo,
                                                   passport::CriterionGroup::Person};
        for (int g = 0; g < 2; ++g) {
            const QTreeWidgetItem* heading = list.topLevelItem(g);
            EXPECT_EQ(heading->text(0).toStdString(), passport::groupName(groups[g]));
            EXPECT_TRUE(heading->isExpanded());
            int child = 0;
            for (const counter::CheckRow& row : rows) {
                if (row.group != groups[g]) continue;
                ASSERT_LT(child, heading->childCount());
                const QTreeWidgetItem* item = heading->child(child++);
                EXPECT_EQ(item->text(0).toStdString(), row.criterion);
                EXPECT_EQ(item->text(1).toStdString(), passport::verdictText(row.verdict));
                EXPECT_EQ(item->text(2).toStdString(), row.measured);
                EXPECT_EQ(item->text(3).toStdString(), row.limit);
                const bool fails = row.verdict == counter::Verdict::Fail && !row.advice.empty();
                for (int column = 0; column < 4; ++column) {
                    EXPECT_EQ(item->toolTip(column),
                              fails ? QString::fromStdString(row.advice) : item->text(column))
                        << row.criterion << " column " << column;
                }
                if (fails) advice << QString::fromStdString(row.criterion + ": " + row.advice);
            }
            EXPECT_EQ(heading->childCount(), child);
            shown += child;
        }
        EXPECT_EQ(shown, passport::kCriterionCount);
        EXPECT_EQ(s.window->AdviceLabel->text(), advice.join('\n'));
        EXPECT_EQ(s.window->AdviceLabel->isVisible(), !advice.isEmpty());
        if (!c.advised.isEmpty()) {
            EXPECT_TRUE(s.window->AdviceLabel->text().contains(c.advised + QStringLiteral(": ")))
                << s.window->AdviceLabel->text().toStdString();
        }
        expectReadable(list);
    }
}

// The photo turned about its middle, as a head tilted towards its left shoulder.
QImage tilted(const QImage& photo, double degrees) {
    QImage out(photo.size(), QImage::Format_RGB32);
    out.fill(photo.pixel(2, 2));
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(photo.width() / 2.0, photo.height() / 2.0);
    painter.rotate(degrees);
    painter.translate(-photo.width() / 2.0, -photo.height() / 2.0);
    painter.drawImage(0, 0, photo);
    return out;
}

TEST(CounterWindow, LevelTheEyesTurnsTheFrameWithATiltedHead) {
    // The face of plain-grey-short-hair.jpg is tilted some 7.6 degrees; turned further by
    // `turn`, by 6 degrees it is tilted more than levelling turns.
    struct Case {
        const char* what;
        double turn;
        bool switchOff;
        const char* note;  // how the status line's note starts
    };
    const Case cases[] = {{"on from the start", -3, false, "levelled: "},
                          {"switched off", -3, true, ""},
                          {"tilted too far", 6, false, "not levelled: "}};
    const QImage face = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CounterSession s;
        s.open(tilted(face, c.turn), AgeGroup::From11, FaceModelSource::shared());
        ASSERT_TRUE(s.settle());
        ASSERT_EQ(s.window->framing().finding(), Finding::OneFace);
        EXPECT_EQ(s.window->LevelEyes->text(), QStringLiteral("Level the eyes"));
        EXPECT_EQ(s.window->LevelEyes->toolTip(),
                  QStringLiteral(" Turn the frame so that the eyes lie level (tilts up to 10 "
                                 "degrees) "));
        EXPECT_TRUE(s.window->LevelEyes->isChecked());
        if (c.switchOff) s.window->LevelEyes->click();
        const passport::Levelling levelling =
            c.switchOff ? passport::Levelling::Off : passport::Levelling::On;
        const counter::CounterFraming& framing = s.window->framing();
        EXPECT_EQ(framing.levelling(), levelling);
        expectSameCrop(framing.crop(),
                       passport::frameHead(framing.marks(), AgeGroup::From11, levelling), c.what);
        const bool turned = c.turn < 0 && !c.switchOff;
        EXPECT_EQ(framing.crop().angleDegrees != 0, turned);
        const QString note = QString::fromStdString(framing.levellingNote());
        EXPECT_TRUE(note.startsWith(QString::fromLatin1(c.note))) << note.toStdString();
        EXPECT_TRUE(s.window->StatusLabel->text().contains(note))
            << s.window->StatusLabel->text().toStdString();
    }
}

TEST(CounterWindow, SaysNothingAboutTheFramingUntilTheFaceIsLookedFor) {
    // Too few pixels for 400 dpi however it is framed: the warning and the advice come, but
    // only once the search has an outcome.
    const QImage small = facePhoto(QStringLiteral("plain-grey-short-hair.jpg"))
                             .scaledToWidth(240, Qt::SmoothTransformation);
    loadedModel();
    const std::shared_ptr<const passport::FaceModel> model = FaceModelSource::shared().model();
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    FaceModelSource held([released, model](std::string*) {
        released.wait();
        return model;
    });
    struct Case {
        const char* what;
        FaceModelSource& faces;
    };
    const Case cases[] = {{"while the model loads", held},
                          {"while the face is looked for", FaceModelSource::shared()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CounterSession s;
        s.open(small, AgeGroup::From11, c.faces);
        // An expectation, not an assertion: the held load must be released whatever happens.
        EXPECT_EQ(s.window->framing().finding(), Finding::Waiting);
        EXPECT_TRUE(s.window->WarningLabel->isHidden())
            << s.window->WarningLabel->text().toStdString();
        EXPECT_TRUE(s.window->AdviceLabel->isHidden())
            << s.window->AdviceLabel->text().toStdString();
        // No verdict at all on a frame that is only a start.
        int rows = 0;
        for (int group = 0; group < s.window->CheckList->topLevelItemCount(); ++group) {
            const QTreeWidgetItem* heading = s.window->CheckList->topLevelItem(group);
            for (int i = 0; i < heading->childCount(); ++i, ++rows) {
                EXPECT_EQ(heading->child(i)->text(1), QStringLiteral("cannot tell"))
                    << heading->child(i)->text(0).toStdString();
            }
        }
        EXPECT_EQ(rows, passport::kCriterionCount);
        if (&c.faces == &held) release.set_value();
        ASSERT_TRUE(s.settle());
        EXPECT_TRUE(s.window->WarningLabel->isVisible());
        EXPECT_TRUE(s.window->WarningLabel->text().startsWith(QStringLiteral("Only ")))
            << s.window->WarningLabel->text().toStdString();
        EXPECT_TRUE(s.window->AdviceLabel->isVisible());
    }
    counterWorkers()->waitForDone();
}

}  // namespace
