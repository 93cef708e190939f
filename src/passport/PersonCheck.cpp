// The person's criteria: each measure judged against its limit, in words, with its advice.
#include "passport/PersonCheck.h"

#include <charconv>
#include <cmath>
#include <string>

#include "passport/CheckFormat.h"
#include "passport/PersonRules.h"

namespace passport {

namespace {

using format::number;
using format::shown;

std::string percent(double share) {
    return number(100 * share, 1) + " %";
}

CriterionCheck start(Criterion criterion, std::string limit) {
    CriterionCheck c;
    c.criterion = criterion;
    c.limit = std::move(limit);
    c.advice = criterionAdvice(criterion);
    return c;
}

CriterionCheck cannotTell(CriterionCheck c, std::string why) {
    c.verdict = Verdict::CannotTell;
    c.measured = std::move(why);
    c.value.reset();
    return c;
}

Verdict passIf(bool pass) {
    return pass ? Verdict::Pass : Verdict::Fail;
}

std::string degreesText(double value) {
    return number(std::abs(value), 1) + "°";
}

}  // namespace

std::vector<CriterionCheck> checkPerson(const PersonInput& input) {
    const PersonMeasures m = measurePerson(input);
    std::vector<CriterionCheck> out;
    out.reserve(8);
    const std::string outside = "the face reaches outside the photo";
    const auto both = [](const std::optional<double>& a, const std::optional<double>& b) {
        return a && b;
    };

    // MouthClosed.
    {
        CriterionCheck c = start(Criterion::MouthClosed,
                                 "gap at most " + number(kMaxMouthGap, 3) + " of eye–chin");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (m.mouthGap) {
            const double gap = std::max(0.0, *m.mouthGap);
            c.value = gap;
            c.measured = "gap " + number(gap, 3) + " of eye–chin";
            c.verdict = passIf(shown(gap, 3) <= kMaxMouthGap);
        } else {
            c = cannotTell(c, "face marks not usable");
        }
        out.push_back(c);
    }
    // NeutralExpression.
    {
        CriterionCheck c = start(
            Criterion::NeutralExpression,
            "corners at most " + number(kMaxCornerLift, 3) +
                " of eye–chin above the lips, mouth at most " + number(kMaxMouthWidthShare, 2) +
                " of face width, teeth at most " + number(100 * kMaxTeethShare, 0) + " %");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (m.cornerLift && m.mouthWidthShare) {
            const bool lifted = shown(*m.cornerLift, 3) > kMaxCornerLift;
            const bool wide = shown(*m.mouthWidthShare, 2) > kMaxMouthWidthShare;
            const bool teeth = m.teethShare && shown(*m.teethShare, 3) > kMaxTeethShare;
            c.value = *m.cornerLift;
            c.measured = "corners " + number(std::abs(*m.cornerLift), 3) +
                         (*m.cornerLift > 0 ? " above" : " below") + " the lips, mouth " +
                         number(*m.mouthWidthShare, 2) + " of face width, teeth " +
                         (m.teethShare ? percent(*m.teethShare) : "not measured");
            c.verdict = lifted || wide || teeth ? Verdict::Fail
                        : m.teethShare          ? Verdict::Pass
                                                : Verdict::CannotTell;
        } else {
            c = cannotTell(c, "face marks not usable");
        }
        out.push_back(c);
    }
    // EyesOpen.
    {
        CriterionCheck c =
            start(Criterion::EyesOpen,
                  "each open at least " + number(kMinEyeOpening, 2) + " of its width");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (both(m.leftEyeOpening, m.rightEyeOpening)) {
            const double least = std::min(*m.leftEyeOpening, *m.rightEyeOpening);
            c.value = least;
            c.measured = "open " + number(*m.leftEyeOpening, 2) + " and " +
                         number(*m.rightEyeOpening, 2) + " of eye width";
            c.verdict = passIf(shown(least, 2) >= kMinEyeOpening);
        } else {
            c = cannotTell(c, "eye marks not usable");
        }
        out.push_back(c);
    }
    // EyesVisible.
    {
        CriterionCheck c =
            start(Criterion::EyesVisible,
                  "eyes at least " + number(kMinEyeBrightness, 2) + " as bright as the cheeks");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (both(m.leftEyeBrightness, m.rightEyeBrightness)) {
            const double least = std::min(*m.leftEyeBrightness, *m.rightEyeBrightness);
            c.value = least;
            c.measured = "eyes " + number(*m.leftEyeBrightness, 2) + " and " +
                         number(*m.rightEyeBrightness, 2) + " as bright as the cheeks";
            const double s = shown(least, 2);
            c.verdict = s < kMinEyeBrightness    ? Verdict::Fail
                        : s < kSureEyeBrightness ? Verdict::CannotTell
                                                 : Verdict::Pass;
            if (c.verdict == Verdict::CannotTell) c.measured += " (unsure: dark eye regions)";
        } else if (m.leftCheekLuma && m.rightCheekLuma) {
            c = cannotTell(c, (*m.leftCheekLuma + *m.rightCheekLuma) / 2 < kMinCheekLuma
                                  ? "face too dark to compare"
                                  : outside);
        } else {
            c = cannotTell(c, outside);
        }
        out.push_back(c);
    }
    // FacingCamera. Behind dark lenses the eye corners are the fit's guesses, and the pose
    // with them.
    const bool eyesHidden =
        m.leftEyeBrightness && m.rightEyeBrightness &&
        shown(std::min(*m.leftEyeBrightness, *m.rightEyeBrightness), 2) < kSureEyeBrightness;
    {
        CriterionCheck c = start(Criterion::FacingCamera,
                                 "turned and tilted at most " + number(kMaxYawDegrees, 0) + "°");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (eyesHidden) {
            c = cannotTell(c, "eyes hidden: the pose is unsure");
        } else if (m.pose && m.pose->residual <= kMaxPoseResidual) {
            const double yaw = m.pose->yawDegrees, pitch = m.pose->pitchDegrees;
            c.value = std::max(std::abs(yaw), std::abs(pitch));
            c.unit = "°";
            c.measured = "turned " + degreesText(yaw) +
                         (std::abs(shown(yaw, 1)) == 0 ? ""
                          : yaw > 0                    ? " to the right (as seen)"
                                                       : " to the left (as seen)") +
                         ", chin " + degreesText(pitch) +
                         (std::abs(shown(pitch, 1)) == 0 ? " level"
                          : pitch > 0                    ? " up"
                                                         : " down");
            const double y = std::abs(shown(yaw, 1)), x = std::abs(shown(pitch, 1));
            // The pitch of a generic face is only sure to a few degrees, the yaw to one or
            // two: just over the limit it cannot tell.
            c.verdict = y > kMaxYawDegrees + kYawUncertaintyDegrees ||
                                x > kMaxPitchDegrees + kPitchUncertaintyDegrees
                            ? Verdict::Fail
                        : y > kMaxYawDegrees || x > kMaxPitchDegrees ? Verdict::CannotTell
                                                                     : Verdict::Pass;
            if (c.verdict == Verdict::CannotTell) c.measured += " (too near the limit to tell)";
        } else {
            c = cannotTell(c, "face marks fit no face");
        }
        out.push_back(c);
    }
    // NoReflections.
    {
        CriterionCheck c =
            start(Criterion::NoReflections,
                  "glare at most " + percent(kMaxGlareShare) + " of each eye region");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (m.cheekBurnt && *m.cheekBurnt > kMaxCheekBurnt) {
            c = cannotTell(c, "the face itself is burnt out");
        } else if (both(m.leftGlare, m.rightGlare)) {
            const double most = std::max(*m.leftGlare, *m.rightGlare);
            c.value = 100 * most;
            c.unit = "%";
            c.measured = "glare " + percent(*m.leftGlare) + " and " + percent(*m.rightGlare) +
                         " of the eye regions";
            c.verdict = passIf(shown(most, 3) <= kMaxGlareShare);
        } else {
            c = cannotTell(c, outside);
        }
        out.push_back(c);
    }
    // EvenLight.
    {
        CriterionCheck c =
            start(Criterion::EvenLight,
                  "darker cheek at least " + percent(kMinCheekBalance) + " as bright as the other");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (m.cheekBalance) {
            c.value = 100 * *m.cheekBalance;
            c.unit = "%";
            c.measured = "darker cheek " + percent(*m.cheekBalance) + " as bright as the other";
            c.verdict = passIf(shown(*m.cheekBalance, 3) >= kMinCheekBalance);
        } else {
            c = cannotTell(c, outside);
        }
        out.push_back(c);
    }
    // NoRedEyes.
    {
        CriterionCheck c =
            start(Criterion::NoRedEyes, "red at most " + percent(kMaxRedShare) + " of each pupil");
        if (!m.whyNot.empty()) {
            c = cannotTell(c, m.whyNot);
        } else if (both(m.leftRed, m.rightRed)) {
            const double most = std::max(*m.leftRed, *m.rightRed);
            c.value = 100 * most;
            c.unit = "%";
            c.measured =
                "red " + percent(*m.leftRed) + " and " + percent(*m.rightRed) + " of the pupils";
            c.verdict = passIf(shown(most, 3) <= kMaxRedShare);
        } else {
            c = cannotTell(c, outside);
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace passport
