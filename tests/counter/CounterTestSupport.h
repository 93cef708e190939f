#pragma once

// The counter-photo window opened headless on a photo, with scripted dialogs and the face
// model of the whole test program.

#include <functional>
#include <memory>

#include <QEvent>
#include <QImage>
#include <QPointF>
#include <QString>

class QTreeWidgetItem;

#include "ScriptedDialogs.h"
#include "counter/CounterWindow.h"
#include "counter/FaceModelSource.h"

// tests/data/faces/<name>, decoded as File / Load Photo decodes it.
QString facePath(const QString& name);
QImage facePhoto(const QString& name);
// tests/data/photos/<name>: the photos in the formats phones and cameras write.
QString photoPath(const QString& name);

// The model of the run (FaceModelSource::shared()), loaded once for the whole program.
const passport::FaceModel& loadedModel();

// A source whose model file does not exist, and the path it names.
extern const char kMissingModelPath[];
std::unique_ptr<FaceModelSource> missingModelSource();

// Waits, letting events run, until `done` holds (at most two minutes; the sanitizer build is
// slow). Returns done().
bool waitFor(const std::function<bool()>& done);

struct CounterSession {
    ScriptedDialogs dialogs;
    std::unique_ptr<CounterWindow> window;

    // Opens the window on `photo` (named `fileName`) and shows it.
    void open(const QImage& photo, passport::AgeGroup group, FaceModelSource& faces,
              const QString& fileName = QStringLiteral("/photos/anna.jpg"),
              const PrinterChoice& printer = {});
    // Waits until the photo is on screen and the search came to an outcome.
    bool settle();
};

// The check list's row of `criterion`, under its group's heading; null when there is none.
QTreeWidgetItem* checkRowNamed(const CounterWindow& window, const QString& criterion);

// Mouse gestures on the framed photo, at screen pixels of the view. Each ends with the events
// it brought handled, as the user sees it.
void dragOnView(CounterWindow& window, QPointF from, QPointF to);
void wheelOnView(CounterWindow& window, QPointF at, int eighthsOfDegree);
// One mouse event on the view, handled before it returns.
void sendToView(CounterWindow& window, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                Qt::MouseButtons buttons);
