#pragma once

#include <cstdint>
#include <functional>

#include "PassportTestSupport.h"
#include "passport/HeadMarks.h"

// Photos changed the way a camera, a careless photographer or an editor changes them, to
// break one rule of the counter photo at a time.

// Bilinear enlargement (or reduction) by `factor`.
TestPhoto scaledBilinear(const TestPhoto& photo, double factor);
// Reduction by area averaging to `width` pixels across (the height in proportion).
TestPhoto scaledDownTo(const TestPhoto& photo, int width);
// A Gaussian blur of `sigma` pixels, the edge pixels repeated outwards.
TestPhoto blurred(const TestPhoto& photo, double sigma);
// Rec. 601 luma in all three channels.
TestPhoto greyscale(const TestPhoto& photo);
// Turned by `degrees` (clockwise as seen) about `centre`, bilinear, the edges repeated outwards.
TestPhoto rotated(const TestPhoto& photo, double degrees, passport::Point centre);
// Each channel times `factor`, clipped at 255.
TestPhoto brightened(const TestPhoto& photo, double factor);
// The part (x, y, width, height) of the photo.
TestPhoto cut(const TestPhoto& photo, int x, int y, int width, int height);
// A new background behind the head: every light, colourless pixel above the chin and outside
// an ellipse round the head (its marks) gets `paint(x, y)`.
TestPhoto newBackground(const TestPhoto& photo, const passport::HeadMarks& marks,
                        const std::function<std::uint32_t(int, int)>& paint);
