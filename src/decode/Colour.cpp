#include "decode/Colour.h"

#include <lcms2.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <type_traits>

#include "raster/Threads.h"

namespace decode {

namespace {

// TYPE_BGRA_8 reads bytes B, G, R, A: that is a 0xAARRGGBB pixel only on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

// A colour profile this close to sRGB's changes no pixel by a whole level: it is left alone.
constexpr double kColorantTolerance = 0.002;  // in XYZ, of a colorant's 0..1
constexpr double kCurveTolerance = 0.5;       // in 8-bit levels, after going back through sRGB's

// LittleCMS reports damaged profiles through its context's handler; ours stays quiet and the
// caller gets a problem instead.
void ignoreLcmsError(cmsContext, cmsUInt32Number, const char*) {}

struct ContextFree {
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDelete {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
struct CurveFree {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
struct MluFree {
    void operator()(cmsMLU* mlu) const { cmsMLUfree(mlu); }
};
using Context = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextFree>;
using Profile = std::unique_ptr<void, ProfileClose>;
using Transform = std::unique_ptr<void, TransformDelete>;
using Curve = std::unique_ptr<cmsToneCurve, CurveFree>;
using Mlu = std::unique_ptr<cmsMLU, MluFree>;

Context quietContext() {
    Context context(cmsCreateContext(nullptr, nullptr));
    if (context) cmsSetLogErrorHandlerTHR(context.get(), ignoreLcmsError);
    return context;
}

std::string description(cmsHPROFILE profile) {
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    text[sizeof text - 1] = '\0';
    std::string name = text;
    while (!name.empty() && (name.back() == ' ' || name.back() == '\n')) name.pop_back();
    return name.empty() ? "unnamed profile" : name;
}

std::string spaceName(cmsColorSpaceSignature space) {
    switch (space) {
        case cmsSigGrayData:
            return "grey";
        case cmsSigCmykData:
            return "CMYK";
        case cmsSigLabData:
            return "Lab";
        case cmsSigXYZData:
            return "XYZ";
        case cmsSigYCbCrData:
            return "YCbCr";
        default:
            return "other";
    }
}

bool sameColorants(cmsHPROFILE profile, cmsHPROFILE srgb) {
    for (cmsTagSignature tag :
         {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
        const auto* a = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag));
        const auto* b = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, tag));
        if (!a || !b) return false;
        if (std::abs(a->X - b->X) > kColorantTolerance ||
            std::abs(a->Y - b->Y) > kColorantTolerance ||
            std::abs(a->Z - b->Z) > kColorantTolerance)
            return false;
    }
    return true;
}

// Every level through the profile's curve and back through sRGB's lands on itself.
bool sameCurves(cmsHPROFILE profile, const cmsToneCurve* srgbBack) {
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
        if (!curve) return false;
        for (int level = 0; level < 256; ++level) {
            const float linear = cmsEvalToneCurveFloat(curve, level / 255.0f);
            const float back = cmsEvalToneCurveFloat(srgbBack, linear) * 255.0f;
            if (!(std::abs(back - level) <= kCurveTolerance)) return false;
        }
    }
    return true;
}

// Profiles that carry tables for the perceptual intent are converted whatever their matrix
// says: the tables are what LittleCMS would use.
bool isSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
    if (!cmsIsMatrixShaper(profile) || cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT))
        return false;
    if (!sameColorants(profile, srgb)) return false;
    const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
    if (!srgbCurve) return false;
    const Curve back(cmsReverseToneCurve(srgbCurve));
    return back && sameCurves(profile, back.get());
}

// LittleCMS opens a profile cut short and just drops the tags that are missing; whatever
// was left could give colours nobody meant. The header gives the whole profile's size.
bool isCut(const unsigned char* icc, std::size_t size) {
    if (size < 4) return true;
    const std::size_t whole =
        std::size_t(icc[0]) << 24 | std::size_t(icc[1]) << 16 | std::size_t(icc[2]) << 8 | icc[3];
    return whole > size;
}

bool usableClass(cmsProfileClassSignature profileClass) {
    return profileClass == cmsSigDisplayClass || profileClass == cmsSigInputClass ||
           profileClass == cmsSigOutputClass || profileClass == cmsSigColorSpaceClass;
}

// `row` called on every row, the rows spread over `threads` threads in bands.
template <typename Row>
void forEachRow(const raster::Pixels& pixels, int threads, const Row& row) {
    auto band = [&](int first, int last) {
        for (int y = first; y < last; ++y) row(pixels.pixels + std::ptrdiff_t(y) * pixels.stride);
    };
    if (threads <= 0) threads = raster::photoThreads();
    threads = std::clamp(threads, 1, pixels.height);
    std::vector<std::thread> workers;
    workers.reserve(std::size_t(threads - 1));
    for (int i = 1; i < threads; ++i) {
        const int first = int(std::int64_t(pixels.height) * i / threads);
        const int last = int(std::int64_t(pixels.height) * (i + 1) / threads);
        // No thread to be had: this one does the band itself.
        try {
            workers.emplace_back(band, first, last);
        } catch (const std::system_error&) {
            band(first, last);
        }
    }
    band(0, pixels.height / threads);
    for (std::thread& worker : workers) worker.join();
}

