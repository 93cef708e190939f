#include "decode/Exif.h"

#include <cstdint>
#include <cstring>

namespace decode {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

// Reads 16- and 32-bit numbers of either byte order, at offsets already checked against the
// block's end.
struct Reader {
    const unsigned char* data;
    std::size_t size;
    bool bigEndian;

    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size && length <= size - offset;
    }
    std::uint32_t u16(std::size_t at) const {
        return bigEndian ? (data[at] << 8 | data[at + 1]) : (data[at + 1] << 8 | data[at]);
    }
    std::uint32_t u32(std::size_t at) const {
        return bigEndian ? (u16(at) << 16 | u16(at + 2)) : (u16(at + 2) << 16 | u16(at));
    }
};

std::uint32_t bigEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

using Block = std::pair<const unsigned char*, std::size_t>;

// PNG: the signature, then chunks of length (big-endian), type, data and CRC. eXIf may come
// before or after the picture data, so the whole file is walked.
Block pngExif(const unsigned char* data, std::size_t size) {
    std::size_t at = 8;
    while (size - at >= 12) {
        const std::size_t length = bigEndian32(data + at);
        const unsigned char* type = data + at + 4;
        if (length > size - at - 12) break;  // cut short
        if (std::memcmp(type, "eXIf", 4) == 0) return {data + at + 8, length};
        if (std::memcmp(type, "IEND", 4) == 0) break;
        at += 12 + length;
    }
    return {nullptr, 0};
}

// WebP: "RIFF", the size of what follows, "WEBP", then chunks of type, size (little-endian)
// and data padded to an even length.
Block webpExif(const unsigned char* data, std::size_t size) {
    const std::size_t riffEnd = std::size_t(littleEndian32(data + 4)) + 8;
    const std::size_t end = riffEnd < size ? riffEnd : size;
    std::size_t at = 12;
    while (end >= at && end - at >= 8) {
        const std::size_t length = littleEndian32(data + at + 4);
        if (length > end - at - 8) break;  // cut short
        if (std::memcmp(data + at, "EXIF", 4) == 0) return {data + at + 8, length};
        at += 8 + length + (length & 1);
    }
    return {nullptr, 0};
}

// The index of a pixel of the stored picture for the upright one: start + x * acrossX +
// y * acrossY, for the upright picture's (x, y).
struct Walk {
    std::ptrdiff_t start, acrossX, acrossY;
    bool swapsSides;
};

Walk walkFor(const raster::ConstPixels& in, int orientation) {
    const std::ptrdiff_t w = in.width, h = in.height, s = in.stride;
    switch (orientation) {
        case 2:
            return {w - 1, -1, s, false};  // mirror left to right
        case 3:
            return {(h - 1) * s + w - 1, -1, -s, false};  // turn half round
        case 4:
            return {(h - 1) * s, 1, -s, false};  // mirror top to bottom
        case 5:
            return {0, s, 1, true};  // mirror about the main diagonal
        case 6:
            return {(h - 1) * s, -s, 1, true};  // turn a quarter clockwise
        case 7:
            return {(h - 1) * s + w - 1, -s, -1, true};  // mirror about the other diagonal
        case 8:
            return {w - 1, s, -1, true};  // turn a quarter anticlockwise
        default:
            return {0, 1, s, false};
    }
}

}  // namespace

int exifOrientation(const unsigned char* data, std::size_t size) {
    if (!data) return 1;
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
        data += 6;
        size -= 6;
    }
    if (size < 8) return 1;
    const bool little = std::memcmp(data, "II*\0", 4) == 0;
    const bool big = std::memcmp(data, "MM\0*", 4) == 0;
    if (!little && !big) return 1;
    const Reader read{data, size, big};
    // The first directory holds the orientation of the main picture.
    const std::size_t directory = read.u32(4);
    if (!read.has(directory, 2)) return 1;
    const std::size_t entries = read.u16(directory);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * 12;
        if (!read.has(entry, 12)) return 1;
        if (read.u16(entry) != kOrientationTag) continue;
        // A SHORT with one value sits in the first two bytes of the value field.
        if (read.u16(entry + 2) != kShortType || read.u32(entry + 4) < 1) return 1;
        const std::uint32_t orientation = read.u16(entry + 8);
        return orientation >= 1 && orientation <= 8 ? int(orientation) : 1;
    }
    return 1;
}

std::pair<const unsigned char*, std::size_t> exifBlockOf(const unsigned char* data,
                                                         std::size_t size) {
    if (!data) return {nullptr, 0};
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0) return pngExif(data, size);
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return webpExif(data, size);
    return {nullptr, 0};
}

Image upright(const raster::ConstPixels& image, int orientation) {
    Image out;
    if (!image.pixels || image.width <= 0 || image.height <= 0) return out;
    const Walk walk = walkFor(image, orientation);
    out.width = walk.swapsSides ? image.height : image.width;
    out.height = walk.swapsSides ? image.width : image.height;
    out.pixels.resize(std::size_t(out.width) * std::size_t(out.height));
    std::uint32_t* to = out.pixels.data();
    for (int y = 0; y < out.height; ++y) {
        const std::uint32_t* from = image.pixels + walk.start + y * walk.acrossY;
        for (int x = 0; x < out.width; ++x, from += walk.acrossX) *to++ = *from;
    }
    return out;
}

}  // namespace decode
