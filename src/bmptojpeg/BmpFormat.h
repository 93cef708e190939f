#pragma once

/* The BMP format as the program reads it, shared by photo loading and BmpToJpeg, and the
   resolution passport photos are written at. Plain C, so BmpToJpeg can use it. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Passport photos are printed at 92 dots per inch: 127 x 163 pixels come out 35 x 45 mm.
   BmpToJpeg writes it into the JPEG, the BMP writer as pixels per metre. */
enum { PHOTO_DOTS_PER_INCH = 92 };

/* What the headers at the start of a BMP file say, as stored. */
struct BmpHeader {
    unsigned pixelOffset; /* where the pixels start, counted from the file's first byte */
    unsigned infoSize;    /* size of the info header; 12 is the old OS/2 header */
    long long width;      /* may be zero or negative in a damaged file */
    long long height;     /* negative: rows stored top first */
    int bitsPerPixel;
    unsigned compression; /* 0 none, 3 and 6 colour masks, others run-length and the like */
};

/* Reads the headers from the first `size` bytes of a BMP file. Returns 0 when the file does
   not start with "BM", its info header has a size no BMP version uses, or it ends before the
   fields the reader needs. */
int BmpReadHeader(const unsigned char* data, size_t size, struct BmpHeader* header);

/* Whether a file of `fileSize` bytes holds every row of pixels its header promises. Readers
   allocate the picture from the header's size and show whatever memory held where the file
   ends early, so an uncompressed picture (colour masks included) must be all there.
   Run-length pixels have no fixed size and always pass. Returns 1 or 0. */
int BmpHoldsItsRows(const struct BmpHeader* header, unsigned long long fileSize);

#ifdef __cplusplus
}
#endif
