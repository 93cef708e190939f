#pragma once

// The report of a run of many photos: one row per photo, as CSV or JSON.

#include <optional>
#include <string>
#include <vector>

#include "passport/Check.h"
#include "passport/Framing.h"

namespace passportcli {

// What became of one photo, worst last: the run's exit status follows the worst photo.
enum class PhotoOutcome { Passed, CheckFailed, NoFace, SeveralFaces, Unreadable, NotWritten };

// "passed", "check failed", "no face", "several faces", "unreadable", "not written".
std::string outcomeText(PhotoOutcome outcome);

// The figures measured on a framed photo (everything of it but its pixels).
struct PhotoFigures {
    passport::Measures measures;
    std::string levelled;  // what levelling did, or empty
    double sourceDpi = 0;
    double sourceWidthPixels = 0;
    bool belowMinimumDpi = false;
    bool crownFound = false;  // in the photo, not estimated from the face's proportions
    int facesInPhoto = 1;
    std::string colour;  // what became of colours that were not plain sRGB
    passport::Overhang filled;
};

struct PhotoResult {
    std::string photo;  // the path as given or found in a folder
    PhotoOutcome outcome = PhotoOutcome::Passed;
    std::string error;               // what went wrong, for the user; empty when nothing did
    std::vector<std::string> files;  // the names written in the out folder
    std::optional<PhotoFigures> figures;              // when the photo was framed
    std::vector<passport::CriterionCheck> checks;     // when the photo was framed
};

// CSV (RFC 4180, UTF-8, a header line, numbers with a decimal point): the photo, its outcome,
// the error, the files, the figures and, per criterion, its verdict and what was measured.
std::string csvReport(const std::vector<PhotoResult>& results);

// JSON: {"complete": ..., "photos": [...]}, each photo with its figures and every
// criterion's name, value, unit, measured text, limit, verdict and advice. `complete` is
// false for a run that was stopped before every photo was done.
std::string jsonReport(const std::vector<PhotoResult>& results, bool complete);

}  // namespace passportcli
