// Seed inputs of the fuzz targets: small valid files of every kind the code reads, a few
// broken ones, and one input per filter command.
#include "Builders.h"

namespace {

QList<QRgb> greys(int count) {
    QList<QRgb> palette;
    for (int i = 0; i < count; ++i)
        palette << qRgb(i * 255 / (count - 1), i * 255 / (count - 1), i * 255 / (count - 1));
    return palette;
}

// Valid BMPs of the depths and layouts readers meet.
QList<NamedFile> bmpSeeds() {
    const QImage image = pattern(16, 12);
    const QList<quint8> indices = stripes(16, 12, 4);
    const QList<QRgb> colours{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 40, 40),
                              qRgb(40, 160, 60)};
    QByteArray rows32;
    for (int y = 11; y >= 0; --y)
        for (int x = 0; x < 16; ++x) {
            const QRgb c = image.pixel(x, y);
            rows32.append(char(qBlue(c)))
                .append(char(qGreen(c)))
                .append(char(qRed(c)))
                .append('\0');
        }
    QByteArray rows16;
    for (int y = 11; y >= 0; --y)
        for (int x = 0; x < 16; ++x) rows16.append(le16((x * 2) << 11 | (y * 5) << 5 | 31 - x));
    // RLE8: runs, a literal run, end of line, a delta and end of picture.
    QByteArray rle8;
    for (int y = 0; y < 11; ++y) rle8.append("\x08\x01\x04\x02\x04\x03\x00\x00", 8);
    rle8.append("\x00\x04\x00\x01\x02\x03\x00\x02\x04\x00\x00\x01", 12);
    QByteArray rle4;
    for (int y = 0; y < 12; ++y) rle4.append("\x0A\x12\x06\x30\x00\x00", 6);
    rle4.append("\x00\x01", 2);
    // 1 bit a pixel, a checkerboard of 2 x 2 squares; rows of 2 bytes padded to 4.
    QByteArray rows1;
    for (int y = 11; y >= 0; --y) rows1.append(y / 2 % 2 ? "\x33\x33\0\0" : "\xCC\xCC\0\0", 4);
    return {
        {"rgb24.bmp", bmp24(image)},
        {"rgb24-top-down.bmp", bmpFile(infoHeader(16, -12, 24), {}, rows24(image, true))},
        {"rgb32.bmp", bmpFile(infoHeader(16, 12, 32), {}, rows32)},
        {"rgb32-bitfields.bmp",
         bmpFile(infoHeader(16, 12, 32, 3) + le32(0xFF0000) + le32(0xFF00) + le32(0xFF), {},
                 rows32)},
        {"rgb16-565.bmp",
         bmpFile(infoHeader(16, 12, 16, 3) + le32(0xF800) + le32(0x7E0) + le32(0x1F), {}, rows16)},
        {"palette8.bmp", bmpFile(infoHeader(16, 12, 8, 0, 0, 4), colours, rows8(16, 12, indices))},
        {"grey8.bmp",
         bmpFile(infoHeader(16, 12, 8, 0, 0, 256), greys(256), rows8(16, 12, indices))},
        {"rle8.bmp", bmpFile(infoHeader(16, 12, 8, 1, quint32(rle8.size()), 4), colours, rle8)},
        {"rle4.bmp", bmpFile(infoHeader(16, 12, 4, 2, quint32(rle4.size()), 4), colours, rle4)},
        {"mono.bmp",
         bmpFile(infoHeader(16, 12, 1, 0, 0, 2), {qRgb(0, 0, 0), qRgb(255, 255, 255)}, rows1)},
        {"os2-header.bmp",
         bmpFile(le32(12) + le16(16) + le16(12) + le16(1) + le16(24), {}, rows24(image))},
    };
}

}  // namespace

QList<NamedFile> loadSeeds() {
    const QImage image = pattern(16, 12);
    const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 40, 40),
                              qRgb(40, 160, 60)};
    const QList<quint8> pixels = stripes(16, 12, 4);
    const QByteArray baseline = jpeg(image, 50);
    QList<NamedFile> seeds{
        {"baseline.jpg", baseline},
        {"progressive.jpg", jpeg(image, 50, true)},
        {"grey.jpg", jpeg(image.convertToFormat(QImage::Format_Grayscale8), 50)},
        {"cmyk.jpg", cmykJpeg(16, 8, 50)},
        {"exif-rotated.jpg", withExif(baseline, tiffWithOrientation(6))},
        {"plain.gif", simpleGif(16, 12)},
        {"interlaced-local-palette.gif",
         gifScreen(16, 12, {}) + gifImage(0, 0, 16, 12, pixels, palette, true) + ";"},
        {"transparent-animated.gif", gifScreen(16, 12, palette) + gifTransparency(1, 20) +
                                         gifImage(0, 0, 16, 12, pixels) + gifTransparency(0, 20) +
                                         gifImage(2, 2, 6, 6, stripes(6, 6, 4)) + ";"},
        // Odd ones: cut short, or claiming more than they hold.
        {"truncated.jpg", baseline.left(baseline.size() * 3 / 4)},
        {"claims-more.jpg", withFrameSize(baseline, 300, 200)},
        {"truncated.gif", simpleGif(16, 12).left(60)},
    };
    return seeds + bmpSeeds();
}

QList<NamedFile> bmpToJpegSeeds() {
    // Each input starts with the quality byte.
    const char qualities[] = {85, 95, 0, 100, 50, 90, 70, 30, 20, 60, 10};
    QList<NamedFile> seeds;
    int i = 0;
    for (const NamedFile& bmp : bmpSeeds())
        seeds << NamedFile{bmp.name, QByteArray(1, qualities[i++ % 11]) + bmp.bytes};
    seeds << NamedFile{"quality-out-of-range.bmp", QByteArray(1, char(250)) + bmp24(pattern(4, 4))};
    seeds << NamedFile{
        "negative-width.bmp",
        QByteArray(1, char(80)) + bmpFile(infoHeader(-4, 4, 24), {}, rows24(pattern(4, 4)))};
    return seeds;
}

QList<NamedFile> runFilterSeeds() {
    // Header: width - 1, height - 1, command, flags (0x80 one colour, 0x70 abandon), seed.
    QList<NamedFile> seeds;
    QByteArray pixels;
    for (int i = 0; i < 96; ++i) pixels.append(char(i * 53 % 256));
    for (int command = 0; command < 24; ++command) {
        QByteArray header;
        header.append(char(3 + command % 6)).append(char(2 + command % 5)).append(char(command));
        header.append(char(command % 7 == 3 ? 0x80
                           : command == 10  ? 0x72
                                            : 0))
            .append("\x12\x34\x56\x78", 4);
        seeds << NamedFile{QStringLiteral("command-%1").arg(command, 2, 10, QChar('0')),
                           header + pixels};
    }
    return seeds;
}
