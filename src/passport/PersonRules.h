#pragma once

// The limits of the person's criteria of the counter photo: expression, eyes, pose and light
// on the face. The rules ask for a neutral face with the mouth closed, eyes open and clearly
// visible, looking straight into the camera, evenly lit, with no reflections on glasses and
// no red eyes; they give figures only for the pose (ICAO practice), so the other limits were
// tuned on real faces: the labelled photos of tests/data/faces (its README gives each one's
// source and label) and the 24 faces of dlib's example collage bald_guys.jpg (libdlib19.1),
// here called "the collage". Lengths are in T, the distance from the middle of the eyes to
// the chin, or in d, the distance between the eye centres, so they hold at any resolution.

namespace passport {

// --- Sampling ---------------------------------------------------------------------------------
//
// Regions round eyes, mouth and cheeks are averaged down to this many pixels between the eye
// centres before they are measured, whatever the photo's resolution (the scale of the face's
// sharpness measure): a cheek square is then 19 pixels across.
inline constexpr double kPersonSampleEyeDistance = 64;
// Pupils are sampled finer, so a pupil (some 0.1 d) is 13 sample pixels across.
inline constexpr double kPupilSampleEyeDistance = 128;
// A large face is read at every k-th pixel, at least this many across each sample pixel:
// the good face of tests/data/faces enlarged to 39 megapixels (1400 pixels between the eyes)
// measures within 0.01 of its own figures, all eight criteria in 1.2 ms.
inline constexpr double kSourcePerSample = 4;
// Landmarks are used only when the eyes are at least this many pixels apart (a smaller face
// has no mouth or pupils to measure) and the chin lies 1-3 eye distances below the eyes
// (the faces dlib finds in its example photos lie at 1.7-2.5; senseless marks do not).
inline constexpr double kMinEyeDistancePixels = 16;
inline constexpr double kMinChinPerEyeDistance = 1.0;
inline constexpr double kMaxChinPerEyeDistance = 3.0;

// --- Mouth closed -----------------------------------------------------------------------------
//
// The opening between the inner lips (landmarks 61-63 against 67-65, across the eye line), in
// T. Closed mouths measure -0.005 to 0.032 (the collage's 16 closed mouths, Grace Hopper and
// the good faces); lips parted over teeth 0.044-0.084 (the collage's 8 smiles with teeth, the
// astronaut).
inline constexpr double kMaxMouthGap = 0.035;

// --- Neutral expression -----------------------------------------------------------------------
//
// Corner lift: how far the mouth corners (48, 54) lie above the middle of the inner lips,
// across the eye line, in T. Neutral faces measure -0.059 to 0.022 (collage, Grace Hopper),
// and the faint closed-mouth smile of plain-white-bald.jpg, enlarged and levelled for the
// photo checks, 0.022-0.028 (taken as neutral); smirks 0.033-0.037 and smiles 0.043-0.093
// (collage, astronaut). The one smile under the limit (0.027) shows its teeth.
inline constexpr double kMaxCornerLift = 0.030;
// Mouth width (48 to 54) against face width (jaw 0 to 16): neutral faces 0.28-0.40, broad
// smiles 0.47-0.50 (collage, astronaut); milder smiles overlap the neutral range and are
// caught by their corners or teeth instead.
inline constexpr double kMaxMouthWidthShare = 0.45;
// Teeth: the share of the inside of the lips (60-67) that is bright and grey, luma at least
// kTeethLumaPerCheek of the cheeks' and chroma (max - min channel) at most kTeethMaxChroma of
// its luma. Closed mouths show 0 (an inside of fewer than kMinTeethSamplePixels sample pixels
// shows nothing); smiles with teeth 0.15-0.85 (collage, astronaut). Lips less than
// kMinTeethGap apart (in T) show no teeth: closed mouths measure up to 0.032, smiles with
// teeth from 0.044, and the lips of an overexposed face would otherwise pass for teeth.
inline constexpr double kMaxTeethShare = 0.10;
inline constexpr double kTeethLumaPerCheek = 0.8;
inline constexpr double kTeethMaxChroma = 0.35;
inline constexpr int kMinTeethSamplePixels = 6;
inline constexpr double kMinTeethGap = 0.02;

// --- Eyes open --------------------------------------------------------------------------------
//
// Each eye's lid opening (37-41 and 38-40, averaged) against its width (36-39): open eyes
// measure 0.20-0.42 (collage, Grace Hopper, astronaut), eyes narrowed in a squint or a laugh
// 0.12-0.17 (collage, dlib's group photo 2008_007676.jpg). No photo of closed eyes was found
// in a package: the limit is not tested on one. (dlib fits an open eye's shape to an eye
// painted shut, so a made-up one would prove nothing.)
inline constexpr double kMinEyeOpening = 0.16;

// --- Eyes visible -----------------------------------------------------------------------------
//
// Each eye's region (kEyeRegionWidth x kEyeRegionHeight eye distances round its landmarks,
// the lens of a pair of glasses) against the cheeks' mean luma. Bare and glazed eyes measure
// 0.39-1.07 (the lowest an eye in the shadow of side light); the synthetic tinted lenses of
// tests/data/faces (85 % of the light taken away, as sunglasses of category 3 do) 0.20.
// Between the two limits the dark may be a shadow: the verdict cannot tell.
inline constexpr double kEyeRegionWidth = 0.75;
inline constexpr double kEyeRegionHeight = 0.45;
inline constexpr double kMinEyeBrightness = 0.30;
inline constexpr double kSureEyeBrightness = 0.36;
// Cheeks darker than this (luma) are too dark to compare eyes with.
inline constexpr double kMinCheekLuma = 30;

// --- Facing the camera ------------------------------------------------------------------------
//
// Yaw and pitch each within 5 degrees (ICAO practice).
inline constexpr double kMaxYawDegrees = 5;
inline constexpr double kMaxPitchDegrees = 5;
// The generic face has its own proportions, not the person's: fitted to faces that look
// straight into the camera it comes out chin up by this much, which is taken as level. The
// collage's 8 frontal portraits, Grace Hopper and the astronaut measure 2-11 degrees before
// this correction (median 6.5); the generic face's nose and chin depth cannot tell a long
// nose from a raised chin.
inline constexpr double kPitchZeroDegrees = 6;
// The yaw of one face moves this much as its landmarks are refitted: plain-white-bald.jpg,
// turned in the picture's plane by 5-9 degrees, levelled and enlarged for the photo checks,
// measures 3.8-5.5. A yaw just over the limit, up to this much, cannot tell.
inline constexpr double kYawUncertaintyDegrees = 1.5;
// A pitch just over the limit, up to this much, cannot tell. Yaw is surer (the face's
// symmetry fixes it): the good and side-lit faces of tests/data/faces and the astronaut
// measure within 3 degrees, the collage's faces that look past the camera 9-28, the turned
// head in dlib's 2008_002079.jpg 38.
inline constexpr double kPitchUncertaintyDegrees = 4;
// A fit leaving more than this (root-mean-square, in eye distances) fits no face: the faces
// dlib finds in its example photos leave 0.03-0.10.
inline constexpr double kMaxPoseResidual = 0.15;

// --- No reflections ---------------------------------------------------------------------------
//
// The share of each eye region that is burnt out (luma at least kGlareLuma). Catch-lights in
// the pupils and glints on frames measure 0-0.22 % (collage, Grace Hopper's glasses); the
// synthetic glare of tests/data/faces (a blown-out patch of 0.26 x 0.15 d on one lens) 6.8 %.
inline constexpr int kGlareLuma = 245;
inline constexpr double kMaxGlareShare = 0.015;
// Unless the face itself is burnt out: with more than this share of a cheek at kGlareLuma
// or over (0 on every face of the collage and tests/data/faces; 5 % is what Exposure calls
// overexposed) the eye regions' white cannot be told from glare.
inline constexpr double kMaxCheekBurnt = 0.05;

// --- Even light -------------------------------------------------------------------------------
//
// The two cheek zones as ISO/IEC 29794-5 places them for its illumination uniformity:
// squares of kCheekSide eye distances, half the eye-mouth distance below each eye, compared
// by mean luma (the darker over the brighter). Frontal faces lit from the front measure
// 0.79-1.00 (collage, Grace Hopper, astronaut); lit from one side 0.49-0.71 (three faces of
// the collage, two of them in tests/data/faces) and the synthetic falloff of
// tests/data/faces (half the light on the far side) 0.58. Histograms of such small squares,
// compared bin by bin, told a smooth face lit a little unevenly (the astronaut, 0.93 by
// means) from side light; their means do not.
inline constexpr double kCheekSide = 0.3;
inline constexpr double kMinCheekBalance = 0.75;

// --- No red eyes ------------------------------------------------------------------------------
//
// Each pupil's square (kPupilSide eye distances round the eye's centre). A pixel is flash red
// when its red level is at least kMinRedLevel and over kRedOverOthers times green and blue
// and over kRedOverSkin times the cheeks' own ratio (Grace Hopper's warm photo has skin and
// irises at twice as red as green). Real eyes measure 0-18 % such pixels (collage, Grace
// Hopper, the glare variant); the synthetic red eyes of tests/data/faces (a red disc of the
// pupil's size, 0.1 d, blended onto each pupil) 43-47 %. No photo with real red eyes was
// found in a package.
inline constexpr double kPupilSide = 0.12;
inline constexpr double kRedOverOthers = 2.5;
inline constexpr double kRedOverSkin = 1.5;
inline constexpr int kMinRedLevel = 80;
inline constexpr double kMaxRedShare = 0.30;

}  // namespace passport
