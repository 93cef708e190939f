#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decode/Exif.h"

namespace {

using ExifBytes = std::vector<unsigned char>;

void put(ExifBytes& out, std::uint32_t value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i) {
        const int shift = bigEndian ? 8 * (size - 1 - i) : 8 * i;
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void append(ExifBytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// A TIFF header and one directory: a camera make, then the orientation as `type`.
ExifBytes exifBlock(bool bigEndian, int orientation, bool prefix = false, int type = 3) {
    ExifBytes out;
    if (prefix) append(out, std::string("Exif\0\0", 6));
    append(out, bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4));
    put(out, 8, 4, bigEndian);
    put(out, 2, 2, bigEndian);
    put(out, 0x010f, 2, bigEndian);  // make: ASCII, 4 bytes in the value field
    put(out, 2, 2, bigEndian);
    put(out, 4, 4, bigEndian);
    append(out, std::string("Cam\0", 4));
    put(out, 0x0112, 2, bigEndian);
    put(out, static_cast<std::uint32_t>(type), 2, bigEndian);
    put(out, 1, 4, bigEndian);
    put(out, static_cast<std::uint32_t>(orientation), 2, bigEndian);
    put(out, 0, 2, bigEndian);
    put(out, 0, 4, bigEndian);  // no next directory
    return out;
}

ExifBytes patched(ExifBytes bytes, std::size_t at, std::uint32_t value, int size, bool bigEndian) {
    ExifBytes field;
    put(field, value, size, bigEndian);
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

ExifBytes cut(ExifBytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

TEST(ExifOrientation, ReadsBothByteOrdersAndRefusesDamage) {
    const struct {
        const char* what;
        ExifBytes block;
        int expected;
    } rows[] = {
        {"little-endian", exifBlock(false, 6), 6},
        {"big-endian", exifBlock(true, 8), 8},
        {"little-endian after Exif\\0\\0", exifBlock(false, 3, true), 3},
        {"big-endian after Exif\\0\\0", exifBlock(true, 5, true), 5},
        {"orientation 9 is no orientation", exifBlock(false, 9), 1},
        {"orientation 0 is no orientation", exifBlock(true, 0), 1},
        {"orientation as LONG", exifBlock(false, 6, false, 4), 1},
        {"cut inside the orientation entry", cut(exifBlock(false, 6), 30), 1},
        {"directory beyond the end", patched(exifBlock(false, 6), 4, 0xfffffff0u, 4, false), 1},
        {"more entries than bytes",
         patched(patched(exifBlock(true, 6), 22, 0x0131, 2, true), 8, 0xffff, 2, true), 1},
        {"not a TIFF header", patched(exifBlock(false, 6), 0, 'X', 1, false), 1},
        {"only the prefix", ExifBytes{'E', 'x', 'i', 'f', 0, 0}, 1},
        {"empty", ExifBytes{}, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decode::exifOrientation(row.block.data(), row.block.size()), row.expected)
            << row.what;
    }
    EXPECT_EQ(decode::exifOrientation(nullptr, 100), 1);
    // Cut anywhere: the orientation or none, and no byte read past the end.
    const ExifBytes whole = exifBlock(true, 7, true);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const ExifBytes part = cut(whole, size);
        const int orientation = decode::exifOrientation(part.data(), part.size());
        EXPECT_TRUE(orientation == 1 || orientation == 7) << size;
    }
}

void chunk(ExifBytes& out, const char* type, const ExifBytes& data, bool png) {
    if (png) put(out, static_cast<std::uint32_t>(data.size()), 4, true);
    append(out, std::string(type, 4));
    if (!png) put(out, static_cast<std::uint32_t>(data.size()), 4, false);
    out.insert(out.end(), data.begin(), data.end());
    if (png) put(out, 0, 4, true);  // CRC, not checked
    if (!png && data.size() % 2) out.push_back(0);
}

ExifBytes pngFile(bool withExif, bool exifAfterData) {
    ExifBytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunk(out, "IHDR", ExifBytes(13, 1), true);
    if (withExif && !exifAfterData) chunk(out, "eXIf", exifBlock(true, 6), true);
    chunk(out, "IDAT", ExifBytes(7, 2), true);
    if (withExif && exifAfterData) chunk(out, "eXIf", exifBlock(true, 6), true);
    chunk(out, "IEND", {}, true);
    return out;
}

ExifBytes webpFile() {
    ExifBytes body;
    append(body, "WEBP");
    chunk(body, "VP8X", ExifBytes(10, 0), false);
    chunk(body, "ICCP", ExifBytes(3, 7), false);  // odd size: padded
    chunk(body, "EXIF", exifBlock(false, 6, true), false);
    ExifBytes out;
    append(out, "RIFF");
    put(out, static_cast<std::uint32_t>(body.size()), 4, false);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(ExifBlockOf, FindsTheBlockInPngAndWebp) {
    const ExifBytes none;
    const struct {
        const char* what;
        ExifBytes file;
        ExifBytes expected;
    } rows[] = {
        {"PNG, eXIf before the data", pngFile(true, false), exifBlock(true, 6)},
        {"PNG, eXIf after the data", pngFile(true, true), exifBlock(true, 6)},
        {"PNG without eXIf", pngFile(false, false), none},
        {"PNG cut inside eXIf", cut(pngFile(true, true), pngFile(true, true).size() - 20), none},
        {"WebP", webpFile(), exifBlock(false, 6, true)},
        {"WebP cut inside EXIF", cut(webpFile(), webpFile().size() - 3), none},
        {"JPEG", ExifBytes{0xff, 0xd8, 0xff, 0xe1, 0, 8, 'E', 'x', 'i', 'f', 0, 0}, none},
        {"only a PNG signature", cut(pngFile(true, false), 8), none},
    };
    for (const auto& row : rows) {
        const auto [block, size] = decode::exifBlockOf(row.file.data(), row.file.size());
        EXPECT_EQ(ExifBytes(block, block + size), row.expected) << row.what;
        EXPECT_EQ(block == nullptr, row.expected.empty()) << row.what;
        // Cut anywhere: the block lies inside what is left, or there is none.
        for (std::size_t size = 0; size < row.file.size(); ++size) {
            const ExifBytes part = cut(row.file, size);
            const auto [partBlock, partSize] = decode::exifBlockOf(part.data(), part.size());
            if (partBlock) {
                EXPECT_LE(partBlock + partSize, part.data() + part.size()) << row.what << size;
            }
        }
    }
}

TEST(Upright, TurnsAndMirrorsByEveryOrientation) {
    // 1 2 3
    // 4 5 6, in a view with a spare pixel at the end of each row.
    const std::vector<std::uint32_t> stored = {1, 2, 3, 99, 4, 5, 6, 99};
    const raster::ConstPixels view{stored.data(), 3, 2, 4};
    const struct {
        int orientation;
        int width, height;
        std::vector<std::uint32_t> expected;
    } rows[] = {
        {1, 3, 2, {1, 2, 3, 4, 5, 6}}, {2, 3, 2, {3, 2, 1, 6, 5, 4}}, {3, 3, 2, {6, 5, 4, 3, 2, 1}},
        {4, 3, 2, {4, 5, 6, 1, 2, 3}}, {5, 2, 3, {1, 4, 2, 5, 3, 6}}, {6, 2, 3, {4, 1, 5, 2, 6, 3}},
        {7, 2, 3, {6, 3, 5, 2, 4, 1}}, {8, 2, 3, {3, 6, 2, 5, 1, 4}}, {0, 3, 2, {1, 2, 3, 4, 5, 6}},
        {9, 3, 2, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& row : rows) {
        const decode::Image image = decode::upright(view, row.orientation);
        EXPECT_EQ(image.width, row.width) << row.orientation;
        EXPECT_EQ(image.height, row.height) << row.orientation;
        EXPECT_EQ(image.pixels, row.expected) << row.orientation;
    }
}

}  // namespace
