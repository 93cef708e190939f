#include "passportcli/PassportCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <future>
#include <ostream>

#include <QFile>

#include "passport/Check.h"
#include "passport/Outputs.h"
#include "platform/files/AnyPhoto.h"
#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"
#include "platform/files/PhotoSave.h"
#include "printing/SheetPdf.h"

namespace passportcli {

namespace {

constexpr char kName[] = "portrik-passport";

// Options that take a value, as "--out FILE" or "--out=FILE".
std::string* valueOption(Options& options, const std::string& name, std::string& rows) {
    if (name == "--out") return &options.out;
    if (name == "--lab-sheet") return &options.labSheet;
    if (name == "--pdf") return &options.pdf;
    if (name == "--model") return &options.model;
    if (name == "--rows") return &rows;
    return nullptr;
}

bool parseRows(const std::string& text, int& rows) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '5') return false;
    rows = text[0] - '0';
    return true;
}

QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QByteArray bytesOf(const std::vector<unsigned char>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

QImage imageOf(const passport::PrintPhoto& print) {
    return QImage(reinterpret_cast<const uchar*>(print.pixels.data()), print.width, print.height,
                  print.width * 4, QImage::Format_RGB32)
        .copy();
}

std::string line(const char* format, double a, double b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// A signed figure in words: "0.4 mm right of the centre line", never "-0.4 mm (... right)".
std::string sided(double value, const char* unit, const char* positive, const char* negative,
                  const char* none) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::abs(value));
    if (std::string(text) == "0.0") return none;
    return std::string(text) + unit + (value > 0 ? positive : negative);
}

std::string filledEdges(const passport::Overhang& o) {
    std::string edges;
    for (auto [on, name] : {std::pair{o.top, "top"}, std::pair{o.bottom, "bottom"},
                            std::pair{o.left, "left"}, std::pair{o.right, "right"}}) {
        if (on) edges += (edges.empty() ? "" : ", ") + std::string(name);
    }
    return edges.empty() ? "none\n"
                         : edges + " (the frame reaches outside the photo; white was filled in)\n";
}

// The photo file's bytes, refused at once when they cannot be a photo, so that no time goes
// into loading the face model for nothing.
bool readPhoto(const std::string& path, QByteArray& bytes, std::string& problem) {
    QFile file(fileName(path));
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

bool writeOutputs(const Options& options, const Framed& framed, std::ostream& out,
                  std::ostream& err) {
    const raster::ConstPixels print = framed.print.view();
    if (!options.out.empty()) {
        const passport::OutputFile photo = passport::photoJpeg(print);
        if (!writeOutput(options.out, bytesOf(photo.bytes), photo.error, "photo", out, err)) return false;
    }
    if (!options.labSheet.empty()) {
        const passport::OutputFile sheet = passport::labSheetJpeg(print);
        if (!writeOutput(options.labSheet, bytesOf(sheet.bytes), sheet.error, "lab sheet", out, err))
            return false;
    }
    if (!options.pdf.empty()) {
        const sheets::CounterSheetOptions sheet{options.rows, options.cutLines};
        QString error;
        const QByteArray pdf = counterSheetPdf(imageOf(framed.print), sheet, &error);
        if (pdf.isEmpty()) {
            err << kName << ": the PDF \"" << options.pdf
                << "\" could not be made: " << error.toStdString() << "\n";
            return false;
        }
        if (!writeOutput(options.pdf, pdf, "", "PDF", out, err)) return false;
    }
    return true;
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

// Loads the photo as the window does and looks for faces in it; the model loads (most of
// the run's time) while the photo is decoded.
int findFaces(const Options& options, const Services& services, std::ostream& err, QImage& photo,
              std::string& colour, passport::FaceSearch& search) {
    QByteArray bytes;
    std::string problem;
    if (!readPhoto(options.photo, bytes, problem)) {
        err << kName << ": cannot read the photo \"" << options.photo << "\": " << problem << "\n";
        return kExitNoPhotoOrFace;
    }
    std::future<std::unique_ptr<passport::FaceModel>> loading;
    if (!services.model) {
        loading = std::async(std::launch::async, [path = options.model, &problem] {
            return passport::FaceModel::load(path, &problem);
        });
    }
    OpenedPhoto opened = decodeAnyPhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        std::size_t(bytes.size()));
    bytes.clear();
    const std::unique_ptr<passport::FaceModel> loaded = services.model ? nullptr : loading.get();
    if (!opened.photo) {
        // In the window's words: "is damaged or incomplete", "has see-through parts ...".
        err << kName << ": the photo \"" << options.photo << "\" " << opened.reason.toStdString()
            << "\n";
        return kExitNoPhotoOrFace;
    }
    if (opened.colour != QLatin1String("sRGB")) colour = opened.colour.toStdString();
    photo = imageHolding(std::move(opened.photo));
    const passport::FaceModel* model = services.model ? services.model : loaded.get();
    if (!model) {
        err << kName << ": " << problem << "\n";
        return kExitNoModel;
    }
    search = model->find(constPixelsOf(photo));
    return kExitOk;
}

}  // namespace

