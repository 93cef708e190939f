#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "raster/Photo.h"
#include "view/Guides.h"
#include "view/ViewGeometry.h"
#include "view/ZoomView.h"

namespace view {

using raster::Photo;

// One scroll bar of the viewport as the session keeps it. Its maximum may lie below its
// minimum (a photo 500 pixels wide scrolls from 0 down to -30); the value always lies between
// the two.
struct ScrollState {
    int min = 0;
    int max = 32767;
    int value = 0;
    friend bool operator==(const ScrollState&, const ScrollState&) = default;
};

// Why a load or a zoom changed nothing: along `axis` the (zoomed) photo, `width` x `height`
// pixels, is longer than `limit`, the longest its scroll bar can reach. Both axes are checked
// before anything changes; `axis` is the first that does not fit, across before down.
struct ScrollRefusal {
    Axis axis;
    int width;
    int height;
    int limit;
};

// What a zoom did: the zoomed size in double precision, as the status line shows it.
struct Zoomed {
    int percent;
    double width;
    double height;
};

// The main window's photo session, without Qt: the loaded photo, its zoomed view, the zoom,
// the viewport's scroll values, the capture frame, the guides and where the photo came from.
// The window keeps its named controls and draws them from here; every rule of loading,
// zooming, scrolling, framing and capturing lives here once.
//
// Reading it from another window (the counter-photo window, for one): photo() is the loaded
// photo at full resolution, upright as loaded (EXIF orientation applied); photo()->pixels() is
// a ConstPixels. Copy the shared_ptr to keep the pixels for as long as you read them: a later
// load replaces the session's photo but never changes or frees one that is still held.
// PhotoLoaded() says whether there is a photo at all, and guideAgeGroup() for which age group
// the head guide was last chosen (GuideFrom11).
class PhotoSession {
  public:
    // --- The photo --------------------------------------------------------------------------
    // Null until the first successful load.
    const std::shared_ptr<const Photo>& photo() const { return zoom_.photo(); }
    // Set by a successful load and never reset; capture is ignored while false.
    bool PhotoLoaded() const { return photo() != nullptr; }
    // Full path (UTF-8) of the file chosen last, also when it could not be loaded.
    const std::string& PhotoFileName() const { return photoFileName_; }
    void setPhotoFileName(std::string path) { photoFileName_ = std::move(path); }

    // Takes `photo` (not null) as the loaded photo at 100 %. Along an axis where the photo is
    // longer than the viewport, that scroll bar runs from 0 to the scroll maximum with the value 0;
    // along an axis where it fits, the scroll bar stays as it was. A photo either of whose ranges
    // the scroll values cannot reach is refused before anything changes.
    std::optional<ScrollRefusal> load(std::shared_ptr<const Photo> photo);

    // --- Zoom -------------------------------------------------------------------------------
    // The loaded photo at the chosen percentage, 100 after start-up and after every load.
    const ZoomView& zoomView() const { return zoom_; }
    int zoomPercent() const { return zoom_.percent(); }

    // Zooms to `percent`, always from the unscaled photo: both scroll bars run from 0 to the
    // scroll maximum of the zoomed photo (the viewport's length where it fits) with the value
    // 0. A zoom whose ranges the scroll values cannot reach is refused and the zoom in force
    // stays.
    std::variant<Zoomed, ScrollRefusal> zoom(int percent);

    // --- Scrolling --------------------------------------------------------------------------
    const ScrollState& scroll(Axis axis) const {
        return axis == Axis::Horizontal ? horizontal_ : vertical_;
    }
    // Moves the view along `axis`; the value is kept inside the range.
    void scrollTo(Axis axis, int value);
    // The viewport at the current scroll values: viewport pixel (x, y) shows zoomed pixel
    // (H + x, V + y), the background where that lies outside the zoomed photo.
    void renderViewport(const Pixels& viewport, std::uint32_t background) const;

    // --- The capture frame ------------------------------------------------------------------
    int GrabWidth() const { return grabWidth_; }
    // Always derived from the width: GrabWidth x 1.285, half to even.
    int GrabHeight() const { return grabHeight(grabWidth_); }
    // Takes a new frame width, kept within 50..270. A frame already placed keeps its size
    // until it is placed again.
    void setGrabWidth(int width);
    // Where the frame was last placed; none until the mouse first moved over the viewport.
    const std::optional<Rect>& frame() const { return frame_; }
    // Places the frame for the mouse pointer at (x, y), at the frame's width of the moment.
    const Rect& placeFrame(int pointerX, int pointerY);
    // Copies the viewport's pixels inside the frame for a pointer at (x, y), stretched, onto
    // the whole passport photo; where the frame reaches outside the viewport the photo gets
    // `background`. Returns the rectangle copied, or nothing (and changes nothing) while no
    // photo is loaded.
    std::optional<Rect> capture(int pointerX, int pointerY, const ConstPixels& viewport,
                                const Pixels& passportPhoto, std::uint32_t background) const;

    // --- Guides -----------------------------------------------------------------------------
    const Guides& guides() const { return guides_; }
    Guides& guides() { return guides_; }
    // Which head guide was chosen last: true from 11 years, false up to 10 years.
    bool GuideFrom11() const { return guides_.guideFrom11; }
    AgeGroup guideAgeGroup() const { return guides_.ageGroup(); }

  private:
    ScrollState& scrollState(Axis axis) {
        return axis == Axis::Horizontal ? horizontal_ : vertical_;
    }

    std::string photoFileName_;
    ZoomView zoom_;
    ScrollState horizontal_;
    ScrollState vertical_;
    int grabWidth_ = kStartGrabWidth;
    std::optional<Rect> frame_;
    Guides guides_;
};

}  // namespace view
