#pragma once

#include <string>
#include <vector>

#include "counter/CounterFraming.h"
#include "view/ViewGeometry.h"

// The list under the framed photo: one row per criterion of today's rules, with the value
// measured on the current framing, its limit and a verdict. The window shows whatever
// checkRows() returns and asks for it again after every change of the framing.
namespace counter {

enum class Verdict { Pass, Fail, CannotTell };

struct CheckRow {
    std::string criterion;  // "Head height"
    std::string measured;   // "27.4 mm"
    std::string limit;      // "26–30 mm"
    Verdict verdict = Verdict::CannotTell;
};

// What the rows are measured on: the loaded photo and the framing of it.
struct CheckInput {
    view::ConstPixels photo;
    const CounterFraming& framing;
};

// The measured values against their limits (passport/Rules.h). A value that cannot be known
// (no face found, only the crown and chin marked) is "cannot tell", never a pass.
std::vector<CheckRow> checkRows(const CheckInput& input);

}  // namespace counter
