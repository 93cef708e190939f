#include "platform/files/AnyPhoto.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include "decode/Colour.h"
#include "decode/Exif.h"
#include "decode/Heif.h"
#include "platform/files/BytesReader.h"
#include "platform/files/PhotoPixels.h"

namespace {

// A photo in the making: its pixels, upright, with the profile its colours are in.
struct Decoded {
    QImage image;                           // Format_RGB32, or null
    std::shared_ptr<decode::Image> owned;   // or the pixels a non-Qt decoder made
    std::vector<unsigned char> icc;
    OpenedPhoto failure;                    // when neither holds pixels

    raster::Pixels pixels() {
        if (owned) return owned->view();
        return pixelsOf(image);
    }
};

Decoded failed(AnyPhotoProblem problem, const QString& reason) {
    Decoded d;
    d.failure.problem = problem;
    d.failure.reason = reason;
    return d;
}

// True when some pixel is not fully opaque; an alpha channel that is opaque everywhere is no
// transparency.
bool seeThrough(const QImage& image) {
    if (image.isNull() || !image.hasAlphaChannel()) return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(row[x]) != 255) return true;
        }
    }
    return false;
}

enum class Kind { Unknown, Jpeg, Bmp, Gif, Heif, Png, Webp, Tiff };

Kind sniff(const unsigned char* data, std::size_t size) {
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg: return Kind::Jpeg;
        case PhotoFormat::Bmp: return Kind::Bmp;
        case PhotoFormat::Gif: return Kind::Gif;
        case PhotoFormat::Unknown: break;
    }
    if (decode::isHeif(data, size)) return Kind::Heif;
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return Kind::Png;
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0) {
        return Kind::Webp;
    }
    if (size >= 4 && (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0)) {
        return Kind::Tiff;
    }
    return Kind::Unknown;
}

// The ICC profile a JPEG carries in its APP2 "ICC_PROFILE" segments, put together in their
// order; empty when there is none, or when its pieces do not add up (then it is damaged, and
// `damaged` says so).
std::vector<unsigned char> jpegProfile(const unsigned char* data, std::size_t size, bool& damaged) {
    damaged = false;
    std::vector<std::vector<unsigned char>> pieces;
    int count = 0;
    std::size_t pos = 2;
    while (pos + 4 <= size && data[pos] == 0xFF) {
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > size) break;
        const unsigned char* body = data + pos + 4;
        const std::size_t bodySize = length - 2;
        if (marker == 0xE2 && bodySize >= 14 && std::memcmp(body, "ICC_PROFILE\0", 12) == 0) {
            const int sequence = body[12];
            const int total = body[13];
            if (total == 0 || sequence == 0 || sequence > total || (count && total != count)) {
                damaged = true;
                return {};
            }
            count = total;
            pieces.resize(static_cast<std::size_t>(total));
            pieces[static_cast<std::size_t>(sequence - 1)].assign(body + 14, body + bodySize);
        }
        pos += 2 + length;
    }
    std::vector<unsigned char> profile;
    for (const auto& piece : pieces) {
        if (piece.empty()) {
            damaged = true;
            return {};
        }
        profile.insert(profile.end(), piece.begin(), piece.end());
    }
    return profile;
}

// JPEG, BMP and GIF through the decoders the main window's Load uses; a GIF's transparent
// pixels are refused here rather than filled in.
Decoded decodeClassic(const unsigned char* data, std::size_t size, Kind kind,
                      std::int64_t maxPixels) {
    if (kind == Kind::Gif) {
        BytesReader bytes(data, size, "gif");
        QImageReader& reader = bytes.reader;
        const QSize claimed = reader.size();
        if (claimed.isValid() && std::int64_t(claimed.width()) * claimed.height() <= maxPixels &&
            seeThrough(reader.read())) {
            return failed(AnyPhotoProblem::Transparent, QString());
        }
    }
    PhotoError error;
    Decoded d;
    d.image = decodePhoto(data, size, Qt::white, &error, maxPixels);
    if (d.image.isNull()) {
        AnyPhotoProblem problem = AnyPhotoProblem::Damaged;
        switch (error.problem) {
            case PhotoProblem::Unreadable: problem = AnyPhotoProblem::Unreadable; break;
            case PhotoProblem::Unsupported: problem = AnyPhotoProblem::Unsupported; break;
            case PhotoProblem::TooLarge: problem = AnyPhotoProblem::TooLarge; break;
            case PhotoProblem::NoMemory: problem = AnyPhotoProblem::NoMemory; break;
            default: break;
        }
        return failed(problem, photoErrorText(error));
    }
    if (kind == Kind::Jpeg) {
        bool damaged = false;
        d.icc = jpegProfile(data, size, damaged);
        if (damaged) d.failure.profileDamaged = true;
    }
    return d;
}

