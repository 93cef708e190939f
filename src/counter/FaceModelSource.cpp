#include "counter/FaceModelSource.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include "counter/Workers.h"
#include "passport/FaceFinder.h"

FaceModelSource::FaceModelSource(Loader loader, QObject* parent)
    : QObject(parent), loader_(std::move(loader)) {
    // The watcher lives in this object's thread: the outcome arrives as a queued event there.
    connect(&watcher_, &QFutureWatcherBase::finished, this, &FaceModelSource::takeOutcome);
}

FaceModelSource::~FaceModelSource() = default;

FaceModelSource::Loader FaceModelSource::fileLoader(const std::string& path) {
    return [path](std::string* problem) -> std::shared_ptr<const passport::FaceModel> {
        return passport::FaceModel::load(path, problem);
    };
}

FaceModelSource& FaceModelSource::shared() {
    static QPointer<FaceModelSource> source;
    if (!source) {
        source = new FaceModelSource(fileLoader(passport::faceModelPath()),
                                     QCoreApplication::instance());
    }
    return *source;
}

void FaceModelSource::start() {
    if (state_ == State::Loading || state_ == State::Ready) return;
    state_ = State::Loading;
    // The worker gets its own copy of the loader and nothing of this object.
    watcher_.setFuture(QtConcurrent::run(counterWorkers(), [loader = loader_] {
        Outcome outcome;
        try {
            outcome.model = loader(&outcome.problem);
        } catch (...) {
            outcome.model.reset();
        }
        if (!outcome.model && outcome.problem.empty()) {
            outcome.problem = "The face model could not be loaded.";
        }
        return outcome;
    }));
}

void FaceModelSource::takeOutcome() {
    const Outcome outcome = watcher_.result();
    model_ = outcome.model;
    problem_ = QString::fromStdString(outcome.problem);
    state_ = model_ ? State::Ready : State::Failed;
    emit finished();
}
