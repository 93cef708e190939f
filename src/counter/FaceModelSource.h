#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QFutureWatcher>
#include <QObject>
#include <QString>

namespace passport {
class FaceModel;
}

// The face model (dlib's detector and 68-point predictor, some 100 MB read in about 0.85 s),
// loaded once per run on a worker thread and kept for every later opening of the window.
//
// Threads: start() returns at once; the load runs on Qt's global thread pool, and finished()
// is emitted on the window thread once it ended. The worker touches nothing but its own copy
// of the loader, so a source, or a window that waits on it, may go at any time; the program's
// end waits for a running load (the application object waits for its thread pool).
class FaceModelSource : public QObject {
    Q_OBJECT
  public:
    // Loads the model and returns it, or null with a sentence for the user in `problem`.
    // Runs on a worker thread.
    using Loader = std::function<std::shared_ptr<const passport::FaceModel>(std::string* problem)>;

    enum class State { NotStarted, Loading, Ready, Failed };

    explicit FaceModelSource(Loader loader, QObject* parent = nullptr);
    ~FaceModelSource() override;

    // Loads the model file at `path` (passport::FaceModel::load).
    static Loader fileLoader(const std::string& path);
    // The program's source: dlib's model where Debian's libdlib-data puts it, or the file
    // PORTRIK_FACE_MODEL names. Made on first use, owned by the application object.
    static FaceModelSource& shared();

    State state() const { return state_; }
    // Starts the load unless it runs or has succeeded; a failed load is tried again (the
    // user may have installed the model meanwhile).
    void start();
    // The model once Ready, else null.
    std::shared_ptr<const passport::FaceModel> model() const { return model_; }
    // Why the last load failed, for the user.
    QString problem() const { return problem_; }

  signals:
    void finished();

  private:
    struct Outcome {
        std::shared_ptr<const passport::FaceModel> model;
        std::string problem;
    };
    void takeOutcome();

    Loader loader_;
    State state_ = State::NotStarted;
    std::shared_ptr<const passport::FaceModel> model_;
    QString problem_;
    QFutureWatcher<Outcome> watcher_;
};
