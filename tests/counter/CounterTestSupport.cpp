#include "CounterTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "counter/CounterView.h"
#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"

const char kMissingModelPath[] = "/nonexistent/dlib/shape_predictor_68_face_landmarks.dat";

QString facePath(const QString& name) {
    return qEnvironmentVariable("PORTRIK_SOURCE_DIR") + QStringLiteral("/tests/data/faces/") + name;
}

QString photoPath(const QString& name) {
    return qEnvironmentVariable("PORTRIK_SOURCE_DIR") + QStringLiteral("/tests/data/photos/") + name;
}

QImage facePhoto(const QString& name) {
    QImage photo = loadPhoto(facePath(name), Qt::white);
    EXPECT_FALSE(photo.isNull()) << name.toStdString();
    return photo;
}

const passport::FaceModel& loadedModel() {
    FaceModelSource& source = FaceModelSource::shared();
    source.start();
    const bool ready =
        waitFor([&source] { return source.state() != FaceModelSource::State::Loading; });
    if (!ready || !source.model()) {
        ADD_FAILURE() << "the face model did not load: " << source.problem().toStdString();
        std::abort();
    }
    return *source.model();
}

std::unique_ptr<FaceModelSource> missingModelSource() {
    return std::make_unique<FaceModelSource>(FaceModelSource::fileLoader(kMissingModelPath));
}

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 120000);
}

void CounterSession::open(const QImage& photo, passport::AgeGroup group, FaceModelSource& faces,
                          const QString& fileName, const PrinterChoice& printer) {
    window = std::make_unique<CounterWindow>(adoptPhoto(photo), fileName, group, dialogs, printer,
                                             faces);
    window->show();
}

bool CounterSession::settle() {
    return waitFor([this] { return window->settled(); });
}

QTreeWidgetItem* checkRowNamed(const CounterWindow& window, const QString& criterion) {
    const QList<QTreeWidgetItem*> found =
        window.CheckList->findItems(criterion, Qt::MatchExactly | Qt::MatchRecursive, 0);
    for (QTreeWidgetItem* item : found) {
        if (item->parent()) return item;
    }
    return nullptr;
}

void sendToView(CounterWindow& window, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                Qt::MouseButtons buttons) {
    QWidget* view = window.View;
    QMouseEvent event(type, pos, view->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

void dragOnView(CounterWindow& window, QPointF from, QPointF to) {
    sendToView(window, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    // Two steps, as a real drag arrives in pieces.
    const QPointF middle = (from + to) / 2;
    sendToView(window, QEvent::MouseMove, middle, Qt::NoButton, Qt::LeftButton);
    sendToView(window, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendToView(window, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

void wheelOnView(CounterWindow& window, QPointF at, int eighthsOfDegree) {
    QWidget* view = window.View;
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, eighthsOfDegree), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
    QCoreApplication::processEvents();
}
