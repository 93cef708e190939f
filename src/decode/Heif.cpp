#include "decode/Heif.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <string_view>

#include "decode/Colour.h"
#include "raster/Threads.h"

namespace decode {

namespace {

const char* const kDamaged = "is damaged or incomplete";

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct NclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Picture = std::unique_ptr<heif_image, ImageRelease>;
using Nclx = std::unique_ptr<heif_color_profile_nclx, NclxFree>;

// libheif counts who uses it. One lasting count keeps its decoders ready for the whole run: no
// photo pays for setting them up again, and a heif_deinit elsewhere cannot take them away.
void keepLibheifReady() {
    static const heif_error ready = heif_init(nullptr);
    (void)ready;
}

// The brands of the leading 'ftyp' box: the major one, then the compatible ones.
std::vector<std::string_view> brandsOf(const unsigned char* data, std::size_t size) {
    if (!data || size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return {};
    std::size_t boxSize = std::size_t(data[0]) << 24 | std::size_t(data[1]) << 16 |
                          std::size_t(data[2]) << 8 | data[3];
    if (boxSize == 0) boxSize = size;  // a box that runs to the end of the file
    // Too short for a major brand and version; 1 (a 64-bit size) is never used for 'ftyp'.
    if (boxSize < 16) return {};
    boxSize = std::min(boxSize, size);
    auto brandAt = [&](std::size_t at) {
        return std::string_view(reinterpret_cast<const char*>(data + at), 4);
    };
    std::vector<std::string_view> brands{brandAt(8)};
    for (std::size_t at = 16; at + 4 <= boxSize; at += 4) brands.push_back(brandAt(at));
    return brands;
}

bool hasBrand(const std::vector<std::string_view>& brands,
              std::initializer_list<std::string_view> wanted) {
    return std::any_of(brands.begin(), brands.end(), [&](std::string_view brand) {
        return std::find(wanted.begin(), wanted.end(), brand) != wanted.end();
    });
}

// The codec the file's brands promise, to name it when it cannot be decoded.
std::string codecOf(const unsigned char* data, std::size_t size) {
    const auto brands = brandsOf(data, size);
    if (hasBrand(brands, {"avif", "avis"})) return "AV1";
    if (hasBrand(brands, {"heic", "heix", "heim", "heis", "hevc", "hevx"})) return "HEVC";
    if (hasBrand(brands, {"j2ki", "j2is"})) return "JPEG 2000";
    if (hasBrand(brands, {"vvic", "vvis"})) return "VVC";
    return {};
}

std::string problemFor(const heif_error& error, const unsigned char* data, std::size_t size) {
    // What libheif lacks a decoder for, or a part of the format it does not know.
    if (error.code == heif_error_Unsupported_feature ||
        error.code == heif_error_Plugin_loading_error) {
        const std::string codec = codecOf(data, size);
        return "uses a codec Portrik cannot decode" + (codec.empty() ? "" : " (" + codec + ")");
    }
    return kDamaged;
}

// Rounded so that the two never read the same: the photo up, the limit down.
std::string sizeProblem(std::int64_t pixels, std::int64_t maxPixels) {
    constexpr std::int64_t kMega = 1'000'000;
    if (maxPixels >= kMega)
        return "has " + std::to_string((pixels + kMega - 1) / kMega) + " megapixels; at most " +
               std::to_string(maxPixels / kMega) + " can be loaded";
    return "has " + std::to_string(pixels) + " pixels; at most " +
           std::to_string(std::max<std::int64_t>(maxPixels, 0)) + " can be loaded";
}

// The size the decoder really makes: before the crop (the 'ispe' size), and after the turn.
std::int64_t pixelsToDecode(const heif_image_handle* handle) {
    const std::int64_t shown =
        std::int64_t(heif_image_handle_get_width(handle)) * heif_image_handle_get_height(handle);
    const std::int64_t stored = std::int64_t(heif_image_handle_get_ispe_width(handle)) *
                                heif_image_handle_get_ispe_height(handle);
    return std::max(shown, stored);
}

// Interleaved 8-bit RGB or RGBA rows into 0xffRRGGBB pixels; an empty string when it worked.
std::string copyPixels(const heif_image* image, heif_chroma chroma, std::int64_t maxPixels,
                       HeifPhoto& photo) {
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int channels = chroma == heif_chroma_interleaved_RGBA ? 4 : 3;
    if (!plane || width <= 0 || height <= 0 || heif_image_get_chroma_format(image) != chroma ||
        heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8)
        return kDamaged;
    // The stream may hold a bigger picture than the file's header said.
    if (std::int64_t(width) * height > maxPixels)
        return sizeProblem(std::int64_t(width) * height, maxPixels);
    if (stride < width * channels) return kDamaged;

    photo.image.width = width;
    photo.image.height = height;
    photo.image.pixels.resize(std::size_t(width) * std::size_t(height));
    std::uint32_t* out = photo.image.pixels.data();
    bool opaque = true;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < width; ++x, in += channels) {
            *out++ = 0xff000000u | std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 8 | in[2];
            if (channels == 4) opaque &= in[3] == 255;
        }
    }
    photo.transparent = !opaque;
    return {};
}

// The ICC profile as stored, or one made from the nclx codes; empty when there is neither.
std::vector<unsigned char> profileOf(const heif_image_handle* handle) {
    switch (heif_image_handle_get_color_profile_type(handle)) {
        case heif_color_profile_type_rICC:
        case heif_color_profile_type_prof: {
            std::vector<unsigned char> icc(heif_image_handle_get_raw_color_profile_size(handle));
            if (icc.empty() ||
                heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
                return {};
            return icc;
        }
        case heif_color_profile_type_nclx: {
            heif_color_profile_nclx* raw = nullptr;
            const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
            const Nclx nclx(raw);
            if (error.code != heif_error_Ok || !nclx) return {};
            return profileFromNclx(nclx->color_primaries, nclx->transfer_characteristics);
        }
        default:
            return {};
    }
}

void decodeInto(HeifPhoto& photo, const unsigned char* data, std::size_t size,
                std::int64_t maxPixels) {
    keepLibheifReady();
    const Context context(heif_context_alloc());
    if (!context) {
        photo.problem = kDamaged;
        return;
    }
    // libheif decodes a photo's tiles on threads of its own; a worker of a run of many keeps
    // its photo to its thread.
    if (raster::tPhotoThreads > 0)
        heif_context_set_max_decoding_threads(context.get(), raster::tPhotoThreads);
    heif_error error =
        heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr);
    if (error.code != heif_error_Ok) {
        photo.problem = problemFor(error, data, size);
        return;
    }
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    const Handle handle(rawHandle);
    if (error.code != heif_error_Ok || !handle) {
        photo.problem = problemFor(error, data, size);
        return;
    }
    const std::int64_t pixels = pixelsToDecode(handle.get());
    if (pixels <= 0) {
        photo.problem = kDamaged;
        return;
    }
    if (pixels > maxPixels) {
        photo.problem = sizeProblem(pixels, maxPixels);
        return;
    }

    // Decoded with libheif's default options, which turn and mirror the picture upright
    // (iPhones store the photo turned; libheif turns it upright).
    const heif_chroma chroma = heif_image_handle_has_alpha_channel(handle.get())
                                   ? heif_chroma_interleaved_RGBA
                                   : heif_chroma_interleaved_RGB;
    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, chroma, nullptr);
    const Picture image(rawImage);
    if (error.code != heif_error_Ok || !image) {
        photo.problem = problemFor(error, data, size);
        return;
    }
    photo.problem = copyPixels(image.get(), chroma, maxPixels, photo);
    if (photo.problem.empty()) photo.icc = profileOf(handle.get());
}

}  // namespace

bool isHeif(const unsigned char* data, std::size_t size) {
    return hasBrand(brandsOf(data, size),
                    {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif"});
}

HeifPhoto decodeHeif(const unsigned char* data, std::size_t size, std::int64_t maxPixels) {
    HeifPhoto photo;
    if (!data || size == 0) {
        photo.problem = kDamaged;
        return photo;
    }
    try {
        decodeInto(photo, data, size, maxPixels);
    } catch (const std::bad_alloc&) {
        photo = HeifPhoto{};
        photo.problem = "needs more memory than is free";
    } catch (...) {
        photo = HeifPhoto{};
        photo.problem = kDamaged;
    }
    // A photo with a problem carries no pixels, so no caller shows half of one.
    if (!photo.problem.empty()) photo.image = Image{};
    return photo;
}

}  // namespace decode
