#include "counter/CheckRows.h"

namespace counter {

namespace {

passport::FaceCount faceCountOf(const CounterFraming& framing) {
    switch (framing.finding()) {
        case Finding::OneFace:
            return passport::FaceCount::One;
        case Finding::SeveralFaces:
            return passport::FaceCount::Several;
        default:
            return passport::FaceCount::None;
    }
}

// The criteria that read the crown and chin, or the eyes and jaw that come with them.
bool readsTheMarks(passport::Criterion criterion) {
    using passport::Criterion;
    return criterion == Criterion::HeadHeight || criterion == Criterion::FaceWidth ||
           criterion == Criterion::Centred || criterion == Criterion::EyesLevel ||
           criterion == Criterion::EyeLine;
}

}  // namespace

std::vector<CheckRow> checkRows(const CheckInput& input) {
    const CounterFraming& framing = input.framing;
    const auto checks = passport::checkPhoto({faceCountOf(framing), framing.marks(),
                                              framing.crop(), input.photo, framing.ageGroup()});
    std::vector<CheckRow> rows;
    rows.reserve(checks.size());
    for (const passport::CriterionCheck& check : checks) {
        CheckRow row{passport::criterionName(check.criterion), check.measured, check.limit,
                     check.verdict};
        if (check.criterion == passport::Criterion::OneFace) {
            if (framing.finding() == Finding::Waiting) {
                row = {row.criterion, "looking…", row.limit, Verdict::CannotTell};
            } else if (framing.finding() == Finding::ModelMissing) {
                row = {row.criterion, "no face model", row.limit, Verdict::CannotTell};
            }
        } else if (readsTheMarks(check.criterion) && !framing.marksKnown()) {
            // The markers' start places are a guess, not a measurement.
            row = {row.criterion, "—", row.limit, Verdict::CannotTell};
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace counter
