#pragma once

// portrik-passport on many photos (--out-dir): a school's pupils or a shop's day in one run.
//
// - Inputs: every photo named, and every photo directly in each folder named (by its
//   ending: .jpg .jpeg .heic .heif .png .webp .tif .tiff .bmp .gif; hidden files and the
//   program's own outputs are passed over). The same file named twice is done once.
// - Files: NAME.jpg gives OUT/NAME.passport.jpg, and with --lab-sheets and --pdfs also
//   NAME.lab.jpg and NAME.pdf. A NAME another photo of the run has, or whose files are in
//   OUT already, becomes NAME-2, NAME-3, ...: no file is ever overwritten, also not by
//   another run writing into the same folder at the same time. Each file is complete or
//   absent.
// - Workers: --jobs photos at once, each holding one photo; one face model for all of them,
//   loaded while the first photos decode.
// - Every photo is checked; the report (--report, CSV or JSON) has one row per photo done, in
//   the order given.
// - Progress on stderr: a bar on a terminal, one line per photo otherwise.
// - Stopping (Services::interrupted): the photos being worked on are dropped before any of
//   their files is written, the report covers the photos done, and the result is
//   kExitInterrupted.
// - The result: kExitNoModel when the model is missing (nothing can be framed), else
//   kExitNotWritten, kExitNoPhotoOrFace, kExitCheckFailed or kExitOk for the worst photo.

#include <iosfwd>
#include <string>
#include <vector>

#include "passportcli/PassportCommand.h"

namespace passportcli {

int runBatch(const Options& options, const Services& services, std::ostream& err);

// The photos a run works on, in order: the photos named and those found in the folders named.
struct Inputs {
    std::vector<std::string> photos;
    // Folders that could not be read or hold no photo, each said on `err`.
    int problems = 0;
};
Inputs photosOf(const std::vector<std::string>& inputs, std::ostream& err);

// The NAME each photo's files get in `outDir`: its file name without the ending, made unique
// against the other photos (first come first) and against files already in the folder.
std::vector<std::string> outputNames(const std::vector<std::string>& photos,
                                     const std::string& outDir);

}  // namespace passportcli
