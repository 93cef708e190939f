#include "filters/Filters.h"

#include <cstring>

#include "filters/FilterSteps.h"

namespace Filters {

bool FilterBusy = false;
int PictureWidth = 0;
int PictureHeight = 0;
std::vector<std::uint8_t> PixelBuffer;
std::vector<std::uint8_t> SourceBuffer;
std::array<std::int32_t, 766> ToneTable{};

namespace {

// The hooks of the run in progress, and whether its callback asked to stop.
const RunHooks* currentHooks = nullptr;
bool abandoned = false;

// Ends a run on every path out of RunFilter: the memory of the picture goes back at once, and
// the next command may start a filter again.
class RunScope {
  public:
    explicit RunScope(const RunHooks& hooks) {
        FilterBusy = true;
        currentHooks = &hooks;
        abandoned = false;
    }
    ~RunScope() {
        std::vector<std::uint8_t>(16).swap(PixelBuffer);
        std::vector<std::uint8_t>(16).swap(SourceBuffer);
        currentHooks = nullptr;
        FilterBusy = false;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
};

void runSelected(int code, int parameter) {
    using namespace detail;
    switch (code) {
        case Code::Sharpen:
            SharpenFilter(parameter);
            break;
        case Code::Negative:
            NegativeFilter();
            break;
        case Code::Blur:
            BlurFilter();
            break;
        case Code::Diffuse:
            DiffuseFilter(parameter);
            break;
        case Code::Edge:
            EdgeFilter(parameter);
            break;
        case Code::Contour:
            ContourFilter(parameter);
            break;
        case Code::Grayscale:
            GrayscaleFilter();
            break;
        case Code::Relief:
            ReliefFilter();
            break;
        case Code::Brightness:
            BrightnessFilter(parameter);
            break;
        case Code::Pixelize:
            PixelizeFilter(parameter);
            break;
        case Code::SwapColours:
            SwapColoursFilter(parameter);
            break;
        case Code::Contrast:
            ContrastFilter(parameter);
            break;
        case Code::Scattered:
            ScatteredFilter(parameter);
            break;
        case Code::Aquarel:
            AquarelFilter();
            break;
        case Code::AddNoise:
            AddNoiseFilter(parameter);
            break;
        default:
            break;  // no filter: the pixels go back as they came
    }
}

}  // namespace

void RunFilter(int FilterCode, Bitmap& bitmap, int FilterParameter, const RunHooks& hooks) {
    // A command given during another run's event processing finds the module busy.
    if (FilterBusy) return;
    RunScope run(hooks);
    PictureWidth = bitmap.width();
    PictureHeight = bitmap.height();
    if (PictureWidth < 1 || PictureHeight < 1) return;

    const std::size_t size = static_cast<std::size_t>(PictureWidth) * PictureHeight * 4;
    PixelBuffer.assign(size, 0);
    SourceBuffer.assign(size, 0);
    if (!bitmap.readPixels(PixelBuffer.data(), PictureWidth, PictureHeight)) return;
    SourceBuffer = PixelBuffer;

    runSelected(FilterCode, FilterParameter);

    // An abandoned run (the program is ending) leaves the photo as it was.
    if (!abandoned) bitmap.writePixels(PixelBuffer.data(), PictureWidth, PictureHeight);
}

void SplitColour(int colour, int& red, int& green, int& blue) {
    // The remainder keeps the sign of colour, as the colour value's low byte did.
    red = colour % 256;
    green = (colour >> 8) & 255;
    blue = (colour >> 16) & 255;
}

MemoryBitmap::MemoryBitmap(int width, int height)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      bytes_(static_cast<std::size_t>(width_) * height_ * 4, 0) {}

bool MemoryBitmap::readPixels(std::uint8_t* pixels, int width, int height) const {
    if (width != width_ || height != height_) return false;
    if (!bytes_.empty()) std::memcpy(pixels, bytes_.data(), bytes_.size());
    return true;
}

bool MemoryBitmap::writePixels(const std::uint8_t* pixels, int width, int height) {
    if (width != width_ || height != height_) return false;
    if (!bytes_.empty()) std::memcpy(bytes_.data(), pixels, bytes_.size());
    return true;
}

namespace detail {

bool rowDone() {
    if (abandoned) return false;
    if (currentHooks && currentHooks->processEvents && !currentHooks->processEvents()) {
        abandoned = true;
    }
    return !abandoned;
}

RandomSource& random() {
    if (currentHooks && currentHooks->random) return *currentHooks->random;
    return processRandom();
}

void fillGreyTable() {
    for (int k = 0; k < static_cast<int>(ToneTable.size()); ++k) ToneTable[k] = k / 3;
}

int meanGrey() {
    long long sum = 0;
    for (std::size_t i = 0; i < SourceBuffer.size(); i += 4) {
        sum += ToneTable[SourceBuffer[i] + SourceBuffer[i + 1] + SourceBuffer[i + 2]];
    }
    return static_cast<int>(sum / (static_cast<long long>(PictureWidth) * PictureHeight));
}

}  // namespace detail

}  // namespace Filters
