#pragma once

// Pictures, scripted draws and a counting event callback for the filter tests. Coordinates are
// 0-based here: "column 3, row 3" of a filter's description is at(…, 2, 2).

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "filters/Filters.h"

namespace filtertest {

// A picture whose pixels are grey (the same value in blue, green and red), given row by row
// from the top, with the fourth byte 0x5A so a filter that touches it shows.
inline Filters::MemoryBitmap fromRows(std::initializer_list<std::vector<int>> rows) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows.begin()->size());
    Filters::MemoryBitmap picture(width, height);
    int y = 0;
    for (const auto& row : rows) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) picture.at(c, x, y) = static_cast<std::uint8_t>(row[x]);
            picture.at(3, x, y) = 0x5A;
        }
        ++y;
    }
    return picture;
}

inline Filters::MemoryBitmap uniform(int width, int height, int b, int g, int r) {
    Filters::MemoryBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.at(0, x, y) = static_cast<std::uint8_t>(b);
            picture.at(1, x, y) = static_cast<std::uint8_t>(g);
            picture.at(2, x, y) = static_cast<std::uint8_t>(r);
            picture.at(3, x, y) = 0x5A;
        }
    }
    return picture;
}

// Every byte, the fourth included, drawn from a seeded engine of the test's own.
inline Filters::MemoryBitmap noise(int width, int height, unsigned seed) {
    Filters::MemoryBitmap picture(width, height);
    std::minstd_rand engine(seed);
    for (auto& byte : picture.bytes()) byte = static_cast<std::uint8_t>(engine() >> 8);
    return picture;
}

// Channel-0 values of row y.
inline std::vector<int> row(const Filters::MemoryBitmap& picture, int y) {
    std::vector<int> values;
    for (int x = 0; x < picture.width(); ++x) values.push_back(picture.at(0, x, y));
    return values;
}

// Hands out a fixed sequence of draws and counts them; past its end it fails the test.
class ScriptedRandom final : public Filters::RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    float next() override {
        if (drawn_ >= values_.size()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0.0f;
        }
        return values_[drawn_++];
    }
    std::size_t drawn() const { return drawn_; }

  private:
    std::vector<float> values_;
    std::size_t drawn_ = 0;
};

// Runs one filter with a callback that counts the event points; returns the count.
inline int runCounting(int code, Filters::Bitmap& picture, int parameter,
                       Filters::RandomSource* random = nullptr) {
    int events = 0;
    Filters::RunHooks hooks;
    hooks.processEvents = [&events] {
        ++events;
        return true;
    };
    hooks.random = random;
    Filters::RunFilter(code, picture, parameter, hooks);
    return events;
}

inline void run(int code, Filters::Bitmap& picture, int parameter,
                Filters::RandomSource* random = nullptr) {
    runCounting(code, picture, parameter, random);
}

}  // namespace filtertest
