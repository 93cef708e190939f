#pragma once

// The filter module: turns the passport photo into two byte arrays, runs one filter over them
// and writes the result back. Plain C++ without any window system; the program reaches the
// photo through a Bitmap adapter and lets the window breathe through an event callback.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace Filters {

// A picture as the filters see it: top-down rows of 4 × width bytes, each pixel blue, green,
// red and a fourth byte that no filter alters, rows packed without gaps.
class Bitmap {
  public:
    virtual ~Bitmap() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Copy all pixels into `pixels` (4 × width × height bytes). Both return false, touching
    // nothing, when the picture no longer has the size given (it was replaced meanwhile).
    virtual bool readPixels(std::uint8_t* pixels, int width, int height) const = 0;
    virtual bool writePixels(const std::uint8_t* pixels, int width, int height) = 0;
};

// A bitmap held in memory; tests and benchmarks use it.
class MemoryBitmap final : public Bitmap {
  public:
    MemoryBitmap(int width, int height);
    int width() const override { return width_; }
    int height() const override { return height_; }
    bool readPixels(std::uint8_t* pixels, int width, int height) const override;
    bool writePixels(const std::uint8_t* pixels, int width, int height) override;

    // Byte `channel` (0 blue, 1 green, 2 red, 3 fourth) of pixel (x, y), both 0-based.
    std::uint8_t& at(int channel, int x, int y) {
        return bytes_[(static_cast<std::size_t>(y) * width_ + x) * 4 + channel];
    }
    std::uint8_t at(int channel, int x, int y) const {
        return bytes_[(static_cast<std::size_t>(y) * width_ + x) * 4 + channel];
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> bytes_;
};

// Uniformly distributed single-precision values r with 0 <= r < 1, one per draw.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

// The one generator of the process, shared by "Add noise" and "Defuse". It starts from a fixed
// seed and is never reseeded, so after every start the same commands give the same photo.
RandomSource& processRandom();

// Called by a running filter after each row (and at the few other points a filter names) so
// the window can handle pending input and repaints. Returning false abandons the run: the
// photo is not written back.
using EventCallback = std::function<bool()>;

// What a run borrows from its surroundings. Without a callback no events are handled; without
// a random source the process generator is used.
struct RunHooks {
    EventCallback processEvents;
    RandomSource* random = nullptr;
};

// The codes RunFilter knows, and the parameter each menu item passes with it.
namespace Code {
constexpr int Sharpen = 1;
constexpr int Negative = 2;
constexpr int Blur = 3;
constexpr int Diffuse = 4;
constexpr int Edge = 6;
constexpr int Contour = 7;
constexpr int Grayscale = 12;
constexpr int Relief = 13;
constexpr int Brightness = 14;
constexpr int Pixelize = 15;
constexpr int SwapColours = 16;
constexpr int Contrast = 17;
constexpr int Scattered = 23;
constexpr int Aquarel = 24;
constexpr int AddNoise = 29;
}  // namespace Code

// The colour value of white, red + 256 × green + 65536 × blue: what "Contour" adds.
constexpr int kWhite = 0xFFFFFF;

// Reads `bitmap` into both buffers, runs the filter of `FilterCode` and writes PixelBuffer back.
// Returns at once, doing nothing, while another run is busy (a command given during a run's
// event processing). An unknown code runs no filter and writes the pixels back unchanged.
void RunFilter(int FilterCode, Bitmap& bitmap, int FilterParameter, const RunHooks& hooks = {});

// Operations straight on the bitmap, outside RunFilter's buffers: they use no module state and
// may run while a filter is busy. The flips mirror the picture left-right or top-bottom in place;
// Border blackens its outermost row and column on each side (blue, green and red; the fourth
// byte stays), which a second time changes nothing more.
void FlipHorizontal(Bitmap& bitmap);
void FlipVertical(Bitmap& bitmap);
void Border(Bitmap& bitmap);

// Takes a colour value apart: red is the remainder of colour / 256 with the sign of colour,
// green and blue are bits 8..15 and 16..23.
void SplitColour(int colour, int& red, int& green, int& blue);

// --- Module state, shared by all filters ------------------------------------------------------
// True while RunFilter is between its start and its end.
extern bool FilterBusy;
// Size of the bitmap being filtered; kept after the run.
extern int PictureWidth;
extern int PictureHeight;
// The working pixels and the untouched copy, laid out as Bitmap describes. Full size only
// during a run; 16 bytes each afterwards (empty before the first run).
extern std::vector<std::uint8_t> PixelBuffer;
extern std::vector<std::uint8_t> SourceBuffer;
// Lookup table that each filter fills before it reads it.
extern std::array<std::int32_t, 766> ToneTable;

}  // namespace Filters