// A profile of three curves and a matrix (every camera and phone profile: Display P3, Adobe
// RGB) converted to sRGB as LittleCMS converts it, from tables LittleCMS fills: each channel's
// curve to linear light at its 256 levels, the profile's colorants taken to sRGB's (both in
// the profiles' D50 connection space), and sRGB's curve at 4096 steps of linear light. Three
// times as fast as LittleCMS's own 8-bit transform, within one level of it.
struct MatrixShaper {
    float linear[3][256];
    float matrix[3][3];
    std::uint8_t encoded[4096];

    void convert(std::uint32_t* row, int width) const {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            const float in[3] = {linear[0][p >> 16 & 0xff], linear[1][p >> 8 & 0xff],
                                 linear[2][p & 0xff]};
            std::uint32_t out = 0xff000000u;
            for (int c = 0; c < 3; ++c) {
                const float v = matrix[c][0] * in[0] + matrix[c][1] * in[1] + matrix[c][2] * in[2];
                // Written so that a NaN (from a hostile profile's curves) comes out black.
                const float clipped = !(v > 0) ? 0 : v < 1 ? v : 1;
                out |= std::uint32_t(encoded[int(clipped * 4095 + 0.5f)]) << (16 - 8 * c);
            }
            row[x] = out;
        }
    }
};

bool matrixShaperOf(cmsHPROFILE profile, cmsHPROFILE srgb, MatrixShaper& shaper) {
    if (!cmsIsMatrixShaper(profile) || cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT))
        return false;
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                          cmsSigBlueColorantTag};
    double from[3][3], to[3][3];  // columns: the colorants' XYZ
    for (int c = 0; c < 3; ++c) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curves[c]));
        const auto* a = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, colorants[c]));
        const auto* b = static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, colorants[c]));
        if (!curve || !a || !b) return false;
        for (int level = 0; level < 256; ++level) {
            const float v = cmsEvalToneCurveFloat(curve, level / 255.0f);
            shaper.linear[c][level] = std::isfinite(v) ? v : 0;
        }
        from[0][c] = a->X, from[1][c] = a->Y, from[2][c] = a->Z;
        to[0][c] = b->X, to[1][c] = b->Y, to[2][c] = b->Z;
    }
    // sRGB's colorants inverted (their cofactors over the determinant), after the profile's.
    const double det = to[0][0] * (to[1][1] * to[2][2] - to[1][2] * to[2][1]) -
                       to[0][1] * (to[1][0] * to[2][2] - to[1][2] * to[2][0]) +
                       to[0][2] * (to[1][0] * to[2][1] - to[1][1] * to[2][0]);
    if (!(std::abs(det) > 1e-9)) return false;
    double inverse[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inverse[r][c] = (to[r1][c1] * to[r2][c2] - to[r1][c2] * to[r2][c1]) / det;
        }
    }
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += inverse[r][k] * from[k][c];
            if (!std::isfinite(sum)) return false;
            shaper.matrix[r][c] = float(sum);
        }
    }
    const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
    if (!srgbCurve) return false;
    const Curve back(cmsReverseToneCurve(srgbCurve));
    if (!back) return false;
    for (int step = 0; step < 4096; ++step) {
        const float v = cmsEvalToneCurveFloat(back.get(), step / 4095.0f);
        shaper.encoded[step] = std::uint8_t(std::lround((!(v > 0) ? 0 : v < 1 ? v : 1) * 255));
    }
    return true;
}

// The nclx codes this program knows, from ITU-T H.273.
struct Primaries {
    int code;
    const char* name;
    int naturalTransfer;  // the curve that usually goes with them: no need to name it
    cmsCIExyY white;
    cmsCIExyYTRIPLE rgb;
};
constexpr cmsCIExyY kD65 = {0.3127, 0.3290, 1.0};
constexpr cmsCIExyYTRIPLE kP3 = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
constexpr cmsCIExyYTRIPLE kSmpteC = {{0.630, 0.340, 1.0}, {0.310, 0.595, 1.0}, {0.155, 0.070, 1.0}};
constexpr cmsCIExyYTRIPLE kPal = {{0.640, 0.330, 1.0}, {0.290, 0.600, 1.0}, {0.150, 0.060, 1.0}};
constexpr Primaries kPrimaries[] = {
    {1, "BT.709", 1, kD65, {{0.640, 0.330, 1.0}, {0.300, 0.600, 1.0}, {0.150, 0.060, 1.0}}},
    {5, "BT.601 (625 lines)", 1, kD65, kPal},
    {6, "BT.601 (525 lines)", 1, kD65, kSmpteC},
    {7, "SMPTE 240M", 1, kD65, kSmpteC},
    {9, "BT.2020", 1, kD65, {{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}}},
    {11, "DCI-P3", 13, {0.314, 0.351, 1.0}, kP3},
    {12, "Display P3", 13, kD65, kP3},
};