bool writeOutput(const std::string& path, const QByteArray& bytes, const std::string& problem,
                 const char* what, std::ostream& out, std::ostream& err) {
    QString error = QString::fromStdString(problem);
    if (!bytes.isEmpty() && writeFileAtomically(fileName(path), bytes, &error)) {
        out << "wrote the " << what << ": " << path << "\n";
        return true;
    }
    err << kName << ": the " << what << " \"" << path << "\" could not be written"
        << (error.isEmpty() ? "" : ": " + error.toStdString()) << "\n";
    return false;
}

std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string* error) {
    Options options;
    std::string rows = "1";
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(0, arg.rfind("--", 0) == 0 ? equals : std::string::npos);
        if (std::string* value = valueOption(options, name, rows)) {
            if (equals != std::string::npos) {
                *value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                *value = args[++i];
            } else {
                return fail(name + " needs a value");
            }
            if (value->empty()) return fail(name + " needs a value");
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--child") {
            options.child = true;
        } else if (arg == "--cut-lines") {
            options.cutLines = true;
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--no-level") {
            options.level = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else if (!options.photo.empty()) {
            return fail("one photo at a time, not \"" + options.photo + "\" and \"" + arg + "\"");
        } else {
            options.photo = arg;
        }
    }
    if (!parseRows(rows, options.rows)) return fail("--rows takes 1 to 5, not " + rows);
    // Sheet options without a sheet would silently do nothing.
    const bool rowsGiven = std::any_of(args.begin(), args.end(), [](const std::string& a) {
        return a == "--rows" || a.rfind("--rows=", 0) == 0;
    });
    if ((rowsGiven || options.cutLines) && options.pdf.empty())
        return fail(std::string(rowsGiven ? "--rows" : "--cut-lines") + " needs --pdf FILE");
    if (options.photo.empty() && !options.help) return fail("which photo? Give its file name");
    return options;
}

std::string usage() {
    return std::string("Usage: ") + kName +
           " PHOTO [--child] [--check] [--no-level] [--out FILE.jpg]\n"
           "           [--lab-sheet FILE.jpg] [--pdf FILE.pdf [--rows N] [--cut-lines]]\n"
           "           [--model FILE]\n"
           "\n"
           "Frames the one face in PHOTO (JPEG, BMP or GIF) as a 35 x 45 mm passport photo by\n"
           "the Dutch rules of 2020, writes what is asked for and prints what it measured.\n"
           "\n"
           "  --child           frame for a child up to 10 years (head 19-30 mm, not 26-30 mm)\n"
           "  --check           check the photo against the rules, criterion by criterion\n"
           "  --no-level        never turn the frame to level the eyes (it turns tilts up to\n"
           "                    10 degrees, as photo services straighten a crop)\n"
           "  --out FILE        the photo as a 600 dpi JPEG (827 x 1063 pixels)\n"
           "  --lab-sheet FILE  eight photos with cut marks on a 15 x 10 cm, 600 dpi JPEG to\n"
           "                    order as one print from any photo lab\n"
           "  --pdf FILE        an A4 sheet with rows of five photos, to print at 100 %\n"
           "  --rows N          rows on the A4 sheet, 1 to 5 (default 1)\n"
           "  --cut-lines       cut lines round the photos on the A4 sheet\n"
           "  --model FILE      the face landmark model (default: $" +
           std::string(passport::kFaceModelVariable) + " when set, else\n" +
           "                    " + passport::kFaceModelPath +
           ")\n"
           "  --help            this text\n"
           "\n"
           "Exit status: 0 done (with --check: and nothing fails); 1 a criterion of the check\n"
           "fails; 2 the photo cannot be read or does not show exactly one face; 3 the face\n"
           "model is missing or damaged; 4 a file could not be written; 64 the command line is\n"
           "wrong.\n";
}