Decoded decodeHeif(const unsigned char* data, std::size_t size, std::int64_t maxPixels) {
    decode::HeifPhoto heif = decode::decodeHeif(data, size, maxPixels);
    if (!heif.problem.empty()) {
        const QString reason = QString::fromStdString(heif.problem);
        AnyPhotoProblem problem = AnyPhotoProblem::Damaged;
        if (reason.contains(QLatin1String("codec"))) problem = AnyPhotoProblem::Unsupported;
        if (reason.contains(QLatin1String("megapixels"))) problem = AnyPhotoProblem::TooLarge;
        return failed(problem, reason);
    }
    if (heif.transparent) return failed(AnyPhotoProblem::Transparent, QString());
    Decoded d;
    d.owned = std::make_shared<decode::Image>(std::move(heif.image));
    d.icc = std::move(heif.icc);
    return d;
}

// PNG, WebP and TIFF through Qt's image plugins; 16-bit pictures come down to 8 bits.
Decoded decodeWithPlugin(const unsigned char* data, std::size_t size, Kind kind,
                         std::int64_t maxPixels) {
    const char* format = kind == Kind::Png ? "png" : kind == Kind::Webp ? "webp" : "tiff";
    if (!QImageReader::supportedImageFormats().contains(format)) {
        return failed(AnyPhotoProblem::Unsupported,
                      QStringLiteral("cannot be read: the %1 reader of Qt is not installed "
                                     "(qt6-image-formats-plugins)")
                          .arg(QString::fromLatin1(format).toUpper()));
    }
    BytesReader bytes(data, size, format);
    QImageReader& reader = bytes.reader;
    // Qt turns what it knows to turn (a TIFF's orientation); a PNG's or WebP's EXIF block is
    // read below.
    reader.setAutoTransform(true);
    const QSize claimed = reader.size();
    if (!claimed.isValid() || claimed.isEmpty()) {
        return failed(AnyPhotoProblem::Damaged, QStringLiteral("is damaged or incomplete"));
    }
    PhotoError sizeError;
    sizeError.problem = PhotoProblem::TooLarge;
    sizeError.width = claimed.width();
    sizeError.height = claimed.height();
    sizeError.maxPixels = maxPixels;
    if (std::int64_t(claimed.width()) * claimed.height() > maxPixels) {
        return failed(AnyPhotoProblem::TooLarge, photoErrorText(sizeError));
    }
    // Qt refuses images over 128 MB by default; the size was checked against our own limit
    // (8 bytes a pixel for 16-bit pictures).
    // Set only when it changes: several photos decode at once in a run of many, and the limit
    // is one setting for the whole program.
    const int limit = static_cast<int>(maxPixels * 8 / (1024 * 1024)) + 1;
    if (QImageReader::allocationLimit() != limit) QImageReader::setAllocationLimit(limit);
    const bool qtTurns = reader.transformation() != QImageIOHandler::TransformationNone;
    QImage image = reader.read();
    if (image.isNull()) {
        return failed(AnyPhotoProblem::Damaged, QStringLiteral("is damaged or incomplete"));
    }
    if (seeThrough(image)) return failed(AnyPhotoProblem::Transparent, QString());
    Decoded d;
    d.icc = [&] {
        const QByteArray icc = image.colorSpace().iccProfile();
        return std::vector<unsigned char>(icc.begin(), icc.end());
    }();
    d.image = image.convertToFormat(QImage::Format_RGB32);
    if (!qtTurns && kind != Kind::Tiff) {
        const auto [exif, exifSize] = decode::exifBlockOf(data, size);
        const int orientation = exif ? decode::exifOrientation(exif, exifSize) : 1;
        if (orientation != 1) {
            decode::Image upright = decode::upright(constPixelsOf(d.image), orientation);
            d.image = QImage();
            d.owned = std::make_shared<decode::Image>(std::move(upright));
        }
    }
    if (d.image.isNull() && !d.owned) {
        return failed(AnyPhotoProblem::NoMemory,
                      QStringLiteral("cannot be loaded: there is not enough memory"));
    }
    return d;
}

