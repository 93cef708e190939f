// The person's criteria on real faces: each labelled photo of tests/data/faces fails the
// criterion it breaks and no other, each good one passes all eight; and marks or photos that
// make no sense give "cannot tell" with finite numbers, never a verdict.
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PassportTestSupport.h"
#include "passport/PersonCheck.h"

using namespace passport;

namespace {

constexpr Criterion kPersonCriteria[] = {
    Criterion::MouthClosed, Criterion::NeutralExpression, Criterion::EyesOpen,
    Criterion::EyesVisible, Criterion::FacingCamera,      Criterion::NoReflections,
    Criterion::EvenLight,   Criterion::NoRedEyes,
};

// Eight results, in order, every number finite.
void expectWellFormed(const std::vector<CriterionCheck>& checks, const std::string& what) {
    ASSERT_EQ(checks.size(), std::size(kPersonCriteria)) << what;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        EXPECT_EQ(checks[i].criterion, kPersonCriteria[i]) << what;
        EXPECT_TRUE(!checks[i].value || std::isfinite(*checks[i].value)) << what;
        EXPECT_FALSE(checks[i].measured.empty()) << what;
        EXPECT_FALSE(checks[i].advice.empty()) << what;
    }
}

}  // namespace

TEST(PersonCheck, EachLabelledPhotoBreaksItsOwnCriterion) {
    struct Labelled {
        const char* file;
        std::set<Criterion> breaks;  // empty: a good photo
    };
    const Labelled photos[] = {
        {"good-glasses.jpg", {}},
        {"good-bald.jpg", {}},
        // A broad smile opens the lips as well.
        {"smile-teeth.jpg", {Criterion::MouthClosed, Criterion::NeutralExpression}},
        {"smile-teeth-bald.jpg", {Criterion::MouthClosed, Criterion::NeutralExpression}},
        {"tinted-lenses.jpg", {Criterion::EyesVisible}},
        {"head-turned.jpg", {Criterion::FacingCamera}},
        {"glare-on-glasses.jpg", {Criterion::NoReflections}},
        {"side-light.jpg", {Criterion::EvenLight}},
        {"side-light-synthetic.jpg", {Criterion::EvenLight}},
        {"plain-grey-short-hair.jpg", {Criterion::EvenLight}},
        {"red-eyes.jpg", {Criterion::NoRedEyes}},
    };
    for (const Labelled& labelled : photos) {
        SCOPED_TRACE(labelled.file);
        const TestPhoto photo = facePhoto(labelled.file);
        const FaceSearch search = faceModel().find(photo.view());
        ASSERT_FALSE(search.faces.empty());
        const auto checks = checkPerson({&search.faces[0].landmarks, photo.view()});
        expectWellFormed(checks, labelled.file);
        for (const CriterionCheck& c : checks) {
            SCOPED_TRACE(criterionName(c.criterion) + ": " + c.measured);
            if (labelled.breaks.count(c.criterion))
                EXPECT_EQ(c.verdict, Verdict::Fail);
            else if (labelled.breaks.empty())
                EXPECT_EQ(c.verdict, Verdict::Pass);
            else
                EXPECT_NE(c.verdict, Verdict::Fail);
        }
        // The turn is told as the viewer sees it: this head turns to the viewer's left.
        if (std::string(labelled.file) == "head-turned.jpg") {
            EXPECT_NE(checks[4].measured.find("to the left (as seen)"), std::string::npos)
                << checks[4].measured;
        }
    }
}

TEST(PersonCheck, SenselessMarksOrPhotosGiveEightFiniteCannotTell) {
    const TestPhoto real = facePhoto("good-bald.jpg");
    const FaceLandmarks found = faceModel().find(real.view()).faces.at(0).landmarks;
    const TestPhoto tiny = uniformPhoto(1, 1, 0xff808080u);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    const auto shifted = [&](double dx, double k) {
        FaceLandmarks l = found;
        for (Point& p : l) p = {p.x * k + dx, p.y * k};
        return l;
    };
    const auto with = [&](int index, Point p) {
        FaceLandmarks l = found;
        l[std::size_t(index)] = p;
        return l;
    };
    FaceLandmarks allAtOnePoint;
    allAtOnePoint.fill({50, 50});
    const FaceLandmarks nanEye = with(37, {nan, 10});
    const FaceLandmarks infChin = with(8, {100, inf});
    const FaceLandmarks hugeChin = with(8, {100, 1e300});
    const FaceLandmarks outside = shifted(-1e4, 1);
    const FaceLandmarks vast = shifted(0, 1e6);

    struct Case {
        const char* what;
        const FaceLandmarks* landmarks;
        raster::ConstPixels photo;
    };
    const Case cases[] = {
        {"no landmarks (placed by hand)", nullptr, real.view()},
        {"no photo", &found, {}},
        {"1 x 1 photo", &found, tiny.view()},
        {"all marks on one point", &allAtOnePoint, real.view()},
        {"an eye mark not a number", &nanEye, real.view()},
        {"chin at infinity", &infChin, real.view()},
        {"chin at 1e300", &hugeChin, real.view()},
        {"face left of the photo", &outside, real.view()},
        {"face a million times too large", &vast, real.view()},
    };
    for (const Case& c : cases) {
        const auto checks = checkPerson({c.landmarks, c.photo});
        expectWellFormed(checks, c.what);
        for (const CriterionCheck& check : checks)
            EXPECT_EQ(check.verdict, Verdict::CannotTell) << c.what << ": " << check.measured;
    }
}
