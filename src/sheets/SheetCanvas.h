#pragma once

#include <cstdint>
#include <string>

namespace sheets {

// The two pictures a sheet is made of. The canvas knows what they look like; the layouts
// only say where they go.
enum class Picture { Photo, StampFrame };

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// A printer page addressed in twips (1/1440 inch) from the top-left corner of its printable
// area, x to the right and y downwards. The sheet layouts draw through it, so the same code
// fills a real printer page, a PDF file or a recording in a test.
class SheetCanvas {
  public:
    virtual ~SheetCanvas() = default;

    // The whole picture, stretched without smoothing into the rectangle.
    virtual void drawPicture(Picture picture, int x, int y, int width, int height) = 0;
    // A solid line as thin as the device draws.
    virtual void drawLine(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // Used by the texts that follow.
    virtual void setFont(const std::string& family, bool bold, int points) = 0;
    virtual void setTextColour(Rgb colour) = 0;
    // UTF-8 text on one line whose top-left corner lands at (x, y); no background is painted.
    virtual void drawText(int x, int y, const std::string& text) = 0;
    // Finishes the page; it is the only page of the job.
    virtual void endPage() = 0;
};

}  // namespace sheets
