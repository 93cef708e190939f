#pragma once

#include <string>
#include <vector>

#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "passport/HeadMarks.h"
#include "passport/Rules.h"

// What the counter-photo window shows and the user corrects, without Qt: the crop in the
// loaded photo's pixels, the head marks it is framed by, the age group, and what the face
// search found. The window only translates mouse and buttons into these calls.
namespace counter {

// The framed photo on screen: ten screen pixels to the printed millimetre, 350 x 450.
inline constexpr int kScreenPixelsPerMm = 10;
inline constexpr int kViewWidth = 350;
inline constexpr int kViewHeight = 450;

// The eye band (50-70 % of the height above the bottom edge) in millimetres from the top.
inline constexpr double kEyeBandTopMm =
    passport::kPhotoHeightMm * (1 - passport::kEyeLineMaxFraction);
inline constexpr double kEyeBandBottomMm =
    passport::kPhotoHeightMm * (1 - passport::kEyeLineMinFraction);

// One wheel notch scales the crop by this factor (towards a larger head when turned up).
inline constexpr double kWheelStep = 1.05;

// What the face search came to.
enum class Finding {
    Waiting,       // the model is loading or the search runs
    OneFace,       // framed by the face
    NoFace,        // manual framing
    SeveralFaces,  // manual framing
    ModelMissing,  // manual framing: the model could not be loaded
};

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// Between the loaded photo's pixels and the screen pixels of the framed photo (the crop's
// own frame, so a turned crop is shown upright).
struct ScreenMap {
    passport::Crop crop;
    // Screen pixels per loaded-photo pixel.
    double scale() const { return kViewWidth / crop.width; }
    ScreenPoint toScreen(passport::Point p) const {
        const passport::Point c = passport::toCropFrame(crop, p);
        return {c.x * scale(), c.y * scale()};
    }
    passport::Point toPhoto(ScreenPoint s) const {
        return passport::fromCropFrame(crop, {s.x / scale(), s.y / scale()});
    }
};

class CounterFraming {
  public:
    // Starts as manual framing does: the largest 35 : 45 crop centred on the photo, with the
    // crown and chin markers where a head of the age group would be framed in it.
    CounterFraming(int photoWidth, int photoHeight, passport::AgeGroup group);

    const passport::Crop& crop() const { return crop_; }
    const passport::HeadMarks& marks() const { return marks_; }
    // The framed face's 68 landmarks, while a found face frames the photo; null otherwise
    // (detection off, no face, or markers placed by hand).
    const passport::FaceLandmarks* landmarks() const {
        return hasLandmarks_ ? &landmarks_ : nullptr;
    }
    // Every face the search found, largest first (for counting those inside the frame).
    const std::vector<passport::FoundFace>& faces() const { return faces_; }
    passport::AgeGroup ageGroup() const { return group_; }
    Finding finding() const { return finding_; }
    int faceCount() const { return faceCount_; }
    bool detectionOff() const { return detectionOff_; }
    // Levelling (on from the start): a found face tilted up to 10 degrees is framed by a crop
    // turned to level its eyes. Switching it frames the photo anew.
    passport::Levelling levelling() const { return levelling_; }
    void setLevelling(passport::Levelling levelling);
    // "levelled: 8.3 degrees", "not levelled: ...", or "".
    std::string levellingNote() const;
    int photoWidth() const { return photoWidth_; }
    int photoHeight() const { return photoHeight_; }
    ScreenMap screenMap() const { return {crop_}; }

    // The crown and chin markers follow the mouse when no face frames the photo: detection
    // switched off, or a search that found no face, several, or had no model.
    bool markersMovable() const;
    // Whether the marks tell where the head is: found with the face, or moved onto it by
    // the user (the markers' start places are a guess).
    bool marksKnown() const {
        return marks_.crownSource != passport::CrownSource::Manual || userMarks_;
    }

    // A search has started (the model loads, or the search runs): its outcome will frame.
    void searchStarted();
    // One face frames the photo (unless detection is off, which keeps the outcome for later);
    // none or several start manual framing afresh from the centred crop.
    void takeSearch(const passport::FaceSearch& search);
    void modelMissing();
    // Off: framing by hand, nothing the detector found is left behind: the crown and chin
    // markers start where the crown and chin were (to be moved onto the head), eyes, jaw and
    // landmarks are dropped. On again: the face found frames the photo once more. A search
    // runs either way; with detection off its outcome is only kept.
    void setDetectionOff(bool off);

    // Framed anew by the marks: the face's when one was found, else the markers.
    void setAgeGroup(passport::AgeGroup group);
    void reframe();

    // The user's corrections, in screen pixels of the framed photo: the photo follows the
    // mouse; the wheel scales about the point under it; the slider sets the head height.
    void dragBy(double dx, double dy);
    void wheel(double notches, ScreenPoint at);
    void setHeadHeightMm(double mm);
    // A marker dragged to screen height `y` (only while markersMovable()).
    void moveCrown(double y);
    void moveChin(double y);

  private:
    void placeStartMarkers();

    int photoWidth_;
    int photoHeight_;
    passport::AgeGroup group_;
    passport::Crop crop_;
    passport::HeadMarks marks_;
    Finding finding_ = Finding::Waiting;
    int faceCount_ = 0;
    bool detectionOff_ = false;
    bool userMarks_ = false;
    passport::HeadMarks foundMarks_;
    passport::FaceLandmarks landmarks_{};
    bool hasLandmarks_ = false;
    std::vector<passport::FoundFace> faces_;
    passport::Levelling levelling_ = passport::Levelling::On;
};

}  // namespace counter
