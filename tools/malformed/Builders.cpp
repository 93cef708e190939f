#include "Builders.h"

#include <QBuffer>
#include <QImageWriter>

#include <turbojpeg.h>

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int u = 255 * x / std::max(1, width - 1), v = 255 * y / std::max(1, height - 1);
            image.setPixel(x, y, qRgb(u, v, 255 - (u + v) / 2));
        }
    return image;
}

QByteArray jpeg(const QImage& image, int quality, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray cmykJpeg(int width, int height, int quality) {
    QByteArray cmyk(width * height * 4, '\0');
    for (int i = 0; i < width * height; ++i) {
        const int x = i % width, y = i / width;
        cmyk[4 * i] = char(255 * x / width);
        cmyk[4 * i + 1] = char(255 * y / height);
        cmyk[4 * i + 2] = char(60);
        cmyk[4 * i + 3] = char((x + y) % 2 ? 0 : 40);
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, reinterpret_cast<const unsigned char*>(cmyk.constData()), width, 0, height,
                TJPF_CMYK, &out, &size, TJSAMP_420, quality, 0);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(encoder);
    return bytes;
}

qsizetype findMarker(const QByteArray& jpeg, quint8 marker) {
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && quint8(jpeg[pos]) == 0xFF) {
        if (quint8(jpeg[pos + 1]) == marker) return pos;
        if (quint8(jpeg[pos + 1]) == 0xDA) return -1;  // picture data follows
        pos += 2 + (quint8(jpeg[pos + 2]) << 8 | quint8(jpeg[pos + 3]));
    }
    return -1;
}

qsizetype scanDataStart(const QByteArray& jpeg) {
    const qsizetype sos = findMarker(jpeg, 0xDA);
    return sos + 2 + (quint8(jpeg[sos + 2]) << 8 | quint8(jpeg[sos + 3]));
}

QByteArray withoutSegments(const QByteArray& jpeg, quint8 marker) {
    QByteArray out = jpeg;
    for (qsizetype at = findMarker(out, marker); at >= 0; at = findMarker(out, marker)) {
        out.remove(at, 2 + (quint8(out[at + 2]) << 8 | quint8(out[at + 3])));
    }
    return out;
}

QByteArray withFrameSize(QByteArray jpeg, int width, int height) {
    qsizetype sof = findMarker(jpeg, 0xC0);
    if (sof < 0) sof = findMarker(jpeg, 0xC2);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff) {
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(body.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length)).append(body);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray tiffWithOrientation(int orientation) {
    // Header, one IFD entry (tag 0x0112, SHORT, count 1), no next IFD.
    QByteArray tiff("MM\x00\x2A\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01", 18);
    tiff.append(char(orientation >> 8)).append(char(orientation));
    tiff.append(QByteArray(6, '\0'));
    return tiff;
}

QByteArray le16(int value) {
    return QByteArray(1, char(value)) + QByteArray(1, char(value >> 8));
}

QByteArray le32(qint64 value) {
    return le16(int(value & 0xFFFF)) + le16(int(value >> 16 & 0xFFFF));
}

QByteArray infoHeader(qint32 width, qint32 height, int bitsPerPixel, int compression,
                      quint32 imageSize, quint32 coloursUsed) {
    return le32(40) + le32(width) + le32(height) + le16(1) + le16(bitsPerPixel) +
           le32(compression) + le32(imageSize) + le32(3780) + le32(3780) + le32(coloursUsed) +
           le32(0);
}

QByteArray bmpFile(const QByteArray& header, const QList<QRgb>& palette, const QByteArray& pixels) {
    QByteArray colours;
    for (QRgb c : palette)
        colours.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    const qint64 offset = 14 + header.size() + colours.size();
    return "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset) + header + colours + pixels;
}

QByteArray rows24(const QImage& image, bool topDown) {
    QByteArray rows;
    const int pad = (4 - image.width() * 3 % 4) % 4;
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            rows.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        }
        rows.append(QByteArray(pad, '\0'));
    }
    return rows;
}

QByteArray bmp24(const QImage& image) {
    const QByteArray pixels = rows24(image);
    return bmpFile(infoHeader(image.width(), image.height(), 24, 0, quint32(pixels.size())), {},
                   pixels);
}

QByteArray rows8(int width, int height, const QList<quint8>& indices) {
    QByteArray rows;
    const int pad = (4 - width % 4) % 4;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) rows.append(char(indices[y * width + x]));
        rows.append(QByteArray(pad, '\0'));
    }
    return rows;
}

QByteArray gifScreen(int width, int height, const QList<QRgb>& palette) {
    QByteArray gif = "GIF89a" + le16(width) + le16(height);
    if (palette.isEmpty()) return gif + QByteArray("\x00\x00\x00", 3);
    int bits = 1;
    while ((1 << bits) < palette.size()) ++bits;
    gif.append(char(0xF0 | (bits - 1))).append('\0').append('\0');
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        gif.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    return gif;
}

QByteArray gifImage(int left, int top, int width, int height, const QList<quint8>& indices,
                    const QList<QRgb>& local, bool interlaced) {
    QByteArray image = "," + le16(left) + le16(top) + le16(width) + le16(height);
    int flags = interlaced ? 0x40 : 0;
    QByteArray table;
    if (!local.isEmpty()) {
        int bits = 1;
        while ((1 << bits) < local.size()) ++bits;
        flags |= 0x80 | (bits - 1);
        for (int i = 0; i < (1 << bits); ++i) {
            const QRgb c = i < local.size() ? local[i] : qRgb(0, 0, 0);
            table.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
        }
    }
    image.append(char(flags)).append(table);
    return image + QByteArray(1, char(3)) + gifSubBlocks(gifLzwCodes(indices));
}

QByteArray gifLzwCodes(const QList<quint8>& indices) {
    // Minimum code size 3: literals 0..7, clear 8, end 9, codes of 4 bits. Five literals per
    // clear keep the decoder's table below 16 entries, so the width never grows.
    QList<int> codes{8};
    int sinceClear = 0;
    for (quint8 index : indices) {
        if (sinceClear == 5) {
            codes << 8;
            sinceClear = 0;
        }
        codes << index;
        ++sinceClear;
    }
    codes << 9;
    return packCodes(codes, 4);
}

QByteArray packCodes(const QList<int>& codes, int width) {
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    for (int code : codes) {
        buffer |= quint32(code) << bits;
        bits += width;
        while (bits >= 8) {
            bytes.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) bytes.append(char(buffer & 0xFF));
    return bytes;
}

QByteArray gifSubBlocks(const QByteArray& data) {
    QByteArray blocks;
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const QByteArray block = data.mid(pos, 255);
        blocks.append(char(block.size())).append(block);
    }
    return blocks + QByteArray(1, '\0');
}

QByteArray gifTransparency(int index, int delay) {
    return QByteArray("\x21\xF9\x04\x01", 4) + le16(delay) + QByteArray(1, char(index)) +
           QByteArray(1, '\0');
}

QList<quint8> stripes(int width, int height, int colours) {
    QList<quint8> indices;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) indices << quint8((x / 3 + y / 2) % colours);
    return indices;
}

QByteArray simpleGif(int width, int height) {
    const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 40, 40),
                              qRgb(40, 160, 60)};
    return gifScreen(width, height, palette) +
           gifImage(0, 0, width, height, stripes(width, height, 4)) + ";";
}
