#pragma once

/* The BMP to JPEG converter the program saves its JPEG files through. Plain C, so any
   language that can call a C function can use it. */

#ifdef __cplusplus
extern "C" {
#endif

/* What BmpToJpeg reports. Anything but BMPTOJPEG_OK means no JPEG was written and a file
   already at the JPEG path is left exactly as it was. */
enum BmpToJpegStatus {
    BMPTOJPEG_OK = 0,
    BMPTOJPEG_INVALID_ARGUMENT = 1, /* a path is missing or empty, or quality is not 0..100 */
    BMPTOJPEG_READ_ERROR = 2,       /* the BMP file cannot be opened or is not a readable BMP */
    BMPTOJPEG_ENCODE_ERROR = 3,     /* the JPEG encoder failed */
    BMPTOJPEG_WRITE_ERROR = 4       /* the JPEG file could not be written completely */
};

/* Reads the uncompressed 8-, 24- or 32-bit BMP file at `bmpPath` and writes it as a JPEG file
   at `jpegPath`, both paths in the file system's 8-bit encoding. `quality` runs from 0 (smallest
   file) to 100 (best picture); from 90 up colour keeps full resolution (4:4:4). The JPEG says
   92 dots per inch, the resolution passport photos are printed at (127 x 163 pixels make
   35 x 45 mm). The JPEG is written beside its final name and then renamed, so the file at
   `jpegPath` is always either the old one or the complete new one. The BMP file is only read.
   Returns one of BmpToJpegStatus. */
int BmpToJpeg(const char* bmpPath, const char* jpegPath, int quality);

/* A short English description of a status returned by BmpToJpeg. Never null. */
const char* BmpToJpegStatusText(int status);

#ifdef __cplusplus
}
#endif