// Curves as LittleCMS parametric curves: type 1 is a plain power, type 4 a power with a
// straight part near black (sRGB's shape).
struct Transfer {
    int code;
    const char* name;
    int type;
    double parameters[5];
};
constexpr Transfer kTransfers[] = {
    {13, "sRGB curve", 4, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045}},
    {1, "BT.709 curve", 4, {1 / 0.45, 1 / 1.099, 0.099 / 1.099, 1 / 4.5, 0.081}},
    {4, "gamma 2.2", 1, {2.2}},
    {5, "gamma 2.8", 1, {2.8}},
    {8, "linear", 1, {1.0}},
};

constexpr int kUnspecified = 2;
constexpr int kSrgbPrimaries = 1;
constexpr int kSrgbTransfer = 13;

template <typename Row, std::size_t n>
const Row* findCode(const Row (&rows)[n], int code) {
    for (const Row& row : rows)
        if (row.code == code) return &row;
    return nullptr;
}

std::vector<unsigned char> saveProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size) || size == 0) return {};
    std::vector<unsigned char> bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) return {};
    bytes.resize(size);
    return bytes;
}

}  // namespace

std::vector<unsigned char> profileFromNclx(int primaries, int transfer) {
    // Unspecified parts are sRGB's, as for a photo that says nothing at all.
    if (primaries == kUnspecified) primaries = kSrgbPrimaries;
    if (transfer == kUnspecified) transfer = kSrgbTransfer;
    // BT.601 and the 10- and 12-bit BT.2020 codes name the BT.709 curve again.
    if (transfer == 6 || transfer == 14 || transfer == 15) transfer = 1;
    if (primaries == kSrgbPrimaries && transfer == kSrgbTransfer) return {};
    const Primaries* p = findCode(kPrimaries, primaries);
    const Transfer* t = findCode(kTransfers, transfer);
    if (!p || !t) return {};

    const Context context = quietContext();
    if (!context) return {};
    const Curve curve(cmsBuildParametricToneCurve(context.get(), t->type, t->parameters));
    if (!curve) return {};
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    const Profile profile(cmsCreateRGBProfileTHR(context.get(), &p->white, &p->rgb, curves));
    if (!profile) return {};

    // Named as people know it, so the caller can say which colours the photo was in.
    std::string name = p->name;
    if (transfer != p->naturalTransfer) name += std::string(", ") + t->name;
    const Mlu text(cmsMLUalloc(context.get(), 1));
    if (!text || !cmsMLUsetASCII(text.get(), "en", "US", name.c_str()) ||
        !cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, text.get()))
        return {};
    return saveProfile(profile.get());
}

ColourResult convertToSrgb(const raster::Pixels& pixels, const unsigned char* icc,
                           std::size_t iccSize, int threads) {
    ColourResult result{"sRGB", false, {}};
    if (!icc || iccSize == 0) return result;
    const Context context = quietContext();
    if (!context || iccSize > std::numeric_limits<cmsUInt32Number>::max()) {
        result.problem = "has a colour profile that cannot be used";
        return result;
    }
    const Profile profile(cmsOpenProfileFromMemTHR(context.get(), icc, cmsUInt32Number(iccSize)));
    if (!profile || isCut(icc, iccSize)) {
        result.problem = "has a damaged colour profile";
        return result;
    }
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
    if (space != cmsSigRgbData) {
        result.problem = "has a colour profile for " + spaceName(space) + " pictures, not RGB";
        return result;
    }
    if (!usableClass(cmsGetDeviceClass(profile.get()))) {
        result.problem = "has a colour profile that cannot be used";
        return result;
    }
    const Profile srgb(cmsCreate_sRGBProfileTHR(context.get()));
    if (!srgb) {
        result.problem = "has a colour profile that cannot be used";
        return result;
    }
    if (isSrgb(profile.get(), srgb.get())) {
        result.profile = description(profile.get());
        return result;
    }
    result.profile = description(profile.get());
    const bool hasPixels = pixels.pixels && pixels.width > 0 && pixels.height > 0;
    if (auto shaper = std::make_unique<MatrixShaper>(); matrixShaperOf(profile.get(), srgb.get(), *shaper)) {
        if (hasPixels) {
            forEachRow(pixels, threads, [&](std::uint32_t* row) { shaper->convert(row, pixels.width); });
            result.converted = true;
        }
        return result;
    }
    const Transform transform(cmsCreateTransformTHR(context.get(), profile.get(), TYPE_BGRA_8,
                                                    srgb.get(), TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                                    cmsFLAGS_COPY_ALPHA));
    if (!transform) {
        result.profile = "sRGB";
        result.problem = "has a damaged colour profile";
        return result;
    }
    if (hasPixels) {
        // One transform serves every thread: since LittleCMS 2.3 each cmsDoTransform works on
        // its own copy of the transform's one-pixel cache, so sharing it only reads.
        forEachRow(pixels, threads, [&](std::uint32_t* row) {
            cmsDoTransform(transform.get(), row, row, cmsUInt32Number(pixels.width));
        });
        result.converted = true;
    }
    return result;
}

}  // namespace decode
