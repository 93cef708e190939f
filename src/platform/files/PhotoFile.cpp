#include "platform/files/PhotoFile.h"

#include <sys/mman.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <turbojpeg.h>

#include "bmptojpeg/BmpFormat.h"
#include "decode/Exif.h"
#include "platform/files/BytesReader.h"

namespace {

// A photo's pixels are first touched as the decoder writes them: in 4 KB pages that is some
// 24,000 page faults for 24 megapixels, a fifth of the decoding time. Asked for, the kernel
// backs the buffer with 2 MB pages where it can (nothing changes where it cannot).
void preferLargePages(void* start, std::size_t size) {
    constexpr std::uintptr_t kLarge = 2 << 20;
    const auto from = (reinterpret_cast<std::uintptr_t>(start) + kLarge - 1) & ~(kLarge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(start) + size) & ~(kLarge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// Says why there is no photo, when the caller asked.
void fail(PhotoError* error, PhotoProblem problem, const QString& detail) {
    if (error) {
        error->problem = problem;
        error->detail = detail;
    }
}

// A size the decoder may allocate: positive (Damaged otherwise) and within the limit
// (TooLarge otherwise).
bool acceptableSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels,
                    PhotoError* error) {
    if (width <= 0 || height <= 0) {
        fail(error, PhotoProblem::Damaged,
             QStringLiteral("impossible size %1 x %2").arg(width).arg(height));
        return false;
    }
    if (width > maxPixels / height) {
        fail(error, PhotoProblem::TooLarge,
             QStringLiteral("photo too large: %1 x %2").arg(width).arg(height));
        if (error) {
            error->width = width;
            error->height = height;
            error->maxPixels = maxPixels;
        }
        return false;
    }
    return true;
}

std::uint16_t read16(const unsigned char* p, bool bigEndian) {
    return bigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
}

QImage orientUpright(QImage image, int orientation) {
    switch (orientation) {
        case 2: return image.mirrored(true, false);
        case 3: return image.mirrored(true, true);
        case 4: return image.mirrored(false, true);
        case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        case 6: return image.transformed(QTransform().rotate(90));
        case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
        case 8: return image.transformed(QTransform().rotate(270));
        default: return image;
    }
}

struct TjFree {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// Warnings after which the whole picture is there, damaged at worst. Any other failure leaves
// part of it undecoded: the data ran out ("Premature end of JPEG file", "premature end of
// data segment"), or an error came after a warning, which TurboJPEG reports as a warning too.
bool harmlessWarning(const QString& reason) {
    static const char* const kHarmless[] = {
        "extraneous bytes before marker",
        "bad Huffman code",
        "bad arithmetic code",
        "Inconsistent progression sequence",
        "instead of RST",
        "Invalid SOS parameters for sequential JPEG",
        "Unknown Adobe color transform",
        "unknown JFIF revision",
    };
    for (const char* text : kHarmless) {
        if (reason.contains(QLatin1String(text))) return true;
    }
    return false;
}

// Print-shop files hold inverted (Adobe) CMYK; each pixel becomes RGB in place, the way Qt's
// own JPEG reader converts them.
void cmykToRgb(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* cmyk = reinterpret_cast<const unsigned char*>(pixel);
        for (int x = 0; x < image.width(); ++x, cmyk += 4) {
            const int k = cmyk[3];
            pixel[x] = qRgb(k * cmyk[0] / 255, k * cmyk[1] / 255, k * cmyk[2] / 255);
        }
    }
}

QImage decodeJpeg(const unsigned char* data, std::size_t size, std::int64_t maxPixels,
                  PhotoError* error) {
    std::unique_ptr<void, TjFree> tj(tjInitDecompress());
    if (!tj) {
        fail(error, PhotoProblem::NoMemory, QStringLiteral("JPEG decoder unavailable"));
        return {};
    }
    // A file that lacks only its end marker is whole; given one, it decodes without a
    // warning, while one cut short inside its picture data still meets the marker too early.
    QByteArray ended;
    if (size < 2 || data[size - 2] != 0xFF || data[size - 1] != 0xD9) {
        ended.reserve(static_cast<qsizetype>(size) + 2);
        ended.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        ended.append("\xFF\xD9", 2);
        data = reinterpret_cast<const unsigned char*>(ended.constData());
        size = static_cast<std::size_t>(ended.size());
    }
    auto refused = [&] {
        const QString reason = QString::fromUtf8(tjGetErrorStr2(tj.get()));
        if (tjGetErrorCode(tj.get()) == TJERR_WARNING && harmlessWarning(reason)) return false;
        // "Unsupported JPEG data precision 12", "Unsupported JPEG process: SOF type 0xc3", and
        // the progressive files refused instead of decoded for minutes.
        const bool unsupported = reason.startsWith(QLatin1String("Unsupported JPEG")) ||
                                 reason.contains(QLatin1String("more than 500 scans"));
        fail(error, unsupported ? PhotoProblem::Unsupported : PhotoProblem::Damaged, reason);
        return true;
    };
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(tj.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0 &&
        refused()) {
        return {};
    }
    if (!acceptableSize(width, height, maxPixels, error)) return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        fail(error, PhotoProblem::NoMemory, QStringLiteral("not enough memory for the photo"));
        return {};
    }
    preferLargePages(image.bits(), std::size_t(image.sizeInBytes()));
    // The decoder writes straight into the photo's pixels: blue, green, red, unused (or the
    // four inks of a CMYK file). Progressive files with absurd numbers of scans are refused
    // instead of decoded for minutes.
    const bool cmyk = colourspace == TJCS_CMYK || colourspace == TJCS_YCCK;
    if (tjDecompress2(tj.get(), data, static_cast<unsigned long>(size), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, cmyk ? TJPF_CMYK : TJPF_BGRX,
                      TJFLAG_LIMITSCANS) != 0 &&
        refused()) {
        return {};
    }
    if (cmyk) cmykToRgb(image);
    return orientUpright(std::move(image), jpegExifOrientation(data, size));
}

// Qt's BMP reader shows whatever memory held where an uncompressed file ends early, and reads
// from the wrong place when the pixels are said to lie beyond the end of the file: every row
// must be there. Compressed (run-length) pixels are left to Qt, which fills what they miss.
bool bmpPixelsPresent(const unsigned char* data, std::size_t size) {
    BmpHeader header;
    return BmpReadHeader(data, size, &header) && BmpHoldsItsRows(&header, size);
}

// The size a BMP or GIF header claims, checked before Qt sees the file: Qt's readers give no
// size at all for pictures they would not allocate, and the user should hear how large the
// picture says it is. A GIF's picture is its logical screen.
bool claimedSizeAcceptable(const unsigned char* data, std::size_t size, bool isBmp,
                           std::int64_t maxPixels, PhotoError* error) {
    if (isBmp) {
        BmpHeader header;
        if (!BmpReadHeader(data, size, &header)) {
            // Cut short inside its headers, or headers of no BMP version at all ("BM" may
            // start any text).
            if (size < 34) {
                fail(error, PhotoProblem::Damaged, QStringLiteral("BMP header incomplete"));
            } else {
                fail(error, PhotoProblem::NotAPicture, QStringLiteral("no BMP header"));
            }
            return false;
        }
        return acceptableSize(header.width, std::llabs(header.height), maxPixels, error);
    }
    if (size < 10) {
        fail(error, PhotoProblem::Damaged, QStringLiteral("GIF header incomplete"));
        return false;
    }
    return acceptableSize(read16(data + 6, false), read16(data + 8, false), maxPixels, error);
}

QImage decodeWithQt(const unsigned char* data, std::size_t size, const char* format,
                    const QColor& background, std::int64_t maxPixels, PhotoError* error) {
    const bool isBmp = std::strcmp(format, "bmp") == 0;
    if (!claimedSizeAcceptable(data, size, isBmp, maxPixels, error)) return {};
    BytesReader bytes(data, size, format);
    QImageReader& reader = bytes.reader;
    reader.setAutoTransform(false);
    QSize claimed = reader.size();
    // A BMP stored top row first says so with a negative height.
    if (isBmp && claimed.width() > 0 && claimed.height() < 0 && claimed.height() > INT_MIN) {
        claimed.setHeight(-claimed.height());
    }
    if (!acceptableSize(claimed.width(), claimed.height(), maxPixels, error)) return {};
    if (isBmp && !bmpPixelsPresent(data, size)) {
        fail(error, PhotoProblem::Damaged, QStringLiteral("BMP file ends before its pixels"));
        return {};
    }
    // Qt refuses images over 128 MB by default; the size was checked against our own limit.
    QImageReader::setAllocationLimit(static_cast<int>(maxPixels * 4 / (1024 * 1024)) + 1);
    QImage frame = reader.read();
    if (frame.isNull()) {
        fail(error, PhotoProblem::Damaged, reader.errorString());
        return {};
    }
    // Qt's GIF reader can announce a smaller logical screen than the picture it then makes.
    if (!acceptableSize(frame.width(), frame.height(), maxPixels, error)) return {};
    if (!frame.hasAlphaChannel()) return frame.convertToFormat(QImage::Format_RGB32);
    // Transparent pixels show the surface's background colour.
    QImage image(frame.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        fail(error, PhotoProblem::NoMemory, QStringLiteral("not enough memory for the photo"));
        return {};
    }
    image.fill(background);
    QPainter painter(&image);
    painter.drawImage(0, 0, frame);
    return image;
}

// The system's words as part of a sentence: "Permission denied" -> "permission denied".
QString plainWords(QString text) {
    if (text.size() >= 2 && text[0].isUpper() && text[1].isLower()) text[0] = text[0].toLower();
    return text;
}

// A pixel count over `limit` in megapixels: whole ones, or as many decimals as it takes to
// show more than the limit (100000001 pixels: "100.000001", never "100").
QString megapixelsOver(std::int64_t pixels, std::int64_t limit) {
    std::int64_t unit = 1'000'000;
    for (int decimals = 0; decimals <= 6; ++decimals, unit /= 10) {
        if (pixels / unit > limit / unit) {
            const std::int64_t shown = pixels / unit;
            const std::int64_t scale = 1'000'000 / unit;
            if (decimals == 0) return QString::number(shown);
            return QStringLiteral("%1.%2")
                .arg(shown / scale)
                .arg(shown % scale, decimals, 10, QLatin1Char('0'));
        }
    }
    return QString::number(pixels);
}

}  // namespace

