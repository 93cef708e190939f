#include "passportcli/PhotoSteps.h"

#include <mutex>

#include <QFile>

#include "passport/Outputs.h"
#include "platform/files/AnyPhoto.h"
#include "platform/files/PhotoPixels.h"
#include "printing/SheetPdf.h"

namespace passportcli {

namespace {

QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QByteArray bytesOf(const std::vector<unsigned char>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

// The photo file's bytes, refused at once when they cannot be a photo, so that no time goes
// into loading the face model for nothing.
bool readPhoto(const std::string& path, QByteArray& bytes, std::string& problem) {
    QFile file(qtPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString().toStdString();
        return false;
    }
    bytes = file.readAll();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (!bytes.isEmpty() && !isAnyPhoto(data, std::size_t(bytes.size()))) {
        problem = "not a JPEG, HEIC, PNG, WebP, TIFF, BMP or GIF photo";
        return false;
    }
    return true;
}

// A read-only image over the photo's pixels that keeps the photo alive.
QImage imageHolding(std::shared_ptr<const raster::Photo> photo) {
    const raster::ConstPixels& p = photo->pixels();
    auto* kept = new std::shared_ptr<const raster::Photo>(std::move(photo));
    return QImage(
        reinterpret_cast<const uchar*>(p.pixels), p.width, p.height,
        static_cast<qsizetype>(p.stride) * 4, QImage::Format_RGB32,
        [](void* held) { delete static_cast<std::shared_ptr<const raster::Photo>*>(held); }, kept);
}

Framed frame(QImage photo, const passport::FoundFace& face, passport::AgeGroup group,
             passport::Levelling levelling) {
    Framed framed;
    framed.photo = std::move(photo);
    framed.face = face;
    framed.group = group;
    framed.levelling = levelling;
    framed.crop = passport::frameHead(face.marks, group, levelling);
    framed.measures = passport::measure(face.marks, framed.crop);
    framed.print = passport::makePrintPhoto(constPixelsOf(framed.photo), framed.crop);
    return framed;
}

QImage imageOf(const passport::PrintPhoto& print) {
    return QImage(reinterpret_cast<const uchar*>(print.pixels.data()), print.width, print.height,
                  print.width * 4, QImage::Format_RGB32)
        .copy();
}

}  // namespace

void LoadedModel::start() {
    std::call_once(started_, [this] {
        loading_ = std::async(std::launch::async, [path = path_] {
                       auto loaded = std::make_shared<Loaded>();
                       loaded->model = passport::FaceModel::load(path, &loaded->problem);
                       return std::shared_ptr<const Loaded>(std::move(loaded));
                   }).share();
    });
}

const passport::FaceModel* LoadedModel::model(std::string& problem) {
    start();
    const std::shared_ptr<const Loaded>& loaded = loading_.get();
    if (!loaded->model) problem = loaded->problem;
    return loaded->model.get();
}

Examined examinePhoto(const std::string& path, passport::AgeGroup group,
                      passport::Levelling levelling, ModelSource& models,
                      const std::atomic<bool>* stop) {
    Examined examined;
    const auto stopped = [&] {
        if (!stop || !stop->load()) return false;
        examined.status = PhotoStatus::Stopped;
        examined.problem = "stopped";
        return true;
    };
    if (stopped()) return examined;
    QByteArray bytes;
    std::string problem;
    if (!readPhoto(path, bytes, problem)) {
        examined.problem = "cannot read the photo \"" + path + "\": " + problem;
        return examined;
    }
    models.photoRead();
    OpenedPhoto opened = decodeAnyPhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        std::size_t(bytes.size()));
    bytes.clear();
    if (!opened.photo) {
        // In the window's words: "is damaged or incomplete", "has see-through parts ...".
        examined.problem = "the photo \"" + path + "\" " + opened.reason.toStdString();
        return examined;
    }
    const QImage photo = imageHolding(std::move(opened.photo));
    const passport::FaceModel* model = models.model(problem);
    if (!model) {
        examined.status = PhotoStatus::NoModel;
        examined.problem = problem;
        return examined;
    }
    if (stopped()) return examined;
    const passport::FaceSearch search = model->find(constPixelsOf(photo), stop);
    if (stopped()) return examined;
    // The largest face is framed; other faces matter only where they show in its frame (a
    // small face far behind, outside the frame, does not).
    examined.inFrame =
        search.faces.empty()
            ? passport::FaceCount::None
            : passport::facesInFrame(search.faces,
                                     passport::frameHead(search.faces[0].marks, group, levelling));
    if (examined.inFrame != passport::FaceCount::One) {
        examined.status = examined.inFrame == passport::FaceCount::Several
                              ? PhotoStatus::SeveralFaces
                              : PhotoStatus::NoFace;
        examined.problem =
            (search.faces.empty() ? "no face" : std::to_string(search.faces.size()) + " faces") +
            " found in \"" + path + "\": the photo must show one person, facing the camera";
        return examined;
    }
    examined.status = PhotoStatus::Framed;
    examined.framed = frame(photo, search.faces[0], group, levelling);
    examined.framed.facesInPhoto = int(search.faces.size());
    if (opened.colour != QLatin1String("sRGB")) examined.framed.colour = opened.colour.toStdString();
    return examined;
}

std::vector<passport::CriterionCheck> checkFramed(const Examined& examined) {
    const Framed& framed = examined.framed;
    passport::CheckInput input;
    input.faces = examined.inFrame;
    input.marks = framed.face.marks;
    input.crop = framed.crop;
    input.photo = constPixelsOf(framed.photo);
    input.group = framed.group;
    input.landmarks = &framed.face.landmarks;
    return passport::checkPhoto(input);
}

QByteArray photoFileBytes(const Framed& framed, std::string& problem) {
    const passport::OutputFile file = passport::photoJpeg(framed.print.view());
    problem = file.error;
    return bytesOf(file.bytes);
}

QByteArray labSheetBytes(const Framed& framed, std::string& problem) {
    const passport::OutputFile file = passport::labSheetJpeg(framed.print.view());
    problem = file.error;
    return bytesOf(file.bytes);
}

QByteArray sheetPdfBytes(const Framed& framed, int rows, bool cutLines, std::string& problem) {
    // Qt's PDF writer and its fonts are shared by the whole program: one sheet at a time.
    static std::mutex drawing;
    const std::lock_guard<std::mutex> lock(drawing);
    QString error;
    const QByteArray pdf = counterSheetPdf(imageOf(framed.print), {rows, cutLines}, &error);
    problem = error.toStdString();
    return pdf;
}

}  // namespace passportcli
