/* BMP to JPEG through libjpeg-turbo's TurboJPEG API: load, compress in memory, fix the
   JFIF resolution, write beside the final name and rename. */
#define _XOPEN_SOURCE 700

#include "bmptojpeg/BmpToJpeg.h"

#include "bmptojpeg/BmpFormat.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <turbojpeg.h>

/* A JFIF APP0 segment (version 1.01, units = dots per inch, 92 x 92, no thumbnail), for the
   rare encoder output that starts without one. */
static const unsigned char kJfifSegment[18] = {
    0xFF, 0xE0, 0x00, 0x10,                         /* APP0 marker, segment length 16 */
    'J',  'F',  'I',  'F',  0x00,                   /* identifier */
    0x01, 0x01,                                     /* version 1.01 */
    0x01,                                           /* density in dots per inch */
    0x00, PHOTO_DOTS_PER_INCH, 0x00, PHOTO_DOTS_PER_INCH, /* 92 x 92 */
    0x00, 0x00,                                     /* no thumbnail */
};

struct Piece {
    const unsigned char* data;
    size_t size;
};

/* Sets the density fields of the JFIF segment that follows the start-of-image marker.
   Returns 0 when the output has no such segment. */
static int patchJfifDensity(unsigned char* jpeg, unsigned long size) {
    if (size < 20 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[2] != 0xFF || jpeg[3] != 0xE0) {
        return 0;
    }
    const unsigned length = ((unsigned)jpeg[4] << 8) | jpeg[5];
    if (length < 16 || memcmp(jpeg + 6, "JFIF", 5) != 0) return 0;
    jpeg[13] = 1; /* density in dots per inch */
    jpeg[14] = 0;
    jpeg[15] = PHOTO_DOTS_PER_INCH;
    jpeg[16] = 0;
    jpeg[17] = PHOTO_DOTS_PER_INCH;
    return 1;
}

/* write() until every byte is out: a short count (disk nearly full) is followed by another
   write, which then reports the error. */
static int writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (written == 0) {
            errno = ENOSPC;
            return -1;
        }
        data += written;
        size -= (size_t)written;
    }
    return 0;
}

/* Eight letters and digits for a temporary name, different on every call: a counter, the
   process and the clock, mixed (splitmix64) so that names do not follow one another. */
static void randomLetters(char letters[9]) {
    static const char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned long long counter = 0;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const unsigned long long process = (unsigned long long)getpid() << 32;
    const unsigned long long moment =
        (unsigned long long)now.tv_sec * 1000000007ULL + (unsigned long long)now.tv_nsec;
    unsigned long long z = (++counter * 0x9E3779B97F4A7C15ULL) ^ process ^ moment;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    for (int i = 0; i < 8; ++i, z /= 62) letters[i] = kAlphabet[z % 62];
    letters[8] = '\0';
}

/* Creates a new file in the folder of `path` (so the rename stays on one file system) under a
   short name of its own, as mkstemp does: a name grown from `path`'s last part could pass the
   file system's limit of 255 bytes a name. Its path goes into `tempPath`. Returns the
   descriptor, or -1. */
static int createTempBeside(const char* path, char* tempPath, size_t tempSize) {
    const char* slash = strrchr(path, '/');
    const int folderLength = slash ? (int)(slash - path + 1) : 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char letters[9];
        randomLetters(letters);
        const int n =
            snprintf(tempPath, tempSize, "%.*s.bmptojpeg-%s.part", folderLength, path, letters);
        if (n < 0 || (size_t)n >= tempSize) {
            errno = ENAMETOOLONG;
            return -1;
        }
        /* 0666 less the umask, as any new file the user saves. */
        const int fd = open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

/* Writes the pieces as one file at `path`: all of them or nothing. An existing file keeps its
   permissions; a symbolic link keeps pointing at the new contents. */
static int writeFileAtomically(const char* path, const struct Piece* pieces, int count) {
    char resolved[PATH_MAX];
    struct stat info;
    if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode) && realpath(path, resolved)) {
        path = resolved;
    }
    char tempPath[PATH_MAX + 32];
    const int fd = createTempBeside(path, tempPath, sizeof tempPath);
    if (fd < 0) return -1;

    int ok = 1;
    if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
        ok = fchmod(fd, info.st_mode & 07777) == 0;
    }
    for (int i = 0; ok && i < count; ++i) ok = writeAll(fd, pieces[i].data, pieces[i].size) == 0;
    /* On disk before the rename, so a crash cannot leave an empty file under the name. */
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(tempPath, path) == 0;
    if (!ok) {
        const int saved = errno;
        unlink(tempPath);
        errno = saved;
        return -1;
    }
    return 0;
}

