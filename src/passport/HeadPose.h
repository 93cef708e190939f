#pragma once

#include <optional>

#include "passport/Landmarks.h"

namespace passport {

// Which way the head points, from its 68 landmarks: a generic adult face in 3D (written from
// average anthropometric proportions, in millimetres) is turned, scaled and shifted until its
// points fall on the landmarks in the least-squares sense. The camera is taken as far away
// (scaled orthographic projection), which a passport photo taken from a metre or more is.
struct HeadPose {
    // Degrees, zero for a face looking straight into the camera (the pitch zero calibrated on
    // real frontal faces, see kPitchZeroDegrees). Yaw > 0: the nose points to the viewer's
    // right. Pitch > 0: the chin is raised. Roll > 0: the head leans clockwise as seen.
    double yawDegrees = 0;
    double pitchDegrees = 0;
    double rollDegrees = 0;
    // The root-mean-square distance left between the fitted face and the landmarks, in eye
    // distances: large when the landmarks fit no face.
    double residual = 0;
};

// Nothing when the landmarks are not finite, coincide or the fit does not converge to finite
// numbers. Takes well under a millisecond.
std::optional<HeadPose> estimateHeadPose(const FaceLandmarks& points);

}  // namespace passport
