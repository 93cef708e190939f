#include "passportcli/PassportCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include <QFile>

#include "passport/Check.h"
#include "passportcli/Batch.h"
#include "passportcli/PhotoSteps.h"
#include "platform/files/PhotoSave.h"

namespace passportcli {

namespace {

constexpr char kName[] = "portrik-passport";

// Options that take a value, as "--out FILE" or "--out=FILE".
std::string* valueOption(Options& options, const std::string& name, std::string& rows,
                         std::string& jobs) {
    if (name == "--out") return &options.out;
    if (name == "--lab-sheet") return &options.labSheet;
    if (name == "--pdf") return &options.pdf;
    if (name == "--model") return &options.model;
    if (name == "--rows") return &rows;
    if (name == "--out-dir") return &options.batch.outDir;
    if (name == "--report") return &options.batch.report;
    if (name == "--jobs") return &jobs;
    return nullptr;
}

bool given(const std::vector<std::string>& args, const std::string& name) {
    return std::any_of(args.begin(), args.end(), [&](const std::string& a) {
        return a == name || a.rfind(name + "=", 0) == 0;
    });
}

bool endsWith(std::string text, const std::string& end) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool parseRows(const std::string& text, int& rows) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '5') return false;
    rows = text[0] - '0';
    return true;
}

QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
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

bool writeOutputs(const Options& options, const Framed& framed, std::ostream& out,
                  std::ostream& err) {
    std::string problem;
    if (!options.out.empty()) {
        const QByteArray photo = photoFileBytes(framed, problem);
        if (!writeOutput(options.out, photo, problem, "photo", out, err)) return false;
    }
    if (!options.labSheet.empty()) {
        const QByteArray sheet = labSheetBytes(framed, problem);
        if (!writeOutput(options.labSheet, sheet, problem, "lab sheet", out, err)) return false;
    }
    if (!options.pdf.empty()) {
        const QByteArray pdf = sheetPdfBytes(framed, options.rows, options.cutLines, problem);
        if (pdf.isEmpty()) {
            err << kName << ": the PDF \"" << options.pdf << "\" could not be made: " << problem
                << "\n";
            return false;
        }
        if (!writeOutput(options.pdf, pdf, "", "PDF", out, err)) return false;
    }
    return true;
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
    std::string jobs;
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return std::nullopt;
    };
    std::vector<std::string>& inputs = options.batch.inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::size_t equals = arg.find('=');
        const std::string name =
            arg.substr(0, arg.rfind("--", 0) == 0 ? equals : std::string::npos);
        if (std::string* value = valueOption(options, name, rows, jobs)) {
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
        } else if (arg == "--lab-sheets") {
            options.batch.labSheets = true;
        } else if (arg == "--pdfs") {
            options.batch.pdfs = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else {
            inputs.push_back(arg);
        }
    }
    if (!parseRows(rows, options.rows)) return fail("--rows takes 1 to 5, not " + rows);
    if (inputs.empty() && !options.help) return fail("which photo? Give its file name");
    if (!options.isBatch()) {
        if (inputs.size() > 1) {
            return fail("one photo at a time, not \"" + inputs[0] + "\" and \"" + inputs[1] +
                        "\", or give --out-dir DIR for many");
        }
        for (const char* name : {"--report", "--jobs", "--lab-sheets", "--pdfs"}) {
            if (given(args, name)) return fail(std::string(name) + " needs --out-dir DIR");
        }
        std::error_code ignored;
        if (!inputs.empty() && std::filesystem::is_directory(inputs[0], ignored)) {
            return fail("\"" + inputs[0] +
                        "\" is a folder: give --out-dir DIR to frame the photos in it");
        }
        if (!inputs.empty()) options.photo = inputs[0];
    } else {
        for (const char* name : {"--out", "--lab-sheet", "--pdf"}) {
            if (given(args, name)) {
                return fail(std::string(name) +
                            " names one file; with --out-dir each photo's files are named "
                            "after it (--lab-sheets and --pdfs add the sheets)");
            }
        }
        const std::string& report = options.batch.report;
        if (!report.empty() && !endsWith(report, ".csv") && !endsWith(report, ".json"))
            return fail("--report writes FILE.csv or FILE.json, not " + report);
        if (!jobs.empty()) {
            const bool digits = jobs.size() <= 3 && std::all_of(jobs.begin(), jobs.end(), [](char c) {
                                    return c >= '0' && c <= '9';
                                });
            options.batch.jobs = digits ? std::stoi(jobs) : 0;
            if (options.batch.jobs < 1 || options.batch.jobs > 256)
                return fail("--jobs takes 1 to 256, not " + jobs);
        }
    }
    // Sheet options without a sheet would silently do nothing.
    const bool sheets = !options.pdf.empty() || options.batch.pdfs;
    const char* sheetOption = options.isBatch() ? "--pdfs" : "--pdf FILE";
    if (given(args, "--rows") && !sheets) return fail(std::string("--rows needs ") + sheetOption);
    if (options.cutLines && !sheets) return fail(std::string("--cut-lines needs ") + sheetOption);
    return options;
}

