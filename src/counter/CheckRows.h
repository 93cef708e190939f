#pragma once

#include <string>
#include <vector>

#include "counter/CounterFraming.h"
#include "passport/Check.h"
#include "raster/Pixels.h"

// The list under the framed photo: one row per criterion of today's rules, with the value
// measured on the current framing, its limit and a verdict. The window shows whatever
// checkRows() returns and asks for it again after every change of the framing.
namespace counter {

using Verdict = passport::Verdict;

struct CheckRow {
    std::string criterion;  // "Head height, chin to crown"
    std::string measured;   // "27.4 mm"
    std::string limit;      // "26–30 mm (from 11 years)"
    Verdict verdict = Verdict::CannotTell;
    std::string advice;  // what to do when it fails
    passport::CriterionGroup group = passport::CriterionGroup::Photo;
};

// What the rows are measured on: the loaded photo and the framing of it.
struct RowsInput {
    raster::ConstPixels photo;
    const CounterFraming& framing;
    bool modelLoading = false;  // while waiting: the model loads (else the face is looked for)
};

// The check of the rules on the current framing, measured on the loaded photo through the
// crop (the 600 dpi photo is only made when an output asks for it), as the command line
// measures it. While the model loads or the face is looked for, nothing can be told; with
// detection off or no model, the face count cannot; while the crown and chin markers still
// stand where they started, nothing that depends on them can.
std::vector<CheckRow> checkRows(const RowsInput& input);

}  // namespace counter
