#pragma once

// The program's one rule for turning a floating-point value into an integer, shared by the
// filters, the view geometry and the start-up drawing.

namespace arithmetic {

// The nearest integer, halfway cases to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Worked out from the truncated value rather than with nearbyint, whose result follows
// whatever rounding mode happens to be set. Without branches: the filters round noisy values
// per pixel, where a branch would be mispredicted half the time. `value` must lie within the
// range of long long.
inline long long roundHalfEven(double value) {
    const auto whole = static_cast<long long>(value);            // toward zero
    const double fraction = value - static_cast<double>(whole);  // exact, -1 < fraction < 1
    const long long odd = whole & 1;
    const long long up = (fraction > 0.5) | ((fraction == 0.5) & odd);
    const long long down = (fraction < -0.5) | ((fraction == -0.5) & odd);
    return whole + up - down;
}

}  // namespace arithmetic
