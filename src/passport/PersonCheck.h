#pragma once

#include <optional>
#include <string>
#include <vector>

#include "passport/Check.h"
#include "passport/HeadPose.h"
#include "passport/Landmarks.h"
#include "raster/Pixels.h"

namespace passport {

// The person's criteria of the check: expression, eyes, pose and light on the face, measured
// from the framed face's 68 landmarks and the loaded photo's own pixels round them.

struct PersonInput {
    // The framed face's landmarks in the loaded photo's pixels; null when the head is known
    // only by markers the user placed.
    const FaceLandmarks* landmarks = nullptr;
    raster::ConstPixels photo;  // the loaded photo, 0xffRRGGBB
};

// One result per person criterion, from Criterion::MouthClosed to Criterion::NoRedEyes in
// that order, each with its value, limit, verdict and advice. Without landmarks or photo,
// every one is "cannot tell". Never throws but std::bad_alloc.
std::vector<CriterionCheck> checkPerson(const PersonInput& input);

// What checkPerson judges by, each unknown where it could not be measured (the region lies
// outside the photo, or the marks are not usable: `whyNot` then says why for all).
struct PersonMeasures {
    std::string whyNot;
    std::optional<double> mouthGap;                         // in eye-chin distances
    std::optional<double> cornerLift;                       // in eye-chin distances, > 0 raised
    std::optional<double> mouthWidthShare;                  // of the face width
    std::optional<double> teethShare;                       // of the inside of the lips
    std::optional<double> leftEyeOpening, rightEyeOpening;  // of each eye's width
    std::optional<double> leftEyeBrightness, rightEyeBrightness;  // of the cheeks' luma
    std::optional<HeadPose> pose;
    std::optional<double> leftGlare, rightGlare;  // shares of each eye region
    std::optional<double> cheekBalance;           // the darker cheek's luma over the brighter's
    std::optional<double> leftCheekLuma, rightCheekLuma;
    std::optional<double> cheekBurnt;         // the larger share of a cheek burnt out
    std::optional<double> leftRed, rightRed;  // shares of each pupil's square
};
PersonMeasures measurePerson(const PersonInput& input);

}  // namespace passport
