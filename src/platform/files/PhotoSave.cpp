#include "platform/files/PhotoSave.h"

#include <algorithm>
#include <cstdint>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "bmptojpeg/BmpFormat.h"
#include "bmptojpeg/BmpToJpeg.h"

namespace {

constexpr int kBmpHeaderSize = 54;  // file header (14) + BITMAPINFOHEADER (40)

// BMP headers count pixels per metre: 92 / 0.0254 = 3622.05, truncated.
constexpr int kPhotoPixelsPerMeter = PHOTO_DOTS_PER_INCH * 10000 / 254;
static_assert(kPhotoPixelsPerMeter == 3622);

void put16(uchar* at, std::uint16_t value) {
    at[0] = static_cast<uchar>(value);
    at[1] = static_cast<uchar>(value >> 8);
}

void put32(uchar* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uchar>(value >> (8 * i));
}

void writeBmpHeader(uchar* at, int width, int height, std::uint32_t pixelBytes) {
    at[0] = 'B';
    at[1] = 'M';
    put32(at + 2, kBmpHeaderSize + pixelBytes);
    put32(at + 10, kBmpHeaderSize);  // pixels start right after the headers
    put32(at + 14, 40);
    put32(at + 18, static_cast<std::uint32_t>(width));
    put32(at + 22, static_cast<std::uint32_t>(height));  // positive: rows run bottom-up
    put16(at + 26, 1);                                   // one colour plane
    put16(at + 28, 24);                                  // bits per pixel
    put32(at + 30, 0);                                   // BI_RGB: uncompressed
    put32(at + 34, pixelBytes);
    put32(at + 38, kPhotoPixelsPerMeter);
    put32(at + 42, kPhotoPixelsPerMeter);
    // No palette: colours used and important colours stay 0.
}

bool fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return false;
}

bool sameFile(const QString& a, const QString& b) {
    if (b.isEmpty()) return false;
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath()) return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

// Whether a new file can be made in `folder`. The permission bits alone do not tell: the
// administrator passes that check everywhere, also on read-only and virtual file systems.
bool canCreateFilesIn(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".portrik-XXXXXX")));
    return probe.open();  // removed again when the probe goes
}

// Writes all of `bytes` to the open `file` in pieces, checking every count.
bool writeChecked(QFileDevice& file, const QByteArray& bytes, const ChunkWriter& writer,
                  QString* error) {
    constexpr qint64 kChunk = 64 * 1024;
    const qint64 total = bytes.size();
    for (qint64 done = 0; done < total;) {
        const qint64 size = std::min(kChunk, total - done);
        const char* data = bytes.constData() + done;
        const qint64 written = writer ? writer(file, data, size) : file.write(data, size);
        if (written != size) {
            return fail(error, file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("only %1 of %2 bytes could be written "
                                                    "(is the disk full?)")
                                         .arg(done + std::max<qint64>(written, 0))
                                         .arg(total));
        }
        done += written;
    }
    // The file's own size is the last word.
    if (!file.flush()) return fail(error, file.errorString());
    if (file.size() != total) return fail(error, QStringLiteral("the file came out short"));
    return true;
}

bool writeWith(const SaveServices& services, const QString& path, const QByteArray& bytes,
               QString* error, bool temporary) {
    if (bytes.isEmpty()) return fail(error, QStringLiteral("there is no photo to save"));
    if (services.writeFile) return services.writeFile(path, bytes, error);
    return temporary ? writeTemporaryFile(path, bytes, error)
                     : writeFileAtomically(path, bytes, error);
}

}  // namespace

QByteArray encodeBmp24(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const qint64 rowBytes = (qint64{width} * 3 + 3) & ~qint64{3};
    const qint64 pixelBytes = rowBytes * height;
    // The header's sizes are 32-bit; a photo of that size is far beyond anything saved here.
    if (pixelBytes > 0x7FFF0000) return {};

    QByteArray file(kBmpHeaderSize + pixelBytes, '\0');
    auto* out = reinterpret_cast<uchar*>(file.data());
    writeBmpHeader(out, width, height, static_cast<std::uint32_t>(pixelBytes));
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* row = out + kBmpHeaderSize + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            *row++ = static_cast<uchar>(qBlue(src[x]));
            *row++ = static_cast<uchar>(qGreen(src[x]));
            *row++ = static_cast<uchar>(qRed(src[x]));
        }
    }
    return file;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         const ChunkWriter& writer) {
    QSaveFile file(path);
    // Unbuffered: each count write() returns is what reached the file, not a buffer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(error, file.errorString());
    }
    if (!writeChecked(file, bytes, writer, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) return fail(error, file.errorString());
    return true;
}

bool writeTemporaryFile(const QString& path, const QByteArray& bytes, QString* error,
                        const ChunkWriter& writer) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return fail(error, file.errorString());
    }
    if (!writeChecked(file, bytes, writer, error)) return false;
    file.close();
    if (file.error() != QFileDevice::NoError) return fail(error, file.errorString());
    return true;
}

QString temporaryBmpPath(const QString& programFolder, const QString& avoid) {
    const QString name = QString::fromLatin1(kTemporaryBmpName);
    const QString candidates[] = {
        programFolder,
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
        QDir::tempPath(),
    };
    for (const QString& folder : candidates) {
        if (folder.isEmpty() || !canCreateFilesIn(folder)) continue;
        const QString path = QDir(folder).filePath(name);
        if (!sameFile(path, avoid)) return path;
    }
    // Nowhere writable: the write of the temporary file then reports why.
    return QDir(programFolder.isEmpty() ? QDir::tempPath() : programFolder).filePath(name);
}

bool temporaryFileFound(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return false;
    // The listing gives names as stored; the name filter matches them whatever their case.
    const QStringList stored = info.dir().entryList(
        {info.fileName()}, QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    return stored.contains(info.fileName(), Qt::CaseSensitive);
}

SaveResult savePhotoAsBmp(const QImage& photo, const QString& path, QString* error,
                          const SaveServices& services) {
    return writeWith(services, path, encodeBmp24(photo), error, false) ? SaveResult::Saved
                                                                       : SaveResult::Failed;
}

SaveResult savePhotoAsJpeg(const QImage& photo, const QString& path, QString* error,
                           const SaveServices& services) {
    const QString programFolder = services.programFolder.isEmpty()
                                      ? QCoreApplication::applicationDirPath()
                                      : services.programFolder;
    const QString temporary = temporaryBmpPath(programFolder, path);
    // Gone on every way out, also a leftover of an earlier run under the same name.
    const auto removeTemporary = qScopeGuard([&] { QFile::remove(temporary); });

    QString reason;
    if (!writeWith(services, temporary, encodeBmp24(photo), &reason, true)) {
        fail(error, QStringLiteral("the temporary file %1 could not be written: %2")
                        .arg(QDir::toNativeSeparators(temporary), reason));
        return SaveResult::Failed;
    }
    if (!temporaryFileFound(temporary)) return SaveResult::NotJpegName;

    // BmpToJpeg takes the paths in the file system's own 8-bit encoding.
    const QByteArray bmpPath = QFile::encodeName(temporary);
    const QByteArray jpegPath = QFile::encodeName(path);
    const int status = services.bmpToJpeg
                           ? services.bmpToJpeg(bmpPath.constData(), jpegPath.constData(), 100)
                           : BmpToJpeg(bmpPath.constData(), jpegPath.constData(), 100);
    if (status != BMPTOJPEG_OK) {
        fail(error, QString::fromUtf8(BmpToJpegStatusText(status)));
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}
