#pragma once

#include "filters/Filters.h"

class QImage;

// The passport photo as the filters' bitmap: top-down rows of blue, green, red and the fourth
// byte, which is what Format_RGB32 holds on a little-endian machine.
//
// It keeps the image object, never its pixel address: during a filter's event processing the
// photo may be captured anew, loaded, flipped or copied (and so detach), so the pixels are
// fetched afresh at each read and write. A write to a photo whose size no longer matches the
// run's buffers is refused.
class PhotoBitmap final : public Filters::Bitmap {
  public:
    explicit PhotoBitmap(QImage& image) : image_(image) {}

    int width() const override;
    int height() const override;
    bool readPixels(std::uint8_t* pixels, int width, int height) const override;
    bool writePixels(const std::uint8_t* pixels, int width, int height) override;

  private:
    QImage& image_;
};
