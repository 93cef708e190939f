#pragma once

// The steps from a photo file to its framed passport photo and check, shared by the command on
// one photo and the workers of a run of many.

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "passport/Check.h"
#include "passportcli/PassportCommand.h"

namespace passportcli {

// Where a photo's search gets its face model: loaded once, shared, or handed over by a test.
class ModelSource {
  public:
    virtual ~ModelSource() = default;
    // Called once the photo's bytes turned out to be a photo, before decoding: a model loaded
    // now loads while the photo decodes.
    virtual void photoRead() {}
    // The model, waiting for it when it still loads; null with the reason in `problem`.
    virtual const passport::FaceModel* model(std::string& problem) = 0;
};

// A model file loaded on a thread of its own, started by the first photo read and shared by
// everything that asks for it afterwards (from any thread).
class LoadedModel : public ModelSource {
  public:
    explicit LoadedModel(std::string path) : path_(std::move(path)) {}
    // Starts loading now rather than at the first photo read.
    void start();
    void photoRead() override { start(); }
    const passport::FaceModel* model(std::string& problem) override;

  private:
    struct Loaded {
        std::unique_ptr<passport::FaceModel> model;
        std::string problem;
    };
    std::string path_;
    std::once_flag started_;
    std::shared_future<std::shared_ptr<const Loaded>> loading_;
};

class GivenModel : public ModelSource {
  public:
    explicit GivenModel(const passport::FaceModel* model) : model_(model) {}
    const passport::FaceModel* model(std::string&) override { return model_; }

  private:
    const passport::FaceModel* model_;
};

// What became of one photo before its files are made.
enum class PhotoStatus {
    Framed,
    Unreadable,    // no file, not a photo, damaged, transparent, too large
    NoFace,        // no face found, or none in the frame
    SeveralFaces,  // more than one face in the frame
    NoModel,       // the face model could not be loaded
    Stopped,       // the run was interrupted while the photo was worked on
};

struct Examined {
    PhotoStatus status = PhotoStatus::Unreadable;
    // The sentence for the user, without the program's name: "cannot read the photo ...".
    std::string problem;
    Framed framed;  // when Framed
    passport::FaceCount inFrame = passport::FaceCount::None;
};

// Reads and decodes the photo at `path` as the window does, finds its faces and frames the
// largest for `group`. Stops early (PhotoStatus::Stopped) once `stop` holds.
Examined examinePhoto(const std::string& path, passport::AgeGroup group,
                      passport::Levelling levelling, ModelSource& models,
                      const std::atomic<bool>* stop = nullptr);

// The check of the rules on the framed photo, measured through the crop as the window does.
std::vector<passport::CriterionCheck> checkFramed(const Examined& examined);

// The bytes of the photo, the lab sheet and the A4 PDF; an empty array with the reason in
// `problem` when the encoder failed. The PDF is drawn on one thread at a time.
QByteArray photoFileBytes(const Framed& framed, std::string& problem);
QByteArray labSheetBytes(const Framed& framed, std::string& problem);
QByteArray sheetPdfBytes(const Framed& framed, int rows, bool cutLines, std::string& problem);

}  // namespace passportcli
