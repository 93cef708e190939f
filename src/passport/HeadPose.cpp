#include "passport/HeadPose.h"

#include <array>
#include <cmath>
#include <numbers>

#include <dlib/optimization.h>

#include "passport/PersonRules.h"

namespace passport {

namespace {

// The generic face, in millimetres, as the camera sees a face looking into it: x to the
// viewer's right, y down, z towards the camera, the origin midway between the inner eye
// corners. Written from average adult proportions: 32 mm between the inner eye corners and
// 88 between the outer ones (10 mm further back), the nose tip 38 mm below the eye line and
// 30 mm in front of it, the nostrils 28 mm wide, the chin 110 mm below the eyes. Only points
// that move with the skull are used: not the brows or lips, which move with the expression
// (with the mouth corners in the fit, the astronaut's broad smile read as a chin 5 degrees
// lower), nor the jaw outline, which slides along the silhouette as the head turns.
struct ModelPoint {
    int landmark;
    double x, y, z;
};
constexpr std::array<ModelPoint, 14> kGenericFace{{
    {36, -44, 0, -10},  // outer corner of the eye on the viewer's left
    {39, -16, 0, 0},    // its inner corner
    {42, 16, 0, 0},
    {45, 44, 0, -10},
    {27, 0, -4, 10},  // top of the nose bridge
    {28, 0, 10, 16},
    {29, 0, 23, 22},
    {30, 0, 38, 30},    // nose tip
    {31, -14, 42, 10},  // nostrils' outer edges and the base of the nose
    {32, -7, 45, 16},
    {33, 0, 46, 20},
    {34, 7, 45, 16},
    {35, 14, 42, 10},
    {8, 0, 110, 0},  // chin
}};

using Vector = dlib::matrix<double, 0, 1>;

// One coordinate of one landmark: the model point (centred like the landmarks), the
// landmark's coordinate (centred) and which of x or y it is.
struct Residual {
    double mx = 0, my = 0, mz = 0;
    double observed = 0;
    bool isY = false;
};

// The model point turned by yaw (about the vertical), pitch (about the horizontal), roll
// (in the picture's plane), in that order, and scaled: one coordinate of its projection.
double project(const Residual& r, const Vector& p) {
    const double yaw = p(0), pitch = p(1), roll = p(2), scale = p(3);
    const double x1 = r.mx * std::cos(yaw) + r.mz * std::sin(yaw);
    const double z1 = -r.mx * std::sin(yaw) + r.mz * std::cos(yaw);
    const double y2 = r.my * std::cos(pitch) - z1 * std::sin(pitch);
    const double x3 = x1 * std::cos(roll) - y2 * std::sin(roll);
    const double y3 = x1 * std::sin(roll) + y2 * std::cos(roll);
    return scale * (r.isY ? y3 : x3);
}

double residualOf(const Residual& r, const Vector& p) {
    return project(r, p) - r.observed;
}

// The derivative of one residual by the four parameters, by central differences (the
// rotation's own derivative would save nothing worth its code at 32 residuals).
Vector derivativeOf(const Residual& r, const Vector& p) {
    Vector d(4);
    for (long i = 0; i < 4; ++i) {
        const double h = i == 3 ? 1e-6 * std::max(1.0, std::abs(p(3))) : 1e-6;
        Vector a = p, b = p;
        a(i) += h;
        b(i) -= h;
        d(i) = (project(r, a) - project(r, b)) / (2 * h);
    }
    return d;
}

}  // namespace

std::optional<HeadPose> estimateHeadPose(const FaceLandmarks& points) {
    double cx = 0, cy = 0, mx = 0, my = 0, mz = 0;
    for (const ModelPoint& m : kGenericFace) {
        const Point p = points[std::size_t(m.landmark)];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
        cx += p.x;
        cy += p.y;
        mx += m.x;
        my += m.y;
        mz += m.z;
    }
    const double n = double(kGenericFace.size());
    cx /= n, cy /= n, mx /= n, my /= n, mz /= n;
    const Point leftEye = meanOf(points, landmark::kLeftEyeFirst, landmark::kEyePoints);
    const Point rightEye = meanOf(points, landmark::kRightEyeFirst, landmark::kEyePoints);
    const double eyeDistance = std::hypot(rightEye.x - leftEye.x, rightEye.y - leftEye.y);
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(eyeDistance) ||
        !(eyeDistance > 1e-6))
        return std::nullopt;

    // Centred on both sides the shift drops out of a scaled orthographic fit. Lengths are
    // taken in eye distances so the optimiser sees the same numbers at any resolution.
    std::vector<Residual> residuals;
    residuals.reserve(2 * kGenericFace.size());
    for (const ModelPoint& m : kGenericFace) {
        const Point p = points[std::size_t(m.landmark)];
        const Residual base{m.x - mx, m.y - my, m.z - mz, 0, false};
        Residual rx = base, ry = base;
        rx.observed = (p.x - cx) / eyeDistance;
        ry.observed = (p.y - cy) / eyeDistance;
        ry.isY = true;
        residuals.push_back(rx);
        residuals.push_back(ry);
    }

    // Start facing the camera, leaning as the eye line does, scaled by the eye distance
    // (60 mm between the model's eye centres).
    Vector p(4);
    p(0) = 0;
    p(1) = 0;
    p(2) = std::atan2(rightEye.y - leftEye.y, rightEye.x - leftEye.x);
    p(3) = 1.0 / 60;
    try {
        dlib::solve_least_squares_lm(dlib::objective_delta_stop_strategy(1e-10, 100), residualOf,
                                     derivativeOf, residuals, p);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        return std::nullopt;
    }
    double squares = 0;
    for (const Residual& r : residuals) squares += residualOf(r, p) * residualOf(r, p);
    HeadPose pose;
    pose.residual = std::sqrt(2 * squares / double(residuals.size()));
    // A fit that ended mirrored (negative scale) is the same pose turned half round.
    if (p(3) < 0) return std::nullopt;
    const auto degrees = [](double radians) {
        return std::remainder(radians, 2 * std::numbers::pi) * 180 / std::numbers::pi;
    };
    pose.yawDegrees = degrees(p(0));
    pose.pitchDegrees = degrees(p(1)) - kPitchZeroDegrees;
    pose.rollDegrees = degrees(p(2));
    if (!std::isfinite(pose.yawDegrees) || !std::isfinite(pose.pitchDegrees) ||
        !std::isfinite(pose.rollDegrees) || !std::isfinite(pose.residual))
        return std::nullopt;
    return pose;
}

}  // namespace passport
