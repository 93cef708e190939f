#pragma once

#include <cstddef>
#include <cstdint>

#include <QColor>
#include <QImage>
#include <QString>

// Photos up to this many pixels load (a 61-megapixel camera photo is 9504 x 6336). Anything
// whose header claims more is refused before its pixels are allocated.
inline constexpr std::int64_t kMaxPhotoPixels = 100'000'000;

enum class PhotoFormat { Unknown, Jpeg, Bmp, Gif };

// The format the bytes are in, judged by their content, never by the file's name.
PhotoFormat sniffPhotoFormat(const unsigned char* data, std::size_t size);

// Why a photo file gives no photo.
enum class PhotoProblem {
    None,
    Unreadable,   // the file cannot be opened or read
    NotAPicture,  // its content is not a JPEG, BMP or GIF, whatever its name
    Damaged,      // a JPEG, BMP or GIF that is damaged or cut short (or empty)
    Unsupported,  // a kind of JPEG the decoder does not read (12-bit, lossless)
    TooLarge,     // more pixels than can be loaded
    NoMemory,     // the pixels could not be allocated
};

struct PhotoError {
    PhotoProblem problem = PhotoProblem::None;
    // The decoder's or the system's own words ("Permission denied", "Premature end of ...").
    QString detail;
    // TooLarge: the size the file claims, and the most pixels that can be loaded.
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t maxPixels = kMaxPhotoPixels;
};

// The reason in plain words, to follow the file's name: "is damaged or incomplete", "is not a
// JPEG, BMP or GIF picture", "has 749 megapixels; at most 100 can be loaded", "cannot be read:
// permission denied".
QString photoErrorText(const PhotoError& error);

// Decodes a JPEG, BMP or GIF photo held in memory into a Format_RGB32 image. A JPEG whose
// EXIF orientation says it was held upright comes out upright; a GIF gives its first frame,
// with transparent pixels in `background`. Returns a null image (and why in `error`, when
// given) for anything else: other formats, damaged or truncated files, sizes over `maxPixels`
// (the fuzz targets pass a small one so that every input decodes quickly).
QImage decodePhoto(const unsigned char* data, std::size_t size, const QColor& background,
                   PhotoError* error = nullptr, std::int64_t maxPixels = kMaxPhotoPixels);

// Reads the file at `path` and decodes it as decodePhoto does. The file is only read.
QImage loadPhoto(const QString& path, const QColor& background, PhotoError* error = nullptr);

// The EXIF orientation (1..8) of a JPEG, or 1 when it carries none or it cannot be read.
int jpegExifOrientation(const unsigned char* data, std::size_t size);
