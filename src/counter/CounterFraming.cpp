#include "counter/CounterFraming.h"

#include <algorithm>
#include <cmath>

namespace counter {

using passport::Crop;
using passport::Point;

CounterFraming::CounterFraming(int photoWidth, int photoHeight, passport::AgeGroup group)
    : photoWidth_(photoWidth), photoHeight_(photoHeight), group_(group) {
    crop_ = passport::centredCrop(photoWidth_, photoHeight_);
    placeStartMarkers();
}

void CounterFraming::placeStartMarkers() {
    // Where framing would put a head of the age group's target height: framing these marks
    // again gives the same crop.
    const double perMm = crop_.pixelsPerMm();
    const double headMm = passport::targetHeadMm(group_);
    const double crownMm = passport::kTargetEyeLineFromTopMm - passport::kEyeLineFromCrown * headMm;
    const double x = crop_.x + crop_.width / 2;
    marks_ = passport::HeadMarks{};
    marks_.crown = {x, crop_.y + crownMm * perMm};
    marks_.chin = {x, crop_.y + (crownMm + headMm) * perMm};
    marks_.crownSource = passport::CrownSource::Manual;
    userMarks_ = false;
}

bool CounterFraming::markersMovable() const {
    return detectionOff_ || (finding_ != Finding::OneFace && finding_ != Finding::Waiting);
}

void CounterFraming::searchStarted() {
    finding_ = Finding::Waiting;
}

void CounterFraming::takeSearch(const passport::FaceSearch& search) {
    faceCount_ = static_cast<int>(search.faces.size());
    if (search.count() == passport::FaceCount::One) {
        finding_ = Finding::OneFace;
        foundMarks_ = search.faces.front().marks;
        if (!detectionOff_) {
            marks_ = foundMarks_;
            crop_ = passport::frameHead(marks_, group_);
        }
        return;
    }
    finding_ =
        search.count() == passport::FaceCount::None ? Finding::NoFace : Finding::SeveralFaces;
    if (detectionOff_) return;
    crop_ = passport::centredCrop(photoWidth_, photoHeight_);
    placeStartMarkers();
}

void CounterFraming::modelMissing() {
    finding_ = Finding::ModelMissing;
    faceCount_ = 0;
    if (detectionOff_) return;
    crop_ = passport::centredCrop(photoWidth_, photoHeight_);
    placeStartMarkers();
}

void CounterFraming::setDetectionOff(bool off) {
    if (off == detectionOff_) return;
    detectionOff_ = off;
    if (!off && finding_ == Finding::OneFace) {
        marks_ = foundMarks_;
        crop_ = passport::frameHead(marks_, group_);
    }
}

void CounterFraming::setAgeGroup(passport::AgeGroup group) {
    group_ = group;
    reframe();
}

void CounterFraming::reframe() {
    crop_ = passport::frameHead(marks_, group_);
}

void CounterFraming::dragBy(double dx, double dy) {
    // The photo follows the mouse, so the crop moves the other way.
    const double scale = screenMap().scale();
    crop_ = passport::moveCrop(crop_, -dx / scale, -dy / scale);
}

void CounterFraming::wheel(double notches, ScreenPoint at) {
    if (!std::isfinite(notches)) return;
    // Turning up enlarges the head: the crop takes in less of the photo.
    const Point anchor = screenMap().toPhoto(at);
    crop_ = passport::scaleCrop(crop_, std::pow(kWheelStep, -notches), anchor);
}

void CounterFraming::setHeadHeightMm(double mm) {
    crop_ = passport::cropForHeadHeight(crop_, marks_, mm);
}

void CounterFraming::moveCrown(double y) {
    if (!markersMovable() || !std::isfinite(y)) return;
    // The crown stays at least a screen pixel above the chin.
    const double scale = screenMap().scale();
    const double photoY = screenMap().toPhoto({0, y}).y;
    marks_.crown.y = std::min(photoY, marks_.chin.y - 1 / scale);
    marks_.crownSource = passport::CrownSource::Manual;
    userMarks_ = true;
}

void CounterFraming::moveChin(double y) {
    if (!markersMovable() || !std::isfinite(y)) return;
    const double scale = screenMap().scale();
    const double photoY = screenMap().toPhoto({0, y}).y;
    marks_.chin.y = std::max(photoY, marks_.crown.y + 1 / scale);
    userMarks_ = true;
}

}  // namespace counter
