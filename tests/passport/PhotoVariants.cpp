#include "PhotoVariants.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "passport/Framing.h"
#include "passport/Resample.h"

namespace {

using Rgb = std::array<double, 3>;

Rgb channels(std::uint32_t p) {
    return {double(p >> 16 & 0xff), double(p >> 8 & 0xff), double(p & 0xff)};
}

std::uint32_t pack(const Rgb& c) {
    const auto level = [](double v) {
        return std::uint32_t(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    return 0xff000000u | level(c[0]) << 16 | level(c[1]) << 8 | level(c[2]);
}

// The photo at continuous coordinates (pixel centres at .5), bilinear, edges repeated.
Rgb sample(const TestPhoto& photo, double x, double y) {
    x = std::clamp(x - 0.5, 0.0, photo.width - 1.0);
    y = std::clamp(y - 0.5, 0.0, photo.height - 1.0);
    const int x0 = int(x), y0 = int(y);
    const int x1 = std::min(x0 + 1, photo.width - 1), y1 = std::min(y0 + 1, photo.height - 1);
    const double fx = x - x0, fy = y - y0;
    const Rgb a = channels(photo.at(x0, y0)), b = channels(photo.at(x1, y0)),
              c = channels(photo.at(x0, y1)), d = channels(photo.at(x1, y1));
    Rgb out;
    for (std::size_t k = 0; k < 3; ++k) {
        out[k] = (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy;
    }
    return out;
}

template <typename F>
TestPhoto mapped(int width, int height, F pixel) {
    TestPhoto out = uniformPhoto(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.pixels[std::size_t(y) * width + x] = pixel(x, y);
    return out;
}

}  // namespace

TestPhoto scaledBilinear(const TestPhoto& photo, double factor) {
    return mapped(
        int(std::lround(photo.width * factor)), int(std::lround(photo.height * factor)),
        [&](int x, int y) { return pack(sample(photo, (x + 0.5) / factor, (y + 0.5) / factor)); });
}

TestPhoto scaledDownTo(const TestPhoto& photo, int width) {
    const int height = int(std::lround(double(width) * photo.height / photo.width));
    TestPhoto out = uniformPhoto(width, height, 0);
    passport::resampleArea(photo.view(), {0, 0, double(photo.width), double(photo.height)},
                           {out.pixels.data(), width, height, width}, 0xff000000u);
    return out;
}

TestPhoto blurred(const TestPhoto& photo, double sigma) {
    const int radius = int(std::ceil(3 * sigma));
    std::vector<float> kernel(std::size_t(2 * radius + 1));
    float sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += kernel[std::size_t(i + radius)] = float(std::exp(-i * i / (2 * sigma * sigma)));
    for (float& k : kernel) k /= sum;
    // One channel at a time, rows then columns, on float planes.
    const int w = photo.width, h = photo.height;
    std::vector<float> plane(std::size_t(w) * h), across(plane.size());
    TestPhoto out = uniformPhoto(w, h, 0xff000000u);
    for (int shift : {16, 8, 0}) {
        for (std::size_t i = 0; i < plane.size(); ++i)
            plane[i] = float(photo.pixels[i] >> shift & 0xff);
        for (int y = 0; y < h; ++y) {
            const float* in = &plane[std::size_t(y) * w];
            for (int x = 0; x < w; ++x) {
                float acc = 0;
                for (int i = -radius; i <= radius; ++i)
                    acc += kernel[std::size_t(i + radius)] * in[std::clamp(x + i, 0, w - 1)];
                across[std::size_t(y) * w + x] = acc;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float acc = 0;
                for (int i = -radius; i <= radius; ++i)
                    acc += kernel[std::size_t(i + radius)] *
                           across[std::size_t(std::clamp(y + i, 0, h - 1)) * w + x];
                out.pixels[std::size_t(y) * w + x] |=
                    std::uint32_t(std::lround(std::clamp(acc, 0.0f, 255.0f))) << shift;
            }
        }
    }
    return out;
}

TestPhoto greyscale(const TestPhoto& photo) {
    return mapped(photo.width, photo.height, [&](int x, int y) {
        const Rgb c = channels(photo.at(x, y));
        const double l = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
        return pack({l, l, l});
    });
}

TestPhoto rotated(const TestPhoto& photo, double degrees, passport::Point centre) {
    const double a = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a);
    return mapped(photo.width, photo.height, [&](int x, int y) {
        // Where the pixel came from: turned back about the centre.
        const double dx = x + 0.5 - centre.x, dy = y + 0.5 - centre.y;
        return pack(sample(photo, centre.x + c * dx + s * dy, centre.y - s * dx + c * dy));
    });
}

TestPhoto brightened(const TestPhoto& photo, double factor) {
    return mapped(photo.width, photo.height, [&](int x, int y) {
        Rgb c = channels(photo.at(x, y));
        for (double& v : c) v *= factor;
        return pack(c);
    });
}

TestPhoto cut(const TestPhoto& photo, int x, int y, int width, int height) {
    return mapped(width, height, [&](int i, int j) { return photo.at(x + i, y + j); });
}

TestPhoto newBackground(const TestPhoto& photo, const passport::HeadMarks& marks,
                        const std::function<std::uint32_t(int, int)>& paint) {
    // An ellipse a little inside the head's outline: what lies outside it and looks like the
    // old background (light, no colour) is background; the head's skin and hair never do.
    const double jaw =
        std::hypot(marks.rightJaw->x - marks.leftJaw->x, marks.rightJaw->y - marks.leftJaw->y);
    const double cx = passport::faceMidlineX(marks), cy = (marks.crown.y + marks.chin.y) / 2;
    const double rx = 0.45 * jaw, ry = 0.49 * passport::headHeightPixels(marks);
    return mapped(photo.width, photo.height, [&](int x, int y) {
        const std::uint32_t p = photo.at(x, y);
        const Rgb c = channels(p);
        const double ex = (x + 0.5 - cx) / rx, ey = (y + 0.5 - cy) / ry;
        const bool plain = std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) <= 25 &&
                           0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2] >= 170;
        return y < marks.chin.y && ex * ex + ey * ey > 1 && plain ? paint(x, y) : p;
    });
}
