/* The BMP header reader shared by photo loading and BmpToJpeg. */
#include "bmptojpeg/BmpFormat.h"

#include <stdint.h>

enum {
    kFileHeaderSize = 14,
    kOs2InfoSize = 12,
    kRgb = 0,
    kBitFields = 3,
    kAlphaBitFields = 6,
};

static unsigned long readLe(const unsigned char* p, int bytes) {
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

int BmpReadHeader(const unsigned char* data, size_t size, struct BmpHeader* header) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return 0;
    header->pixelOffset = (unsigned)readLe(data + 10, 4);
    header->infoSize = (unsigned)readLe(data + 14, 4);
    if (header->infoSize == kOs2InfoSize) {
        /* Unsigned 16-bit sizes and no compression field. */
        if (size < 26) return 0;
        header->width = (long long)readLe(data + 18, 2);
        header->height = (long long)readLe(data + 20, 2);
        header->bitsPerPixel = (int)readLe(data + 24, 2);
        header->compression = kRgb;
        return 1;
    }
    /* The info header sizes of the BMP versions (OS/2 2.x has two); anything else is no BMP. */
    switch (header->infoSize) {
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            break;
        default:
            return 0;
    }
    if (size < 34) return 0;
    /* Signed 32-bit sizes. */
    header->width = (int32_t)(uint32_t)readLe(data + 18, 4);
    header->height = (int32_t)(uint32_t)readLe(data + 22, 4);
    header->bitsPerPixel = (int)readLe(data + 28, 2);
    header->compression = (unsigned)readLe(data + 30, 4);
    return 1;
}

int BmpHoldsItsRows(const struct BmpHeader* header, unsigned long long fileSize) {
    const unsigned compression = header->compression;
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields) {
        return 1;
    }
    const long long width = header->width < 0 ? -header->width : header->width;
    const long long rows = header->height < 0 ? -header->height : header->height;
    /* Rows are padded to whole 32-bit words. */
    const long long stride = (width * header->bitsPerPixel + 31) / 32 * 4;
    if (header->pixelOffset > fileSize) return 0;
    if (rows > 0 && stride > INT64_MAX / rows) return 0;
    return (unsigned long long)(stride * rows) <= fileSize - header->pixelOffset;
}