std::string report(const Framed& framed) {
    const passport::Measures& m = framed.measures;
    std::string text = line("head height: %.1f mm\n", m.headHeightMm);
    if (m.faceWidthMm) text += line("face width: %.1f mm\n", *m.faceWidthMm);
    if (m.eyeLineFraction) {
        text += line("eye line: %.1f %% of the height above the bottom edge\n",
                     100 * *m.eyeLineFraction);
    }
    text += line("space above the head: %.1f mm\n", m.spaceAboveHeadMm);
    text += "centring: " +
            sided(m.centreOffsetMm, " mm", " right of the centre line", " left of the centre line",
                  "on the centre line") +
            "\n";
    if (m.tiltDegrees) {
        text += "eyes: " +
                sided(*m.tiltDegrees, " degrees", " tilted, the right eye (as seen) lower",
                      " tilted, the left eye (as seen) lower", "level") +
                "\n";
    }
    const std::string levelled =
        passport::levellingNote(framed.face.marks, framed.crop, framed.levelling);
    if (!levelled.empty()) text += levelled + "\n";
    text += line("source: %.0f dpi (%.0f pixels across 35 mm)", framed.print.sourceDpi,
                 framed.print.sourceWidthPixels);
    text += framed.print.belowMinimumDpi ? ", below the 400 dpi the rules ask\n" : "\n";
    text += framed.face.marks.crownSource == passport::CrownSource::Image
                ? "crown: found in the photo\n"
                : "crown: estimated from the face's proportions\n";
    if (framed.facesInPhoto > 1) {
        text +=
            "faces: " + std::to_string(framed.facesInPhoto) + " in the photo, one in the frame\n";
    }
    if (!framed.colour.empty()) text += "colours: " + framed.colour + "\n";
    return text + "filled: " + filledEdges(framed.print.overhang);
}

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const Services& services) {
    std::string problem;
    const std::optional<Options> options = parseArguments(args, &problem);
    if (!options) {
        err << kName << ": " << problem << "\n" << usage();
        return kExitUsage;
    }
    if (options->help) {
        out << usage();
        return kExitOk;
    }
    QImage photo;
    std::string colour;
    passport::FaceSearch search;
    if (const int status = findFaces(*options, services, err, photo, colour, search);
        status != kExitOk) {
        return status;
    }
    const auto group = options->child ? passport::AgeGroup::UpTo10 : passport::AgeGroup::From11;
    const auto levelling = options->level ? passport::Levelling::On : passport::Levelling::Off;
    // The largest face is framed; other faces matter only where they show in its frame (a
    // small face far behind, outside the frame, does not).
    const passport::FaceCount inFrame =
        search.faces.empty()
            ? passport::FaceCount::None
            : passport::facesInFrame(search.faces,
                                     passport::frameHead(search.faces[0].marks, group, levelling));
    if (inFrame != passport::FaceCount::One) {
        err << kName << ": "
            << (search.faces.empty() ? "no face" : std::to_string(search.faces.size()) + " faces")
            << " found in \"" << options->photo
            << "\": the photo must show one person, facing the camera\n";
        return kExitNoPhotoOrFace;
    }
    Framed framed = frame(std::move(photo), search.faces[0], group, levelling);
    framed.facesInPhoto = int(search.faces.size());
    framed.colour = colour;
    out << report(framed);
    bool checkFailed = false;
    if (options->check) {
        // Measured on the photo through the crop, as the window measures it, so both give
        // the same figures for the same framing.
        passport::CheckInput input;
        input.faces = inFrame;
        input.marks = framed.face.marks;
        input.crop = framed.crop;
        input.photo = constPixelsOf(framed.photo);
        input.group = group;
        input.landmarks = &framed.face.landmarks;
        const auto checks = passport::checkPhoto(input);
        out << "\n";
        for (const std::string& text : passport::checkLines(checks)) out << text << "\n";
        checkFailed = !passport::nothingFails(checks);
    }
    if (!writeOutputs(*options, framed, out, err)) return kExitNotWritten;
    return checkFailed ? kExitCheckFailed : kExitOk;
}

}  // namespace passportcli
