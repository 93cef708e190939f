#include "TestPictures.h"

#include <QDir>
#include <QFile>

QImage codedPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb(x % 256, y % 256, (x / 256 + 16 * (y / 256)) % 256);
        }
    }
    return image;
}

QString writePicture(const QTemporaryDir& dir, const QString& name, const QImage& image,
                     const char* format, int quality) {
    const QString path = QDir(dir.path()).filePath(name);
    image.save(path, format, quality);
    return path;
}

QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(dir.path()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

#include <QBuffer>

QByteArray makeGif(int width, int height, const QList<QRgb>& palette,
                   const QList<quint8>& indices, int transparentIndex) {
    QByteArray gif("GIF89a");
    auto put16 = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    put16(width);
    put16(height);
    gif.append(char(0xF6));  // global colour table of 128 entries, 7 bits of colour resolution
    gif.append('\0');
    gif.append('\0');
    for (int i = 0; i < 128; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        gif.append(char(qRed(c)));
        gif.append(char(qGreen(c)));
        gif.append(char(qBlue(c)));
    }
    if (transparentIndex >= 0) {
        gif.append("\x21\xF9\x04\x01\x00\x00", 6);
        gif.append(char(transparentIndex));
        gif.append('\0');
    }
    gif.append(',');
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    gif.append('\0');
    // Minimum code size 7: literals 0..127, clear 128, end 129, 8-bit codes. A clear code
    // every 126 literals keeps the decoder's table from growing to 9-bit codes.
    gif.append(char(7));
    QByteArray codes;
    codes.append(char(128));
    int sinceClear = 0;
    for (quint8 index : indices) {
        if (sinceClear == 126) {
            codes.append(char(128));
            sinceClear = 0;
        }
        codes.append(char(index));
        ++sinceClear;
    }
    codes.append(char(129));
    for (qsizetype pos = 0; pos < codes.size(); pos += 255) {
        const QByteArray block = codes.mid(pos, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append('\0');
    gif.append(';');
    return gif;
}

QByteArray withJpegFrameSize(QByteArray jpeg, int width, int height) {
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation) {
    // Big-endian TIFF with one IFD entry: Orientation (0x0112), SHORT, count 1.
    QByteArray tiff("MM\x00\x2A\x00\x00\x00\x08", 8);
    tiff.append("\x00\x01", 2);
    tiff.append("\x01\x12\x00\x03\x00\x00\x00\x01", 8);
    tiff.append(char(0));
    tiff.append(char(orientation));
    tiff.append("\x00\x00", 2);
    tiff.append("\x00\x00\x00\x00", 4);
    QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    const int length = body.size() + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    segment.append(body);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray encoded(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}
