#pragma once

#include <optional>
#include <string>
#include <vector>

#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "passport/HeadMarks.h"
#include "passport/PrintPhoto.h"
#include "passport/Rules.h"
#include "raster/Pixels.h"

namespace passport {

// The check of a framed photo against today's rules, criterion by criterion, each with what
// was measured, its limit and a verdict. A verdict never claims more than the measurement
// knows: where it failed or is only an estimate, the verdict is "cannot tell". The counter
// has the final word.

// In the order the list shows them: first the photo (size, position, resolution, pixels),
// then the person (expression, eyes, pose, light).
enum class Criterion {
    // The photo.
    OneFace,
    HeadHeight,
    FaceWidth,
    Centred,
    EyesLevel,
    EyeLine,
    WholePhoto,
    Resolution,
    InColour,
    NotEdited,
    Sharp,
    Background,
    NoShadowOnBackground,
    Exposure,
    // The person.
    MouthClosed,
    NeutralExpression,
    EyesOpen,
    EyesVisible,
    FacingCamera,
    NoReflections,
    EvenLight,
    NoRedEyes,
};
inline constexpr int kCriterionCount = 22;
inline constexpr Criterion kFirstPersonCriterion = Criterion::MouthClosed;

enum class CriterionGroup { Photo, Person };
CriterionGroup groupOf(Criterion criterion);
// "The photo", "The person".
std::string groupName(CriterionGroup group);

enum class Verdict { Pass, Fail, CannotTell };

// A head height whose crown was estimated from the face's proportions may be this share too
// large or too small: on the 16 faces of dlib's examples and tests/data/faces whose crown was
// found in the photo, the estimate came to 0.92-1.10 of the head height found for 12 of them
// (bald to full hair) and to 0.78-0.81 for the other four (hair piled high, or the edge of a
// neighbour's head in a group photo). Such a head height passes no limit, and fails one only
// when even this margin cannot bring it inside.
inline constexpr double kEstimatedCrownUncertainty = 0.10;

struct CriterionCheck {
    Criterion criterion = Criterion::OneFace;
    // The measured number in `unit` ("mm", "°", "%", "dpi"; empty for a plain number), when
    // there is one.
    std::optional<double> value;
    std::string unit;
    // What was measured, for people: the number with its unit and what to know about it
    // ("about 28.1 mm (crown estimated from the face's proportions)"), or a sentence.
    std::string measured;
    std::string limit;
    Verdict verdict = Verdict::CannotTell;
    // One line saying what to do when it fails ("Close your mouth and keep a neutral face.").
    std::string advice;
};

// Everything the check looks at. `marks` are those of the framed face (the largest when
// several were found) or the markers the user placed. `print` is the 600 dpi photo made from
// `crop` of `photo`, when there is one: the face and the background are then measured on the
// pixels the counter gets. Without it they are measured on `photo` through `crop`, which
// gives the same verdicts within rounding and spares making the 600 dpi photo at every step
// of a drag (that takes longer than the check itself).
struct CheckInput {
    FaceCount faces = FaceCount::None;
    HeadMarks marks;
    Crop crop;
    raster::ConstPixels photo;
    AgeGroup group = AgeGroup::From11;
    const PrintPhoto* print = nullptr;
    // The framed face's 68 landmarks in the loaded photo's pixels; null when the head is
    // known only by markers the user placed (the person's criteria then cannot tell).
    const FaceLandmarks* landmarks = nullptr;
};

// "One face" counts the faces in the frame, not in the whole photo: a face counts when its
// detector box reaches at least this far into the frame across and down, so that someone
// beside the person (an ear, a shoulder of a face cut by the edge) does not, and someone
// behind the person does.
inline constexpr double kFaceInFrameMm = 3.0;
FaceCount facesInFrame(const std::vector<FoundFace>& faces, const Crop& crop);

// One result per criterion, in the order of Criterion. Any marks, crop and photo will do
// (nothing but std::bad_alloc is thrown); takes a few milliseconds, so it can follow the
// user's dragging.
std::vector<CriterionCheck> checkPhoto(const CheckInput& input);

// True when no criterion fails ("cannot tell" does not fail).
bool nothingFails(const std::vector<CriterionCheck>& checks);

// "Head height, chin to crown", "Sharp", ...
std::string criterionName(Criterion criterion);
// What to do when the criterion fails, in one line ("Take a sharp photo: ...").
std::string criterionAdvice(Criterion criterion);
// "pass", "FAIL", "cannot tell".
std::string verdictText(Verdict verdict);

// The checks as plain text, one line per criterion in aligned columns (name, measured,
// limit, verdict), then one line with the outcome. UTF-8; numbers with a decimal point
// whatever the locale.
std::vector<std::string> checkLines(const std::vector<CriterionCheck>& checks);
// "Nothing fails. The counter has the final word." or "Fails: Sharp, Background. ..."
std::string outcomeLine(const std::vector<CriterionCheck>& checks);

// `text` broken at blanks into lines of at most `width` columns.
std::vector<std::string> wrapped(const std::string& text, std::size_t width);

}  // namespace passport
