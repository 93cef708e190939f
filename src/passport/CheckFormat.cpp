#include "passport/CheckFormat.h"

#include <charconv>
#include <cmath>

namespace passport::format {

std::string number(double value, int decimals) {
    if (!std::isfinite(value)) return "?";
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string out(text, result.ptr);
    // No "-0.0" for a value that rounds to nothing.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

double shown(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

}  // namespace passport::format