QString transparentReason() {
    return QStringLiteral(
        "has see-through parts: a passport photo is a whole photo, and filling them in "
        "would be an edit");
}

}  // namespace

bool isAnyPhoto(const unsigned char* data, std::size_t size) {
    return sniff(data, size) != Kind::Unknown;
}

OpenedPhoto decodeAnyPhoto(const unsigned char* data, std::size_t size, std::int64_t maxPixels) {
    const Kind kind = sniff(data, size);
    Decoded d;
    switch (kind) {
        case Kind::Jpeg:
        case Kind::Bmp:
        case Kind::Gif: d = decodeClassic(data, size, kind, maxPixels); break;
        case Kind::Heif: d = decodeHeif(data, size, maxPixels); break;
        case Kind::Png:
        case Kind::Webp:
        case Kind::Tiff: d = decodeWithPlugin(data, size, kind, maxPixels); break;
        case Kind::Unknown:
            d = size == 0 ? failed(AnyPhotoProblem::Damaged, QStringLiteral("is empty"))
                          : failed(AnyPhotoProblem::NotAPhoto,
                                   QStringLiteral("is not a photo Portrik can open (JPEG, HEIC, "
                                                  "PNG, WebP, TIFF, BMP or GIF)"));
            break;
    }
    if (d.image.isNull() && !d.owned) {
        OpenedPhoto failure = std::move(d.failure);
        if (failure.problem == AnyPhotoProblem::Transparent) failure.reason = transparentReason();
        return failure;
    }
    OpenedPhoto opened;
    const decode::ColourResult colour =
        decode::convertToSrgb(d.pixels(), d.icc.data(), d.icc.size());
    if (d.failure.profileDamaged) {
        opened.profileDamaged = true;
        opened.colour = QStringLiteral("the photo has a damaged colour profile: read as sRGB");
    } else if (!colour.problem.empty()) {
        // "has a damaged colour profile", "has a colour profile for grey pictures, not RGB"
        opened.profileDamaged = true;
        opened.colour =
            QStringLiteral("the photo %1: read as sRGB").arg(QString::fromStdString(colour.problem));
    } else if (colour.converted) {
        opened.colour = QString::fromStdString(colour.profile) + QStringLiteral(", converted to sRGB");
    } else {
        opened.colour = QStringLiteral("sRGB");
    }
    if (d.owned) {
        const raster::ConstPixels pixels = std::as_const(*d.owned).view();
        opened.photo = std::make_shared<const raster::Photo>(pixels, d.owned);
    } else {
        opened.photo = adoptPhoto(std::move(d.image));
    }
    return opened;
}

bool carriesColourProfile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    // A JPEG's profile stands in its first segments, well inside 1 MB.
    const QByteArray head = file.read(1 << 20);
    const auto* data = reinterpret_cast<const unsigned char*>(head.constData());
    const auto size = static_cast<std::size_t>(head.size());
    if (sniff(data, size) != Kind::Jpeg) return false;
    bool damaged = false;
    return !jpegProfile(data, size, damaged).empty() || damaged;
}

OpenedPhoto openAnyPhoto(const QString& path) {
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        OpenedPhoto failure;
        failure.problem = AnyPhotoProblem::Unreadable;
        QString detail = file.errorString();
        if (detail.size() >= 2 && detail[0].isUpper() && detail[1].isLower()) {
            detail[0] = detail[0].toLower();
        }
        failure.reason = QStringLiteral("cannot be read: %1").arg(detail);
        return failure;
    }
    return decodeAnyPhoto(reinterpret_cast<const unsigned char*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
}
