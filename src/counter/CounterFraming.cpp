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
    faces_ = search.faces;
    if (search.count() == passport::FaceCount::One) {
        finding_ = Finding::OneFace;
        foundMarks_ = search.faces.front().marks;
        landmarks_ = search.faces.front().landmarks;
        if (!detectionOff_) {
            marks_ = foundMarks_;
            hasLandmarks_ = true;
            crop_ = passport::frameHead(marks_, group_, levelling_);
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
    faces_.clear();
    if (detectionOff_) return;
    crop_ = passport::centredCrop(photoWidth_, photoHeight_);
    placeStartMarkers();
}

void CounterFraming::setDetectionOff(bool off) {
    if (off == detectionOff_) return;
    detectionOff_ = off;
    if (off) {
        // The markers start where the crown and chin were; whether they lie on the head is
        // the user's to say, so nothing that reads them is judged until they are moved.
        passport::HeadMarks manual;
        manual.crown = marks_.crown;
        manual.chin = marks_.chin;
        manual.crownSource = passport::CrownSource::Manual;
        marks_ = manual;
        hasLandmarks_ = false;
        userMarks_ = false;
        return;
    }
    if (finding_ == Finding::OneFace) {
        marks_ = foundMarks_;
        hasLandmarks_ = true;
        crop_ = passport::frameHead(marks_, group_, levelling_);
    }
}

void CounterFraming::setAgeGroup(passport::AgeGroup group) {
    group_ = group;
    reframe();
}

void CounterFraming::reframe() {
    crop_ = passport::frameHead(marks_, group_, levelling_);
}

void CounterFraming::setLevelling(passport::Levelling levelling) {
    if (levelling == levelling_) return;
    levelling_ = levelling;
    reframe();
}

std::string CounterFraming::levellingNote() const {
    return passport::levellingNote(marks_, crop_, levelling_);
}

void CounterFraming::dragBy(double dx, double dy) {
    // The photo follows the mouse, so the crop moves the other way, along its own edges.
    const ScreenMap map = screenMap();
    const Point from = map.toPhoto({0, 0});
    const Point to = map.toPhoto({dx, dy});
    crop_ = passport::moveCrop(crop_, from.x - to.x, from.y - to.y);
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
    // The markers are horizontal lines of the framed photo: each keeps its place across
    // and takes the new height, in the crop's own frame. The crown stays at least a screen
    // pixel above the chin.
    const ScreenMap map = screenMap();
    const ScreenPoint crown = map.toScreen(marks_.crown);
    const ScreenPoint chin = map.toScreen(marks_.chin);
    marks_.crown = map.toPhoto({crown.x, std::min(y, chin.y - 1)});
    marks_.crownSource = passport::CrownSource::Manual;
    hasLandmarks_ = false;
    userMarks_ = true;
}

void CounterFraming::moveChin(double y) {
    if (!markersMovable() || !std::isfinite(y)) return;
    const ScreenMap map = screenMap();
    const ScreenPoint crown = map.toScreen(marks_.crown);
    const ScreenPoint chin = map.toScreen(marks_.chin);
    marks_.chin = map.toPhoto({chin.x, std::max(y, crown.y + 1)});
    hasLandmarks_ = false;
    userMarks_ = true;
}

}  // namespace counter
