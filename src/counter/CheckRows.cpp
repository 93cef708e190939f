#include "counter/CheckRows.h"

namespace counter {

namespace {

// The criteria that read the crown and chin, or the eyes and jaw that come with them.
bool readsTheMarks(passport::Criterion criterion) {
    using passport::Criterion;
    return criterion == Criterion::HeadHeight || criterion == Criterion::FaceWidth ||
           criterion == Criterion::Centred || criterion == Criterion::EyesLevel ||
           criterion == Criterion::EyeLine;
}

// What the face search can tell of the faces in the frame.
passport::FaceCount faceCountOf(const CounterFraming& framing) {
    switch (framing.finding()) {
        case Finding::OneFace:
        case Finding::SeveralFaces:
            return passport::facesInFrame(framing.faces(), framing.crop());
        default:
            return passport::FaceCount::None;
    }
}

}  // namespace

std::vector<CheckRow> checkRows(const RowsInput& input) {
    const CounterFraming& framing = input.framing;
    passport::CheckInput in;
    in.faces = faceCountOf(framing);
    in.marks = framing.marks();
    in.crop = framing.crop();
    in.photo = input.photo;
    in.group = framing.ageGroup();
    in.landmarks = framing.landmarks();
    const auto checks = passport::checkPhoto(in);
    // Until the search has come to an outcome, the frame is only a start: nothing is judged.
    const bool waiting = framing.finding() == Finding::Waiting;
    std::vector<CheckRow> rows;
    rows.reserve(checks.size());
    for (const passport::CriterionCheck& check : checks) {
        CheckRow row{passport::criterionName(check.criterion),
                     check.measured,
                     check.limit,
                     check.verdict,
                     check.advice,
                     passport::groupOf(check.criterion)};
        const auto unknown = [&row](const char* why) {
            row.measured = why;
            row.verdict = Verdict::CannotTell;
        };
        if (waiting) {
            unknown(input.modelLoading ? "loading the face model…" : "looking for the face…");
        } else if (check.criterion == passport::Criterion::OneFace) {
            if (framing.finding() == Finding::ModelMissing) {
                unknown("no face model");
            } else if (framing.detectionOff()) {
                unknown("detection off");
            }
        } else if (readsTheMarks(check.criterion) && !framing.marksKnown()) {
            // The markers' start places are a guess, not a measurement.
            unknown("—");
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace counter