PhotoFormat sniffPhotoFormat(const unsigned char* data, std::size_t size) {
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return PhotoFormat::Jpeg;
    }
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return PhotoFormat::Bmp;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) {
        return PhotoFormat::Gif;
    }
    return PhotoFormat::Unknown;
}

int jpegExifOrientation(const unsigned char* data, std::size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return 1;
    std::size_t pos = 2;
    // Walk the marker segments up to the start of the picture data.
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF) return 1;
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > size) return 1;
        const unsigned char* body = data + pos + 4;
        const std::size_t bodySize = length - 2;
        if (marker == 0xE1 && bodySize >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0) {
            return decode::exifOrientation(body + 6, bodySize - 6);
        }
        pos += 2 + length;
    }
    return 1;
}

QImage decodePhoto(const unsigned char* data, std::size_t size, const QColor& background,
                   PhotoError* error, std::int64_t maxPixels) {
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg: return decodeJpeg(data, size, maxPixels, error);
        case PhotoFormat::Bmp: return decodeWithQt(data, size, "bmp", background, maxPixels, error);
        case PhotoFormat::Gif: return decodeWithQt(data, size, "gif", background, maxPixels, error);
        case PhotoFormat::Unknown: break;
    }
    // An empty file is what an interrupted copy or download leaves behind.
    if (size == 0) {
        fail(error, PhotoProblem::Damaged, QStringLiteral("empty file"));
    } else {
        fail(error, PhotoProblem::NotAPicture, QStringLiteral("not a JPEG, BMP or GIF picture"));
    }
    return {};
}

