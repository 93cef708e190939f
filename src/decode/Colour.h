#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "raster/Pixels.h"

namespace decode {

struct ColourResult {
    // The profile's own description ("Display P3", "Adobe RGB (1998)", "sRGB IEC61966-2.1");
    // "sRGB" when there was none, or when it could not be used.
    std::string profile;
    // The pixels were changed.
    bool converted = false;
    // Non-empty when the profile could not be used (damaged, not RGB, ...), for people, to
    // follow the file's name ("has a damaged colour profile"): the pixels are left as they
    // were, read as sRGB.
    std::string problem;
};

// The pixels converted in place from the colour space of the ICC profile `icc` to sRGB,
// perceptual intent, with LittleCMS. No profile, or one that is sRGB already (same primaries,
// white and curves within a tiny tolerance), changes nothing (converted=false) and costs next
// to nothing. Spreads the rows over `threads` threads (0: std::thread::hardware_concurrency()).
ColourResult convertToSrgb(const raster::Pixels& pixels, const unsigned char* icc,
                           std::size_t iccSize, int threads = 0);

// An ICC profile (bytes) for an nclx colour description (ITU-T H.273 colour_primaries and
// transfer_characteristics codes): primaries 1 (BT.709/sRGB), 5 (BT.601 625 lines), 6 and 7
// (BT.601 525 lines), 9 (BT.2020), 11 (DCI-P3), 12 (Display P3); transfer 1/6/14/15 (BT.709
// curve), 13 (sRGB), 4/5 (gamma 2.2/2.8), 8 (linear); 2 (unspecified) for either counts as
// sRGB's. Empty when the combination is sRGB already or unknown (then treat it as sRGB).
std::vector<unsigned char> profileFromNclx(int primaries, int transfer);

}  // namespace decode
