#include "platform/files/PhotoFile.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <turbojpeg.h>

#include "bmptojpeg/BmpFormat.h"

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

bool fitsLimit(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    return width > 0 && height > 0 && width * height <= maxPixels;
}

std::uint16_t read16(const unsigned char* p, bool bigEndian) {
    return bigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
}

std::uint32_t read32(const unsigned char* p, bool bigEndian) {
    return bigEndian ? std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                           std::uint32_t(p[2]) << 8 | p[3]
                     : std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 |
                           std::uint32_t(p[1]) << 8 | p[0];
}

// The orientation tag of IFD0 in an Exif block (the bytes after "Exif\0\0").
int orientationInTiff(const unsigned char* tiff, std::size_t size) {
    if (size < 8) return 1;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (tiff[0] == 'I' && tiff[1] == 'I') {
        bigEndian = false;
    } else {
        return 1;
    }
    const std::uint32_t ifd = read32(tiff + 4, bigEndian);
    if (ifd > size - 2) return 1;
    const std::size_t count = read16(tiff + ifd, bigEndian);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (entry + 12 > size) return 1;
        if (read16(tiff + entry, bigEndian) != 0x0112) continue;
        const int value = read16(tiff + entry + 8, bigEndian);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
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
                  QString* error) {
    std::unique_ptr<void, TjFree> tj(tjInitDecompress());
    if (!tj) {
        setError(error, QStringLiteral("JPEG decoder unavailable"));
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
        setError(error, reason);
        return true;
    };
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(tj.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0 &&
        refused()) {
        return {};
    }
    if (!fitsLimit(width, height, maxPixels)) {
        setError(error, QStringLiteral("photo too large: %1 x %2").arg(width).arg(height));
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        setError(error, QStringLiteral("not enough memory for the photo"));
        return {};
    }
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

QImage decodeWithQt(const unsigned char* data, std::size_t size, const char* format,
                    const QColor& background, std::int64_t maxPixels, QString* error) {
    const bool isBmp = std::strcmp(format, "bmp") == 0;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QSize claimed = reader.size();
    // A BMP stored top row first says so with a negative height.
    if (isBmp && claimed.width() > 0 && claimed.height() < 0 && claimed.height() > INT_MIN) {
        claimed.setHeight(-claimed.height());
    }
    if (!claimed.isValid() || !fitsLimit(claimed.width(), claimed.height(), maxPixels)) {
        setError(error, QStringLiteral("photo size not acceptable: %1 x %2")
                            .arg(claimed.width())
                            .arg(claimed.height()));
        return {};
    }
    if (isBmp && !bmpPixelsPresent(data, size)) {
        setError(error, QStringLiteral("BMP file ends before its pixels"));
        return {};
    }
    // Qt refuses images over 128 MB by default; the size was checked against our own limit.
    QImageReader::setAllocationLimit(static_cast<int>(maxPixels * 4 / (1024 * 1024)) + 1);
    QImage frame = reader.read();
    if (frame.isNull()) {
        setError(error, reader.errorString());
        return {};
    }
    // Qt's GIF reader can announce a smaller logical screen than the picture it then makes.
    if (!fitsLimit(frame.width(), frame.height(), maxPixels)) {
        setError(error, QStringLiteral("photo too large: %1 x %2")
                            .arg(frame.width())
                            .arg(frame.height()));
        return {};
    }
    if (!frame.hasAlphaChannel()) return frame.convertToFormat(QImage::Format_RGB32);
    // Transparent pixels show the surface's background colour.
    QImage image(frame.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        setError(error, QStringLiteral("not enough memory for the photo"));
        return {};
    }
    image.fill(background);
    QPainter painter(&image);
    painter.drawImage(0, 0, frame);
    return image;
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
            return orientationInTiff(body + 6, bodySize - 6);
        }
        pos += 2 + length;
    }
    return 1;
}

QImage decodePhoto(const unsigned char* data, std::size_t size, const QColor& background,
                   QString* error, std::int64_t maxPixels) {
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg: return decodeJpeg(data, size, maxPixels, error);
        case PhotoFormat::Bmp: return decodeWithQt(data, size, "bmp", background, maxPixels, error);
        case PhotoFormat::Gif: return decodeWithQt(data, size, "gif", background, maxPixels, error);
        case PhotoFormat::Unknown: break;
    }
    setError(error, QStringLiteral("not a JPEG, BMP or GIF picture"));
    return {};
}

QImage loadPhoto(const QString& path, const QColor& background, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return {};
    }
    // Reading the whole file costs a few milliseconds against the decoding; unlike a
    // mapping it cannot fault when someone shortens the file meanwhile.
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        setError(error, file.error() != QFileDevice::NoError ? file.errorString()
                                                             : QStringLiteral("empty file"));
        return {};
    }
    return decodePhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()), background, error);
}
