#pragma once

#include <cstdint>

// The colour channels of a 0xffRRGGBB pixel, for the check's measures.
namespace passport::channels {

inline int red(std::uint32_t p) {
    return int(p >> 16 & 0xff);
}
inline int green(std::uint32_t p) {
    return int(p >> 8 & 0xff);
}
inline int blue(std::uint32_t p) {
    return int(p & 0xff);
}
// Rec. 601 luma in 0-255, as JPEG and most sharpness measures use it.
inline double luma(std::uint32_t p) {
    return 0.299 * red(p) + 0.587 * green(p) + 0.114 * blue(p);
}

}  // namespace passport::channels
