#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QEvent>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/widgets/AppCursor.h"
#include "platform/widgets/EventPump.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/QtDialogs.h"
#include "platform/widgets/ScrollBar.h"

namespace {

// Counts the events it receives.
class Counter : public QObject {
public:
    int seen = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++seen;
            return true;
        }
        return QObject::event(e);
    }
};

}  // namespace

TEST(PauseSeconds, ZeroOrLessReturnsWithoutHandlingEvents) {
    Counter counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    pauseSeconds(0);
    pauseSeconds(-1);
    EXPECT_EQ(counter.seen, 0);
    processPendingEvents();
    EXPECT_EQ(counter.seen, 1);
}

TEST(PauseSeconds, WaitsTheTimeWhileHandlingEvents) {
    Counter counter;
    QTimer::singleShot(10, &counter, [&counter] {
        QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    });
    const double start = monotonicSeconds();
    pauseSeconds(0.1);
    const double waited = monotonicSeconds() - start;
    EXPECT_GE(waited, 0.1);
    EXPECT_EQ(counter.seen, 1);
}

TEST(AppCursor, OneSettingNotAStack) {
    AppCursor::setBusy();
    AppCursor::setBusy();
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Busy);
    AppCursor::setArrow();
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        AppCursor::BusyScope busy;
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ScrollBar, ForwardRangeBehavesLikeAnyScrollBar) {
    ScrollBar bar(Qt::Horizontal);
    int changes = 0;
    QObject::connect(&bar, &ScrollBar::changed, [&changes] { ++changes; });
    bar.setMax(110);
    EXPECT_EQ(changes, 0);
    bar.bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar.bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.value(), 2);
    EXPECT_EQ(changes, 2);
    bar.setMax(1);  // the value follows the shrinking range
    EXPECT_EQ(bar.value(), 1);
    EXPECT_EQ(changes, 3);
    bar.setValue(1);  // no change, no event
    EXPECT_EQ(changes, 3);
}

TEST(ScrollBar, BackwardRangeRunsFromTheMinimumDownToTheMaximum) {
    ScrollBar bar(Qt::Horizontal);
    bar.setMin(0);
    bar.setMax(-49);
    EXPECT_EQ(bar.value(), 0);
    // The thumb starts at the left; the right arrow moves towards the maximum.
    EXPECT_EQ(bar.bar()->value(), bar.bar()->minimum());
    bar.bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar.value(), -1);
    bar.bar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar.value(), -49);
    bar.bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(bar.value(), -48);
    // Turning the range forward again keeps the value inside it.
    bar.setMax(30);
    EXPECT_EQ(bar.value(), 0);
    bar.setValue(30);
    EXPECT_EQ(bar.value(), 30);
}

TEST(ScrollBar, DraggedThumbRaisesChangeOnlyWhenReleased) {
    ScrollBar bar(Qt::Vertical);
    bar.setMax(100);
    int changes = 0;
    QObject::connect(&bar, &ScrollBar::changed, [&changes] { ++changes; });
    bar.bar()->setSliderDown(true);
    bar.bar()->setSliderPosition(40);
    bar.bar()->setSliderPosition(60);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(bar.value(), 0);
    bar.bar()->setSliderDown(false);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar.value(), 60);
}

TEST(QtDialogs, FilterMatchesTheExtensionsInAnyCase) {
    const FileFilter filter{"Foto ( Jpg, Bmp, Gif )", {"*.jpg", "*.jpeg", "*.bmp", "*.gif"}};
    const QString text = QtDialogs::nameFilter(filter);
    EXPECT_TRUE(text.startsWith("Foto ( Jpg, Bmp, Gif ) ("));
    const QString patterns = text.mid(text.lastIndexOf('(') + 1).chopped(1);
    auto matches = [&patterns](const QString& name) {
        for (const QString& p : patterns.split(' ')) {
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(p))
                    .match(name)
                    .hasMatch()) {
                return true;
            }
        }
        return false;
    };
    for (const char* name : {"IMG_0001.JPG", "photo.Jpeg", "scan.BMP", "anim.gif", "a.jpg"}) {
        EXPECT_TRUE(matches(name)) << name;
    }
    for (const char* name : {"notes.txt", "photo.png", "jpg"}) EXPECT_FALSE(matches(name)) << name;
}

TEST(Fonts, DesignSizesAreExactPixelSizesAndTheFamiliesResolve) {
    EXPECT_EQ(designFont("Comic Sans MS", 26.25, true).pixelSize(), 35);
    EXPECT_EQ(designFont("Comic Sans MS", 14.25, true).pixelSize(), 19);
    EXPECT_EQ(designFont("Arial", 12, false).pixelSize(), 16);
    // The set-up installs similar free fonts; fontconfig maps the names to them.
    EXPECT_EQ(QFontInfo(designFont("Comic Sans MS", 12, true)).family(), "Comic Neue");
    EXPECT_EQ(QFontInfo(designFont("Arial", 10, true)).family(), "Liberation Sans");
}

TEST(PictureSurface, KeepsWhatIsDrawnAndClearsToItsBackground) {
    PictureSurface surface(QSize(20, 10));
    surface.setBackColor(QColor(1, 2, 3));
    EXPECT_EQ(surface.image().pixel(19, 9), qRgb(1, 2, 3));
    surface.drawLine({0, 4}, {19, 4}, QColor(200, 0, 0));
    EXPECT_EQ(surface.image().pixel(10, 4), qRgb(200, 0, 0));
    // What is drawn stays: a repaint shows it and leaves it in the image.
    surface.refresh();
    EXPECT_EQ(surface.image().pixel(10, 4), qRgb(200, 0, 0));
    EXPECT_EQ(surface.grab().toImage().pixel(10, 4), qRgb(200, 0, 0));
    surface.clear();
    EXPECT_EQ(surface.image().pixel(10, 4), qRgb(1, 2, 3));
    EXPECT_EQ(surface.image().size(), QSize(20, 10));
}

namespace {

// Runs `step` on the dialog that is open once the event loop next turns.
template <typename Step>
void whenModal(Step step) {
    QTimer::singleShot(0, [step] { step(QApplication::activeModalWidget()); });
}

}  // namespace

TEST(QtDialogsSave, ReturnsTheNameExactlyAsTypedWithoutAnExtension) {
    QTemporaryDir dir;
    QWidget parent;
    QtDialogs dialogs(&parent);
    whenModal([&dir](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(dir.path());
        dialog->selectFile(QStringLiteral("foto"));
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    const QString path = dialogs.saveFile({"Bitmap (*.bmp)", {"*.bmp"}});
    EXPECT_EQ(QFileInfo(path).fileName(), "foto");
}

TEST(QtDialogsSave, AsksBeforeReplacingAnExistingFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("foto.jpg"));
    QFile(existing).open(QIODevice::WriteOnly);
    QWidget parent;
    QtDialogs dialogs(&parent);
    QString question;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        // The question comes up inside accept(); answer No, then leave the dialog.
        whenModal([&question, dialog](QWidget* box) {
            if (auto* message = qobject_cast<QMessageBox*>(box)) {
                question = message->text();
                message->button(QMessageBox::No)->click();
            }
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        dialog->selectFile(existing);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    EXPECT_TRUE(dialogs.saveFile({"Jpg format (*.jpg)", {"*.jpg"}}).isEmpty());
    EXPECT_TRUE(question.contains("foto.jpg")) << question.toStdString();
}
