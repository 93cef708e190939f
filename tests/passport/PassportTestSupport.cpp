#include "PassportTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>
#include <turbojpeg.h>

TestPhoto decodeJpeg(const std::vector<unsigned char>& bytes) {
    TestPhoto photo;
    tjhandle tj = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(tj, bytes.data(), bytes.size(), &width, &height, &subsampling,
                            &colourspace) == 0) {
        photo.pixels.resize(std::size_t(width) * height);
        if (tjDecompress2(tj, bytes.data(), bytes.size(),
                          reinterpret_cast<unsigned char*>(photo.pixels.data()), width, width * 4,
                          height, TJPF_BGRX, TJFLAG_ACCURATEDCT) == 0) {
            photo.width = width;
            photo.height = height;
            for (auto& p : photo.pixels) p |= 0xff000000u;
        } else {
            photo.pixels.clear();
        }
    }
    tjDestroy(tj);
    return photo;
}

TestPhoto facePhoto(const std::string& name) {
    const char* source = std::getenv("PORTRIK_SOURCE_DIR");
    const std::string path = std::string(source ? source : ".") + "/tests/data/faces/" + name;
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    TestPhoto photo = decodeJpeg(bytes);
    EXPECT_GT(photo.width, 0) << path;
    return photo;
}

TestPhoto uniformPhoto(int width, int height, std::uint32_t colour) {
    return {std::vector<std::uint32_t>(std::size_t(width) * height, colour), width, height};
}

TestPhoto halfSize(const TestPhoto& photo) {
    TestPhoto half = uniformPhoto(photo.width / 2, photo.height / 2, 0);
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            std::uint32_t sum[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t p = photo.at(2 * x + k % 2, 2 * y + k / 2);
                for (int c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xff;
            }
            half.pixels[std::size_t(y) * half.width + x] =
                0xff000000u | (sum[2] + 2) / 4 << 16 | (sum[1] + 2) / 4 << 8 | (sum[0] + 2) / 4;
        }
    }
    return half;
}

TestPhoto padded(const TestPhoto& photo, int by, int top) {
    TestPhoto out = uniformPhoto(photo.width + 2 * by, photo.height + by + top, 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.pixels[std::size_t(y) * out.width + x] = photo.at(
                std::clamp(x - by, 0, photo.width - 1), std::clamp(y - top, 0, photo.height - 1));
        }
    }
    return out;
}

TestPhoto mirrored(const TestPhoto& photo) {
    TestPhoto out = photo;
    for (int y = 0; y < photo.height; ++y) {
        auto row = out.pixels.begin() + std::ptrdiff_t(y) * photo.width;
        std::reverse(row, row + photo.width);
    }
    return out;
}

const passport::FaceModel& faceModel() {
    static const std::unique_ptr<passport::FaceModel> model = [] {
        // The model the program itself would load: the prepared one this build made.
        std::string error;
        auto loaded = passport::FaceModel::load(passport::faceModelPath(), &error);
        if (!loaded) {
            ADD_FAILURE() << error;
            std::abort();
        }
        return loaded;
    }();
    return *model;
}
