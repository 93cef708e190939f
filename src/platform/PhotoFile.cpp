#include "PhotoFile.h"

#include <cstring>
#include <memory>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <turbojpeg.h>

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

bool fitsLimit(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPhotoPixels;
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

QImage decodeJpeg(const unsigned char* data, std::size_t size, QString* error) {
    std::unique_ptr<void, TjFree> tj(tjInitDecompress());
    if (!tj) {
        setError(error, QStringLiteral("JPEG decoder unavailable"));
        return {};
    }
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(tj.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0) {
        setError(error, QString::fromUtf8(tjGetErrorStr2(tj.get())));
        return {};
    }
    if (!fitsLimit(width, height)) {
        setError(error, QStringLiteral("photo too large: %1 x %2").arg(width).arg(height));
        return {};
    }
    QImage image;
    if (colourspace == TJCS_CMYK || colourspace == TJCS_YCCK) {
        // Print-shop CMYK files: TurboJPEG cannot turn them into RGB, Qt's reader can.
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   static_cast<qsizetype>(size));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "jpeg");
        image = reader.read().convertToFormat(QImage::Format_RGB32);
        if (image.isNull()) {
            setError(error, reader.errorString());
            return {};
        }
    } else {
        image = QImage(width, height, QImage::Format_RGB32);
        if (image.isNull()) {
            setError(error, QStringLiteral("not enough memory for the photo"));
            return {};
        }
        // The decoder writes straight into the photo's pixels: blue, green, red, unused.
        // Progressive files with absurd numbers of scans are refused instead of decoded for
        // minutes.
        const int flags = TJFLAG_LIMITSCANS;
        if (tjDecompress2(tj.get(), data, static_cast<unsigned long>(size), image.bits(), width,
                          static_cast<int>(image.bytesPerLine()), height, TJPF_BGRX,
                          flags) != 0) {
            const QString reason = QString::fromUtf8(tjGetErrorStr2(tj.get()));
            // A warning about damaged data still leaves a whole picture, except for a file that
            // ends early: its lower part would be missing.
            if (tjGetErrorCode(tj.get()) != TJERR_WARNING ||
                reason.contains(QLatin1String("Premature end"))) {
                setError(error, reason);
                return {};
            }
        }
    }
    return orientUpright(std::move(image), jpegExifOrientation(data, size));
}

QImage decodeWithQt(const unsigned char* data, std::size_t size, const char* format,
                    const QColor& background, QString* error) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                               static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    const QSize claimed = reader.size();
    if (!claimed.isValid() || !fitsLimit(claimed.width(), claimed.height())) {
        setError(error, QStringLiteral("photo size not acceptable: %1 x %2")
                            .arg(claimed.width())
                            .arg(claimed.height()));
        return {};
    }
    // Qt refuses images over 128 MB by default; the size was checked against our own limit.
    QImageReader::setAllocationLimit(static_cast<int>(kMaxPhotoPixels * 4 / (1024 * 1024)) + 1);
    QImage frame = reader.read();
    if (frame.isNull()) {
        setError(error, reader.errorString());
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
                   QString* error) {
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg: return decodeJpeg(data, size, error);
        case PhotoFormat::Bmp: return decodeWithQt(data, size, "bmp", background, error);
        case PhotoFormat::Gif: return decodeWithQt(data, size, "gif", background, error);
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
