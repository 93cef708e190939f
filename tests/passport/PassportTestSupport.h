#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "passport/FaceFinder.h"
#include "raster/Pixels.h"

// A photo held as 0xffRRGGBB pixels.
struct TestPhoto {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;

    raster::ConstPixels view() const { return {pixels.data(), width, height, width}; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// tests/data/faces/<name>, decoded.
TestPhoto facePhoto(const std::string& name);
// JPEG bytes decoded; empty photo when they are not a JPEG.
TestPhoto decodeJpeg(const std::vector<unsigned char>& bytes);

TestPhoto uniformPhoto(int width, int height, std::uint32_t colour);
// Each 2 x 2 block averaged into one pixel.
TestPhoto halfSize(const TestPhoto& photo);
// The photo `by` pixels further from the left, right and bottom edges and `top` from the top
// one, the edge pixels repeated outwards.
TestPhoto padded(const TestPhoto& photo, int by, int top);
TestPhoto mirrored(const TestPhoto& photo);

// The face model (the prepared one when the build made it), loaded once for the whole test
// program.
const passport::FaceModel& faceModel();