/* Compresses the pixels; the caller frees *jpeg with tjFree. */
static int compress(const unsigned char* pixels, int width, int height, int pixelFormat,
                    int quality, unsigned char** jpeg, unsigned long* jpegSize) {
    tjhandle encoder = tjInitCompress();
    if (!encoder) return -1;
    int subsampling = TJSAMP_420;
    if (pixelFormat == TJPF_GRAY) {
        subsampling = TJSAMP_GRAY;
    } else if (quality >= 90) {
        subsampling = TJSAMP_444;
    }
    /* The encoder takes 1..100; 0 means the smallest file, as 1 does. */
    const int encoderQuality = quality < 1 ? 1 : quality;
    const int result = tjCompress2(encoder, pixels, width, 0, height, pixelFormat, jpeg, jpegSize,
                                   subsampling, encoderQuality, TJFLAG_ACCURATEDCT);
    tjDestroy(encoder);
    return result;
}

/* The BMP reader allocates the pixels from the header's size alone: a few bytes claiming
   30000 x 30000 would make it ask for gigabytes before it notices the file is short. So the
   file must hold every row its header promises, in sizes the reader takes. Returns 0 when it
   does not. */
static int bmpHoldsItsRows(const char* bmpPath) {
    FILE* file = fopen(bmpPath, "rb");
    if (!file) return 0;
    unsigned char bytes[54] = {0};
    const size_t got = fread(bytes, 1, sizeof bytes, file);
    const int seekOk = fseek(file, 0, SEEK_END) == 0;
    const long fileSize = seekOk ? ftell(file) : -1;
    fclose(file);
    struct BmpHeader header;
    if (fileSize < 0 || !BmpReadHeader(bytes, got, &header)) return 0;
    if (header.width <= 0 || header.height == 0 || header.bitsPerPixel <= 0 ||
        header.bitsPerPixel > 32) {
        return 0;
    }
    return BmpHoldsItsRows(&header, (unsigned long long)fileSize);
}

int BmpToJpeg(const char* bmpPath, const char* jpegPath, int quality) {
    if (!bmpPath || !jpegPath || !*bmpPath || !*jpegPath || quality < 0 || quality > 100) {
        return BMPTOJPEG_INVALID_ARGUMENT;
    }
    int width = 0;
    int height = 0;
    int pixelFormat = TJPF_UNKNOWN;
    if (!bmpHoldsItsRows(bmpPath)) return BMPTOJPEG_READ_ERROR;
    unsigned char* pixels = tjLoadImage(bmpPath, &width, 1, &height, &pixelFormat, 0);
    if (!pixels) return BMPTOJPEG_READ_ERROR;

    unsigned char* jpeg = NULL;
    unsigned long jpegSize = 0;
    const int compressed = compress(pixels, width, height, pixelFormat, quality, &jpeg, &jpegSize);
    tjFree(pixels);
    if (compressed != 0) {
        tjFree(jpeg);
        return BMPTOJPEG_ENCODE_ERROR;
    }

    struct Piece pieces[3];
    int count = 0;
    if (patchJfifDensity(jpeg, jpegSize)) {
        pieces[count++] = (struct Piece){jpeg, jpegSize};
    } else {
        pieces[count++] = (struct Piece){jpeg, 2};
        pieces[count++] = (struct Piece){kJfifSegment, sizeof kJfifSegment};
        pieces[count++] = (struct Piece){jpeg + 2, jpegSize - 2};
    }
    const int written = writeFileAtomically(jpegPath, pieces, count);
    tjFree(jpeg);
    return written == 0 ? BMPTOJPEG_OK : BMPTOJPEG_WRITE_ERROR;
}

const char* BmpToJpegStatusText(int status) {
    switch (status) {
        case BMPTOJPEG_OK:
            return "converted";
        case BMPTOJPEG_INVALID_ARGUMENT:
            return "invalid file name or quality";
        case BMPTOJPEG_READ_ERROR:
            return "the BMP file could not be read";
        case BMPTOJPEG_ENCODE_ERROR:
            return "the JPEG encoder failed";
        case BMPTOJPEG_WRITE_ERROR:
            return "the JPEG file could not be written";
        default:
            return "unknown error";
    }
}
