#include "passport/JpegOutput.h"

#include <cstring>

#include <turbojpeg.h>

namespace passport {

namespace {

void put16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xff));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& out, unsigned value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// One 12-byte directory entry; a short value sits in the first two bytes of its field.
void entry(std::vector<unsigned char>& out, unsigned tag, unsigned type, unsigned value) {
    put16(out, tag);
    put16(out, type);
    put32(out, 1);
    if (type == 3) {
        put16(out, value);
        put16(out, 0);
    } else {
        put32(out, value);
    }
}

// An APP1 Exif segment, little-endian TIFF: IFD0 with the resolution in dots per inch and
// the pointer to the Exif IFD, which says ColorSpace = 1 (sRGB).
std::vector<unsigned char> exifSegment(int dpi) {
    enum : unsigned { kShort = 3, kLong = 4, kRational = 5 };
    constexpr unsigned kExifIfd = 8 + 2 + 4 * 12 + 4;       // 62
    constexpr unsigned kRationals = kExifIfd + 2 + 12 + 4;  // 80
    std::vector<unsigned char> tiff = {'I', 'I', 0x2a, 0x00};
    put32(tiff, 8);
    put16(tiff, 4);
    entry(tiff, 0x011a, kRational, kRationals);      // XResolution
    entry(tiff, 0x011b, kRational, kRationals + 8);  // YResolution
    entry(tiff, 0x0128, kShort, 2);                  // ResolutionUnit: inch
    entry(tiff, 0x8769, kLong, kExifIfd);            // Exif IFD
    put32(tiff, 0);
    put16(tiff, 1);
    entry(tiff, 0xa001, kShort, 1);  // ColorSpace: sRGB
    put32(tiff, 0);
    for (int i = 0; i < 2; ++i) {
        put32(tiff, static_cast<unsigned>(dpi));
        put32(tiff, 1);
    }
    const std::size_t length = 2 + 6 + tiff.size();
    std::vector<unsigned char> segment = {0xff,
                                          0xe1,
                                          static_cast<unsigned char>(length >> 8),
                                          static_cast<unsigned char>(length & 0xff),
                                          'E',
                                          'x',
                                          'i',
                                          'f',
                                          0,
                                          0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// A JFIF APP0 segment, version 1.01, `dpi` dots per inch both ways, no thumbnail.
std::vector<unsigned char> jfifSegment(int dpi) {
    const auto hi = static_cast<unsigned char>(dpi >> 8);
    const auto lo = static_cast<unsigned char>(dpi & 0xff);
    return {0xff, 0xe0, 0x00, 0x10, 'J', 'F', 'I', 'F',  0x00,
            0x01, 0x01, 0x01, hi,   lo,  hi,  lo,  0x00, 0x00};
}

// Where the encoder's own segments after the start marker end: past its JFIF segment, if it
// wrote one.
std::size_t afterJfif(const unsigned char* jpeg, unsigned long size) {
    if (size >= 20 && jpeg[2] == 0xff && jpeg[3] == 0xe0 && std::memcmp(jpeg + 6, "JFIF", 5) == 0) {
        return 4 + ((std::size_t(jpeg[4]) << 8) | jpeg[5]);
    }
    return 2;
}

}  // namespace

std::vector<unsigned char> encodeJpeg(const raster::ConstPixels& pixels, int dpi,
                                      std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return std::vector<unsigned char>();
    };
    if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0) return fail("no picture");
    tjhandle encoder = tjInitCompress();
    if (!encoder) return fail("the JPEG encoder could not be started");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    // 0xffRRGGBB in memory is blue, green, red, unused.
    const int result = tjCompress2(encoder, reinterpret_cast<const unsigned char*>(pixels.pixels),
                                   pixels.width, pixels.stride * 4, pixels.height, TJPF_BGRX, &jpeg,
                                   &size, TJSAMP_444, kJpegQuality, TJFLAG_ACCURATEDCT);
    std::string reason = result != 0 ? tjGetErrorStr2(encoder) : "";
    tjDestroy(encoder);
    if (result != 0 || size < 4) {
        tjFree(jpeg);
        return fail("the JPEG encoder failed: " + reason);
    }
    // Start marker, our JFIF and Exif segments, then the rest of what the encoder wrote.
    const std::size_t rest = afterJfif(jpeg, size);
    std::vector<unsigned char> file = {0xff, 0xd8};
    const auto jfif = jfifSegment(dpi);
    const auto exif = exifSegment(dpi);
    file.insert(file.end(), jfif.begin(), jfif.end());
    file.insert(file.end(), exif.begin(), exif.end());
    file.insert(file.end(), jpeg + rest, jpeg + size);
    tjFree(jpeg);
    return file;
}

}  // namespace passport