std::string usage() {
    return std::string("Usage: ") + kName +
           " PHOTO [--child] [--check] [--no-level] [--out FILE.jpg]\n"
           "           [--lab-sheet FILE.jpg] [--pdf FILE.pdf [--rows N] [--cut-lines]]\n"
           "           [--model FILE]\n"
           "       " + kName + " PHOTO|FOLDER... --out-dir DIR [--child] [--no-level]\n"
           "           [--lab-sheets] [--pdfs [--rows N] [--cut-lines]] [--jobs N]\n"
           "           [--report FILE.csv|FILE.json] [--model FILE]\n"
           "\n"
           "Frames the one face in PHOTO (JPEG, HEIC, PNG, WebP, TIFF, BMP or GIF) as a\n"
           "35 x 45 mm passport photo by the Dutch rules of 2020, writes what is asked for and\n"
           "prints what it measured.\n"
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
           "                    the model that comes with Portrik, else\n" +
           "                    " + passport::kFaceModelPath + ")\n"
           "  --help            this text\n"
           "\n"
           "Many photos: with --out-dir, every PHOTO and every photo in each FOLDER (not in\n"
           "its subfolders) is framed and checked, several at once. NAME.jpg gives\n"
           "DIR/NAME.passport.jpg; a name already taken, in DIR or by another photo of the run,\n"
           "becomes NAME-2, NAME-3, ...: no file is ever overwritten.\n"
           "\n"
           "  --out-dir DIR     the folder for every photo's files (made when missing)\n"
           "  --lab-sheets      also DIR/NAME.lab.jpg for each photo\n"
           "  --pdfs            also DIR/NAME.pdf, an A4 sheet, for each photo\n"
           "  --jobs N          photos worked on at once, each on one processor core\n"
           "                    (default: as many as there are cores; never more than\n"
           "                    the memory holds, at 250 MB each)\n"
           "  --report FILE     one row per photo, with every measured value and verdict and\n"
           "                    what went wrong, as CSV or JSON by the name's ending\n"
           "\n"
           "Progress goes to the error output. Ctrl-C stops: the photos done keep their files,\n"
           "the report covers them, and nothing is left half written.\n"
           "\n"
           "Exit status: 0 done (with --check: and nothing fails); 1 a criterion of the check\n"
           "fails; 2 the photo cannot be read or does not show exactly one face; 3 the face\n"
           "model is missing or damaged; 4 a file could not be written; 64 the command line is\n"
           "wrong. For many photos the status tells the worst that happened to any of them, in\n"
           "the order 64, 3, 4, 2, 1.\n";
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
    if (options->isBatch()) return runBatch(*options, services, err);
    const auto group = options->child ? passport::AgeGroup::UpTo10 : passport::AgeGroup::From11;
    const auto levelling = options->level ? passport::Levelling::On : passport::Levelling::Off;
    LoadedModel loaded(options->model);
    GivenModel given(services.model);
    Examined examined = examinePhoto(options->photo, group, levelling,
                                     services.model ? static_cast<ModelSource&>(given) : loaded);
    if (examined.status != PhotoStatus::Framed) {
        err << kName << ": " << examined.problem << "\n";
        return examined.status == PhotoStatus::NoModel ? kExitNoModel : kExitNoPhotoOrFace;
    }
    const Framed& framed = examined.framed;
    out << report(framed);
    bool checkFailed = false;
    if (options->check) {
        // Measured on the photo through the crop, as the window measures it, so both give
        // the same figures for the same framing.
        const auto checks = checkFramed(examined);
        out << "\n";
        for (const std::string& text : passport::checkLines(checks)) out << text << "\n";
        checkFailed = !passport::nothingFails(checks);
    }
    if (!writeOutputs(*options, framed, out, err)) return kExitNotWritten;
    return checkFailed ? kExitCheckFailed : kExitOk;
}

}  // namespace passportcli
