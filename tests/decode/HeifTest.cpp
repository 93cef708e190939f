#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "decode/Heif.h"

// x265, which libheif encodes the test pictures with, keeps about a kilobyte per picture until
// the end; the sanitizer build would call that a leak of ours. Only these tests encode.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

namespace {

using FileBytes = std::vector<unsigned char>;

// A picture to encode: 0xAARRGGBB pixels.
struct Source {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    bool alpha = false;
};

constexpr std::uint32_t kRed = 0xffdc1e1e, kGreen = 0xff1ec828, kBlue = 0xff2832d2,
                        kYellow = 0xffe6dc28;

// 64 x 48 with a colour in each quarter, so any turn or mirror shows.
Source quarters() {
    Source source{64, 48, std::vector<std::uint32_t>(64 * 48)};
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            source.pixels[std::size_t(y * 64 + x)] =
                y < 24 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kYellow);
    return source;
}

heif_image* heifImageOf(const Source& source) {
    heif_image* image = nullptr;
    const heif_chroma chroma =
        source.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB;
    heif_image_create(source.width, source.height, heif_colorspace_RGB, chroma, &image);
    heif_image_add_plane(image, heif_channel_interleaved, source.width, source.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < source.height; ++y) {
        std::uint8_t* out = plane + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < source.width; ++x) {
            const std::uint32_t pixel = source.pixels[std::size_t(y * source.width + x)];
            for (int shift : {16, 8, 0}) *out++ = std::uint8_t(pixel >> shift);
            if (source.alpha) *out++ = std::uint8_t(pixel >> 24);
        }
    }
    return image;
}

heif_error appendTo(heif_context*, const void* data, std::size_t size, void* file) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    static_cast<FileBytes*>(file)->insert(static_cast<FileBytes*>(file)->end(), bytes,
                                          bytes + size);
    return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

// The pictures as one HEIF file, losslessly by libheif's HEVC encoder; `primary` names the
// primary one.
FileBytes encodeHeif(const std::vector<Source>& sources, std::size_t primary = 0,
                     int orientation = 1) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_error error =
        heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    EXPECT_EQ(error.code, heif_error_Ok) << error.message;
    heif_encoder_set_lossless(encoder, 1);
    heif_encoding_options* options = heif_encoding_options_alloc();
#if LIBHEIF_HAVE_VERSION(1, 14, 0)
    options->image_orientation = static_cast<heif_orientation>(orientation);
#else
    (void)orientation;
#endif
    std::vector<heif_image_handle*> handles;
    for (const Source& source : sources) {
        heif_image* image = heifImageOf(source);
        heif_image_handle* handle = nullptr;
        error = heif_context_encode_image(context, image, encoder, options, &handle);
        EXPECT_EQ(error.code, heif_error_Ok) << error.message;
        handles.push_back(handle);
        heif_image_release(image);
    }
    heif_context_set_primary_image(context, handles.at(primary));
    FileBytes file;
    heif_writer writer{1, appendTo};
    error = heif_context_write(context, &writer, &file);
    EXPECT_EQ(error.code, heif_error_Ok) << error.message;
    for (heif_image_handle* handle : handles) heif_image_handle_release(handle);
    heif_encoding_options_free(options);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return file;
}

int heifChannelGap(std::uint32_t a, std::uint32_t b) {
    int gap = 0;
    for (int shift = 0; shift < 32; shift += 8)
        gap = std::max(gap, std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)));
    return gap;
}

// The colour in the middle of each quarter: top left, top right, bottom left, bottom right.
std::vector<std::uint32_t> quarterColours(const decode::Image& image) {
    std::vector<std::uint32_t> colours;
    for (int y : {image.height / 4, image.height * 3 / 4})
        for (int x : {image.width / 4, image.width * 3 / 4})
            colours.push_back(image.pixels[std::size_t(y * image.width + x)]);
    return colours;
}

