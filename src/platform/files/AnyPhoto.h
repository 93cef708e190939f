#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <QString>

#include "platform/files/PhotoFile.h"
#include "raster/Photo.h"

// The photos the counter photo opens, as phones and cameras write them: JPEG, HEIC/HEIF, PNG,
// WebP and TIFF besides BMP and GIF. Each comes out upright (EXIF orientation, or the HEIF's
// own turn and mirroring) and in sRGB: an embedded colour profile (Display P3 from an
// iPhone, Adobe RGB from a camera) is converted with LittleCMS, perceptual intent. The main
// window's Load keeps to its own JPEG, BMP and GIF (PhotoFile.h).
enum class AnyPhotoProblem {
    None,
    Unreadable,     // the file cannot be opened or read
    NotAPhoto,      // none of the formats above
    Damaged,        // damaged or cut short (or empty)
    Unsupported,    // a kind of file of these formats that cannot be read (a HEIF's codec)
    TooLarge,       // over the 100-megapixel limit
    Transparent,    // see-through parts: filling them in would be an edit
    NoMemory,
};

struct OpenedPhoto {
    std::shared_ptr<const raster::Photo> photo;  // null when it could not be opened
    AnyPhotoProblem problem = AnyPhotoProblem::None;
    // Plain words to follow the file's name when there is no photo: "is damaged or
    // incomplete", "has see-through parts ...".
    QString reason;
    // What became of its colours: "sRGB", "Display P3, converted to sRGB", or "the photo has
    // a damaged colour profile: read as sRGB".
    QString colour;
    bool profileDamaged = false;
};

// The file types the counter photo's open dialog lists.
inline constexpr const char* kAnyPhotoPatterns[] = {"*.jpg", "*.jpeg", "*.heic", "*.heif", "*.png",
                                                    "*.webp", "*.tif", "*.tiff", "*.bmp", "*.gif"};

// True when the bytes begin as one of the formats above (whether they then decode or not).
bool isAnyPhoto(const unsigned char* data, std::size_t size);

// Decodes a photo held in memory, judged by its content, never by a name. The size is checked
// against `maxPixels` before any pixel is decoded (the fuzz target passes a small one).
OpenedPhoto decodeAnyPhoto(const unsigned char* data, std::size_t size,
                           std::int64_t maxPixels = kMaxPhotoPixels);

// Whether the file at `path` embeds a colour profile (read from its headers only).
bool carriesColourProfile(const QString& path);

// Reads the file at `path` (only reads it) and decodes it as decodeAnyPhoto does.
OpenedPhoto openAnyPhoto(const QString& path);
