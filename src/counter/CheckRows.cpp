#include "counter/CheckRows.h"

#include <cmath>
#include <cstdio>

namespace counter {

namespace {

using passport::AgeGroup;

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

Verdict within(double value, double low, double high) {
    return value >= low && value <= high ? Verdict::Pass : Verdict::Fail;
}

// `value` with one decimal, or two where one would round a value outside the limits onto
// them (15.97 mm is no "16.0 mm" when 16 is the least allowed).
std::string figure(double value, double low, double high, const char* unit) {
    const double shown = std::round(value * 10) / 10;
    const bool misleading = (value < low && shown >= low) || (value > high && shown <= high);
    return format(misleading ? "%.2f" : "%.1f", value) + unit;
}

CheckRow faceRow(const CounterFraming& framing) {
    CheckRow row{"One face", "", "exactly one", Verdict::CannotTell};
    switch (framing.finding()) {
        case Finding::Waiting:
            row.measured = "looking…";
            break;
        case Finding::ModelMissing:
            row.measured = "no face model";
            break;
        case Finding::OneFace:
            row.measured = "1";
            row.verdict = Verdict::Pass;
            break;
        case Finding::NoFace:
            row.measured = "none found";
            row.verdict = Verdict::Fail;
            break;
        case Finding::SeveralFaces:
            row.measured = std::to_string(framing.faceCount());
            row.verdict = Verdict::Fail;
            break;
    }
    return row;
}

CheckRow headRow(const CounterFraming& framing, const passport::Measures& m) {
    const AgeGroup group = framing.ageGroup();
    CheckRow row{"Head height", "—",
                 format("%.0f", passport::headMinMm(group)) + "–" +
                     format("%.0f mm", passport::headMaxMm(group)),
                 Verdict::CannotTell};
    if (!framing.marksKnown()) return row;
    const double low = passport::headMinMm(group), high = passport::headMaxMm(group);
    row.measured = figure(m.headHeightMm, low, high, " mm");
    row.verdict = within(m.headHeightMm, low, high);
    return row;
}

CheckRow faceWidthRow(const passport::Measures& m) {
    CheckRow row{
        "Face width", "—",
        format("%.0f", passport::kFaceWidthMinMm) + format("–%.0f mm", passport::kFaceWidthMaxMm),
        Verdict::CannotTell};
    if (!m.faceWidthMm) return row;
    row.measured =
        figure(*m.faceWidthMm, passport::kFaceWidthMinMm, passport::kFaceWidthMaxMm, " mm");
    row.verdict = within(*m.faceWidthMm, passport::kFaceWidthMinMm, passport::kFaceWidthMaxMm);
    return row;
}

CheckRow centreRow(const CounterFraming& framing, const passport::Measures& m) {
    CheckRow row{"Centred", "—", format("within %.1f mm", passport::kCentreToleranceMm),
                 Verdict::CannotTell};
    // The face's midline needs its eyes or jaw; the crown and chin markers do not say it.
    const passport::HeadMarks& marks = framing.marks();
    if (!(marks.leftEye && marks.rightEye) && !(marks.leftJaw && marks.rightJaw)) return row;
    const double offset = m.centreOffsetMm;
    const double tolerance = passport::kCentreToleranceMm;
    row.measured = std::abs(offset) < 0.05 ? std::string("0.0 mm")
                   : offset > 0            ? figure(offset, -tolerance, tolerance, " mm right")
                                           : figure(-offset, -tolerance, tolerance, " mm left");
    row.verdict = std::abs(offset) <= tolerance ? Verdict::Pass : Verdict::Fail;
    return row;
}

CheckRow tiltRow(const passport::Measures& m) {
    CheckRow row{"Eyes level", "—", format("within %.0f°", passport::kTiltToleranceDegrees),
                 Verdict::CannotTell};
    if (!m.tiltDegrees) return row;
    const double tolerance = passport::kTiltToleranceDegrees;
    row.measured = figure(std::abs(*m.tiltDegrees), -tolerance, tolerance, "°");
    row.verdict =
        std::abs(*m.tiltDegrees) <= passport::kTiltToleranceDegrees ? Verdict::Pass : Verdict::Fail;
    return row;
}

CheckRow eyeLineRow(const passport::Measures& m) {
    CheckRow row{"Eye line from the bottom", "—",
                 format("%.0f", 100 * passport::kEyeLineMinFraction) +
                     format("–%.0f %%", 100 * passport::kEyeLineMaxFraction),
                 Verdict::CannotTell};
    if (!m.eyeLineFraction) return row;
    row.measured = figure(100 * *m.eyeLineFraction, 100 * passport::kEyeLineMinFraction,
                          100 * passport::kEyeLineMaxFraction, " %");
    row.verdict =
        within(*m.eyeLineFraction, passport::kEyeLineMinFraction, passport::kEyeLineMaxFraction);
    return row;
}

CheckRow wholeRow(const CounterFraming& framing) {
    const passport::Overhang o =
        passport::overhangOf(framing.crop(), framing.photoWidth(), framing.photoHeight());
    CheckRow row{"Whole photo", "inside the photo", "no white fill", Verdict::Pass};
    if (!o.any()) return row;
    std::string edges;
    for (const auto& [over, name] : {std::pair{o.left, "left"}, std::pair{o.top, "top"},
                                     std::pair{o.right, "right"}, std::pair{o.bottom, "bottom"}}) {
        if (!over) continue;
        edges += edges.empty() ? name : std::string(", ") + name;
    }
    row.measured = "filled at " + edges;
    row.verdict = Verdict::Fail;
    return row;
}

CheckRow resolutionRow(const CounterFraming& framing) {
    const double dpi = passport::sourceDpi(framing.crop());
    return {"Resolution", format("%.0f dpi", dpi),
            format("at least %.0f dpi", passport::kMinimumDpi),
            passport::belowMinimumDpi(framing.crop()) ? Verdict::Fail : Verdict::Pass};
}

}  // namespace

std::vector<CheckRow> checkRows(const CheckInput& input) {
    const CounterFraming& framing = input.framing;
    const passport::Measures m = passport::measure(framing.marks(), framing.crop());
    return {faceRow(framing), headRow(framing, m), faceWidthRow(m),   centreRow(framing, m),
            tiltRow(m),       eyeLineRow(m),       wholeRow(framing), resolutionRow(framing)};
}

}  // namespace counter
