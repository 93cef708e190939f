#pragma once

#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "passport/PrintPhoto.h"

namespace passportcli {

// What portrik-passport ends with. 1 is kept for a photo that fails a check of the rules.
enum ExitCode {
    kExitOk = 0,
    kExitCheckFailed = 1,
    kExitNoPhotoOrFace = 2,  // unreadable photo, or not exactly one face
    kExitNoModel = 3,        // the face model is missing or damaged
    kExitNotWritten = 4,     // an output file could not be written
    kExitUsage = 64,         // the command line itself is wrong
    // Many photos, stopped by Ctrl-C or SIGTERM: what was done is kept and reported. The
    // program then ends by the signal itself, as a shell loop round it expects.
    kExitInterrupted = 130,
};

// Many photos in one run (--out-dir): what each worker makes of its photos, how many work at
// once, and where the report goes.
struct BatchOptions {
    std::vector<std::string> inputs;  // photos and folders of photos, as given
    std::string outDir;
    std::string report;               // FILE.csv or FILE.json; empty: none
    int jobs = 0;                     // photos at once; 0: one per core
    bool labSheets = false;           // NAME.lab.jpg beside each NAME.passport.jpg
    bool pdfs = false;                // NAME.pdf beside it
};

struct Options {
    std::string photo;
    bool child = false;     // up to 10 years: the head is framed smaller
    std::string out;        // the 600 dpi photo as JPEG
    std::string labSheet;   // the 10 x 15 cm photo-lab sheet as JPEG
    std::string pdf;        // an A4 sheet of rows of five
    int rows = 1;           // 1-5, for the PDF
    bool cutLines = false;  // cut lines on the PDF
    bool check = false;     // check the photo against today's rules
    bool level = true;      // turn the frame to level the eyes (--no-level: never)
    std::string model = passport::faceModelPath();
    bool help = false;
    BatchOptions batch;
    // Several photos, a folder or --out-dir: each photo's files go into the out folder,
    // named after it.
    bool isBatch() const { return !batch.outDir.empty(); }
};

// The command line after the program's name. Nullopt, with the reason in `error`, when it
// cannot be used.
std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string* error);

// The usage text, ending in a newline.
std::string usage();

// Everything the command found about the photo, for its report (and for a check of the rules
// that reads the same).
struct Framed {
    QImage photo;  // the loaded photo, upright, Format_RGB32
    passport::FoundFace face;
    passport::AgeGroup group = passport::AgeGroup::From11;
    passport::Crop crop;
    passport::Levelling levelling = passport::Levelling::On;
    passport::Measures measures;
    passport::PrintPhoto print;
    int facesInPhoto = 1;
    std::string colour;  // what became of a photo's colours that were not plain sRGB
};

// The measured values, one per line.
std::string report(const Framed& framed);

// Writes one output file at `path`, whole or not at all, and names it on `out` ("wrote the
// photo: PATH"). Empty `bytes` are a file that could not be made: `problem` says why. Either
// failure is said on `err` with the path; false then.
bool writeOutput(const std::string& path, const QByteArray& bytes, const std::string& problem,
                 const char* what, std::ostream& out, std::ostream& err);

// What the command uses besides its arguments. Tests hand over a model loaded once.
struct Services {
    const passport::FaceModel* model = nullptr;  // null: load Options::model
    // Set (from a signal handler) when the user stops a run of many photos: the photos being
    // worked on are dropped, no file is left half written, and the report covers what was
    // done. Null: never.
    const std::atomic<bool>* interrupted = nullptr;
    // Whether stderr is a terminal, for a progress bar instead of one line per photo.
    bool terminal = false;
    // The machine's memory, which bounds the photos worked on at once; 0: ask the system.
    double memoryMegabytes = 0;
};

// Runs `portrik-passport` with `args` (without the program's name): loads the photo as the
// window does, finds the one face, frames it, writes what was asked for (each file complete
// or not at all) and prints the measured values on `out`. Problems go to `err`, one line
// each; the result is an ExitCode. Needs a QGuiApplication for the PDF.
// With --check the report goes on with the check of the rules, one line per criterion, and
// the command ends with kExitCheckFailed when a criterion fails (after writing what was
// asked for: a failed write still ends with kExitNotWritten).
// With --out-dir it frames every photo given and every photo in the folders given, several at
// once, each as described in Batch.h.
int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const Services& services = {});

}  // namespace passportcli
