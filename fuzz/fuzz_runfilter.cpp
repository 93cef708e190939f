// RunFilter, the flips and Border on small pictures of random pixels, with every command of the
// Edit and Flip menus, checking what each run must keep whatever the pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "filters/EditMenu.h"
#include "filters/Filters.h"

namespace {

using Filters::MemoryBitmap;
namespace Code = Filters::Code;

void check(bool condition) {
    if (!condition) abort();
}

struct Command {
    int code;
    int parameter;
};

// Every Edit command that runs a filter, with the parameter its menu item passes (from the Edit
// menu's table); a code no menu passes; the two flips and Border, marked by negative codes.
constexpr int kFlipHorizontal = -1;
constexpr int kFlipVertical = -2;
constexpr int kBorder = -3;

const std::vector<Command>& commands() {
    static const std::vector<Command> list = [] {
        std::vector<Command> all;
        for (const Filters::EditItem& item : Filters::kEditMenu) {
            if (item.code != 0) all.push_back({item.code, item.parameter});
        }
        all.insert(all.end(), {{99, 0}, {kFlipHorizontal, 0}, {kFlipVertical, 0}, {kBorder, 0}});
        return all;
    }();
    return list;
}

// The random draws of "Add noise" and "Defuse" come from the input, so a saved input
// replays exactly.
class InputRandom final : public Filters::RandomSource {
  public:
    explicit InputRandom(std::uint32_t seed) : state_(seed) {}
    float next() override {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f);
    }

  private:
    std::uint32_t state_;
};

// How far from the edge each filter leaves the pixels as they were.
int untouchedMargin(int code) {
    switch (code) {
        case Code::Sharpen:
        case Code::Blur:
        case Code::Edge:
        case Code::Contour:
        case Code::Relief:
            return 1;
        case Code::Aquarel:
            return 2;
        default:
            return 0;
    }
}

bool keepsUniformPicture(const Command& c, const std::uint8_t* pixel) {
    const bool grey = pixel[0] == pixel[1] && pixel[1] == pixel[2];
    return c.code == Code::Sharpen || c.code == Code::Blur || c.code == Code::Edge ||
           c.code == Code::Aquarel || c.code == 99 || (c.code == Code::Contrast && grey);
}

// What the per-pixel filters must give for one pixel, bytes blue, green, red, fourth.
void checkPixel(const Command& c, const std::uint8_t* in, const std::uint8_t* out) {
    check(out[3] == in[3]);
    switch (c.code) {
        case Code::Negative:
            for (int ch = 0; ch < 3; ++ch) check(out[ch] == 255 - in[ch]);
            break;
        case Code::Grayscale: {
            const int grey = (in[0] + in[1] + in[2]) / 3;
            for (int ch = 0; ch < 3; ++ch) check(out[ch] == grey);
            break;
        }
        case Code::Brightness:
            for (int ch = 0; ch < 3; ++ch)
                check(c.parameter > 0 ? out[ch] >= in[ch] : out[ch] <= in[ch]);
            break;
        case Code::SwapColours: {
            // The old channel (blue 0, green 1, red 2) each new blue, green and red comes from.
            static constexpr int kFrom[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1},
                                                {1, 0, 2}, {2, 1, 0}, {0, 2, 1}};
            for (int ch = 0; ch < 3; ++ch) check(out[ch] == in[kFrom[c.parameter][ch]]);
            break;
        }
        default:
            break;
    }
}

void checkFlip(const MemoryBitmap& before, const MemoryBitmap& after, bool horizontal) {
    const int w = before.width(), h = before.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int ch = 0; ch < 4; ++ch) {
                const int fx = horizontal ? w - 1 - x : x, fy = horizontal ? y : h - 1 - y;
                check(after.at(ch, fx, fy) == before.at(ch, x, y));
            }
}

// The outermost rows and columns black (the fourth byte kept), the inside as it was.
void checkBorder(const MemoryBitmap& before, const MemoryBitmap& after) {
    const int w = before.width(), h = before.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            for (int ch = 0; ch < 3; ++ch)
                check(after.at(ch, x, y) == (edge ? 0 : before.at(ch, x, y)));
            check(after.at(3, x, y) == before.at(3, x, y));
        }
}

void checkRun(const Command& c, const MemoryBitmap& before, const MemoryBitmap& after,
              bool uniform) {
    const int w = before.width(), h = before.height();
    const int margin = untouchedMargin(c.code);
    const bool same = c.code == 99 || (uniform && keepsUniformPicture(c, &before.bytes()[0]));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* in = &before.bytes()[(std::size_t(y) * w + x) * 4];
            const std::uint8_t* out = &after.bytes()[(std::size_t(y) * w + x) * 4];
            const bool edge = x < margin || y < margin || x >= w - margin || y >= h - margin;
            if (same || edge) check(std::memcmp(in, out, 4) == 0);
            checkPixel(c, in, out);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return -1;
    const int width = data[0] % 64 + 1;
    const int height = data[1] % 64 + 1;
    const Command command = commands()[data[2] % commands().size()];
    const bool uniform = data[3] & 0x80;
    // A run abandoned after this many event points (0: never) must leave the photo alone.
    const int abandonAt = (data[3] & 0x70) == 0x70 ? (data[3] & 0x0F) + 1 : 0;
    InputRandom random(std::uint32_t(data[4]) | data[5] << 8 | data[6] << 16 | data[7] << 24);
    data += 8;
    size -= 8;

    MemoryBitmap photo(width, height);
    std::vector<std::uint8_t>& bytes = photo.bytes();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t from = uniform ? i % 4 : i;
        bytes[i] = size == 0 ? 0 : data[from % size];
    }
    const MemoryBitmap before = photo;

    if (command.code == kBorder) {
        Filters::Border(photo);
        checkBorder(before, photo);
        const MemoryBitmap once = photo;
        Filters::Border(photo);  // a second time changes nothing more
        check(photo.bytes() == once.bytes());
        return 0;
    }
    if (command.code == kFlipHorizontal || command.code == kFlipVertical) {
        Filters::FlipHorizontal(photo);
        if (command.code == kFlipVertical) {
            Filters::FlipHorizontal(photo);  // undoes the first: flips keep every pixel
            check(photo.bytes() == before.bytes());
            Filters::FlipVertical(photo);
        }
        checkFlip(before, photo, command.code == kFlipHorizontal);
        return 0;
    }

    int eventPoints = 0;
    Filters::RunHooks hooks;
    hooks.random = &random;
    hooks.processEvents = [&] {
        check(Filters::FilterBusy);
        check(Filters::PixelBuffer.size() == bytes.size());
        check(Filters::SourceBuffer.size() == bytes.size());
        if (eventPoints++ == 0) {
            // A command given while the filter runs finds it busy and changes nothing.
            MemoryBitmap other(2, 2);
            other.bytes().assign(16, 77);
            Filters::RunFilter(Code::Negative, other, 0);
            check(other.bytes() == std::vector<std::uint8_t>(16, 77));
            check(Filters::FilterBusy);
            check(Filters::PixelBuffer.size() == bytes.size());
        }
        return eventPoints != abandonAt;
    };
    Filters::RunFilter(command.code, photo, command.parameter, hooks);

    check(!Filters::FilterBusy);
    check(Filters::PixelBuffer.size() == 16 && Filters::SourceBuffer.size() == 16);
    check(Filters::PictureWidth == width && Filters::PictureHeight == height);
    if (abandonAt != 0 && eventPoints >= abandonAt) {
        check(photo.bytes() == before.bytes());
        return 0;
    }
    checkRun(command, before, photo, uniform);
    return 0;
}