TEST(DecodeHeif, GivesThePictureUpright) {
    const struct {
        const char* what;
        int orientation;
        int width, height;
        std::vector<std::uint32_t> quarters;
    } rows[] = {
        {"as stored", 1, 64, 48, {kRed, kGreen, kBlue, kYellow}},
#if LIBHEIF_HAVE_VERSION(1, 14, 0)
        {"turned a quarter clockwise", 6, 48, 64, {kBlue, kRed, kYellow, kGreen}},
        {"turned a quarter anticlockwise", 8, 48, 64, {kGreen, kYellow, kRed, kBlue}},
        {"mirrored", 2, 64, 48, {kGreen, kRed, kYellow, kBlue}},
#endif
    };
    for (const auto& row : rows) {
        const FileBytes file = encodeHeif({quarters()}, 0, row.orientation);
        const decode::HeifPhoto photo = decode::decodeHeif(file.data(), file.size());
        ASSERT_EQ(photo.problem, "") << row.what;
        EXPECT_EQ(photo.image.width, row.width) << row.what;
        EXPECT_EQ(photo.image.height, row.height) << row.what;
        ASSERT_EQ(photo.image.pixels.size(), std::size_t(row.width * row.height)) << row.what;
        const auto found = quarterColours(photo.image);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_LE(heifChannelGap(found[i], row.quarters[i]), 6)
                << row.what << ", quarter " << i << std::hex << ": 0x" << found[i];
        EXPECT_FALSE(photo.transparent) << row.what;
        EXPECT_TRUE(photo.icc.empty()) << row.what << ": libheif writes sRGB's nclx";
    }
}

TEST(DecodeHeif, TellsTransparency) {
    Source opaque = quarters();
    opaque.alpha = true;
    Source holed = opaque;
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x) holed.pixels[std::size_t(y * 64 + x)] &= 0x00ffffff;
    const struct {
        const char* what;
        Source source;
        bool transparent;
    } rows[] = {
        {"no alpha", quarters(), false},
        {"alpha, all opaque", opaque, false},
        {"alpha with a hole", holed, true},
    };
    for (const auto& row : rows) {
        const FileBytes file = encodeHeif({row.source});
        const decode::HeifPhoto photo = decode::decodeHeif(file.data(), file.size());
        ASSERT_EQ(photo.problem, "") << row.what;
        EXPECT_EQ(photo.transparent, row.transparent) << row.what;
        // Pixels are always opaque; the colour under the hole stays.
        EXPECT_EQ(photo.image.pixels.at(10 * 64 + 10) >> 24, 0xffu) << row.what;
        EXPECT_LE(heifChannelGap(photo.image.pixels.at(10 * 64 + 10), kRed), 6) << row.what;
    }
}

FileBytes firstOf(FileBytes file, std::size_t size) {
    file.resize(size);
    return file;
}

// Damaged, cut-short, oversized and unknown-codec files from real photos are in the tests of
// the photo files (tests/platform); here the limit itself, to the pixel.
TEST(DecodeHeif, RefusesSizesOverTheLimit) {
    const FileBytes good = encodeHeif({quarters()});
    const struct {
        const char* what;
        FileBytes file;
        std::int64_t maxPixels;
        std::string problem;  // empty: decodes
    } rows[] = {
        {"whole", good, decode::kMaxPixels, ""},
        {"exactly at the limit", good, 64 * 48, ""},
        {"one pixel over the limit", good, 64 * 48 - 1,
         "has 3072 pixels; at most 3071 can be loaded"},
        {"empty", FileBytes{}, decode::kMaxPixels, "is damaged or incomplete"},
    };
    for (const auto& row : rows) {
        const decode::HeifPhoto photo =
            decode::decodeHeif(row.file.data(), row.file.size(), row.maxPixels);
        EXPECT_EQ(photo.problem, row.problem) << row.what;
        EXPECT_EQ(photo.image.pixels.empty(), !row.problem.empty()) << row.what;
    }
}

FileBytes ftyp(const char* major, std::vector<const char*> compatible, std::uint8_t size = 0) {
    FileBytes box{0, 0, 0, 0, 'f', 't', 'y', 'p'};
    box.insert(box.end(), major, major + 4);
    box.insert(box.end(), 4, 0);
    for (const char* brand : compatible) box.insert(box.end(), brand, brand + 4);
    box[3] = size ? size : std::uint8_t(box.size());
    return box;
}

TEST(IsHeif, KnowsHeifBrands) {
    const struct {
        const char* what;
        FileBytes bytes;
        bool heif;
    } rows[] = {
        {"heic", ftyp("heic", {"mif1", "heic"}), true},
        {"mif1 only among the compatible", ftyp("isom", {"mp41", "mif1"}), true},
        {"avif", ftyp("avif", {"mif1", "miaf"}), true},
        {"MP4 video", ftyp("isom", {"isom", "mp41"}), false},
        {"brand past the box's end", ftyp("isom", {"heic"}, 16), false},
        {"box too short", ftyp("heic", {}, 12), false},
        {"JPEG", FileBytes{0xff, 0xd8, 0xff, 0xe0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1},
         false},
        {"PNG",
         FileBytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'},
         false},
        {"cut inside the major brand", firstOf(ftyp("heic", {}), 10), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(decode::isHeif(row.bytes.data(), row.bytes.size()), row.heif) << row.what;
}

}  // namespace