QImage loadPhoto(const QString& path, const QColor& background, PhotoError* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, PhotoProblem::Unreadable, file.errorString());
        return {};
    }
    // Reading the whole file costs a few milliseconds against the decoding; unlike a
    // mapping it cannot fault when someone shortens the file meanwhile.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error, PhotoProblem::Unreadable, file.errorString());
        return {};
    }
    return decodePhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()), background, error);
}

QString photoErrorText(const PhotoError& error) {
    switch (error.problem) {
        case PhotoProblem::None:
            break;
        case PhotoProblem::Unreadable:
            return QStringLiteral("cannot be read: %1").arg(plainWords(error.detail));
        case PhotoProblem::NotAPicture:
            return QStringLiteral("is not a JPEG, BMP or GIF picture");
        case PhotoProblem::Damaged:
            return QStringLiteral("is damaged or incomplete");
        case PhotoProblem::Unsupported:
            return QStringLiteral("is a kind of JPEG that cannot be loaded");
        case PhotoProblem::TooLarge:
            return QStringLiteral("has %1 megapixels; at most %2 can be loaded")
                .arg(megapixelsOver(error.width * error.height, error.maxPixels))
                .arg(error.maxPixels / 1'000'000);
        case PhotoProblem::NoMemory:
            return QStringLiteral("cannot be loaded: there is not enough memory");
    }
    return QStringLiteral("cannot be loaded");
}
