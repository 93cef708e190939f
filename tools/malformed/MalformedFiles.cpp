// The pictures of tests/data/malformed/: each named after what it exercises. What loading
// each one must do is listed in expectations.txt beside them.
#include <QBuffer>
#include <QRandomGenerator>

#include "Builders.h"

namespace {

const QImage& base() {
    static const QImage image = pattern(48, 32);
    return image;
}

QByteArray baseJpeg() {
    return jpeg(base(), 85);
}

// The entropy-coded data of a JPEG cut `fraction` of the way through.
QByteArray truncatedInScan(const QByteArray& file, double fraction) {
    const qsizetype start = scanDataStart(file);
    return file.left(start + qsizetype((file.size() - start) * fraction));
}

QList<NamedFile> jpegFiles() {
    const QByteArray good = baseJpeg();
    const qsizetype sof = findMarker(good, 0xC0);
    const qsizetype data = scanDataStart(good);
    QList<NamedFile> files;
    files << NamedFile{"zero-byte.jpg", {}};
    files << NamedFile{"jpeg-soi-only.jpg", QByteArray("\xFF\xD8\xFF", 3)};
    files << NamedFile{"truncated-baseline.jpg", truncatedInScan(good, 0.5)};
    files << NamedFile{"jpeg-truncated-in-header.jpg", good.left(findMarker(good, 0xDA))};
    files << NamedFile{"jpeg-no-eoi.jpg", good.left(good.size() - 2)};
    files << NamedFile{"jpeg-trailing-garbage.jpg", good + QByteArray(700, 'x')};
    files << NamedFile{"jpeg-sof-huge.jpg", withFrameSize(good, 65500, 65500)};
    files << NamedFile{"jpeg-sof-zero-height.jpg", withFrameSize(good, 48, 0)};
    files << NamedFile{"jpeg-claims-more-than-it-holds.jpg", withFrameSize(good, 480, 320)};
    QByteArray precision = good;
    precision[sof + 4] = char(12);
    files << NamedFile{"jpeg-12bit-precision.jpg", precision};
    QByteArray lossless = good;
    lossless[sof + 1] = char(0xC3);
    files << NamedFile{"jpeg-lossless-sof3.jpg", lossless};
    QByteArray noComponents = good;
    noComponents[sof + 9] = char(0);
    files << NamedFile{"jpeg-sof-zero-components.jpg", noComponents};
    files << NamedFile{"jpeg-missing-quant-tables.jpg", withoutSegments(good, 0xDB)};
    files << NamedFile{"jpeg-missing-huffman-tables.jpg", withoutSegments(good, 0xC4)};

    // Bytes in the middle of the picture data changed; none becomes a marker.
    QByteArray corrupt = good;
    for (qsizetype i = data + (good.size() - data) / 3; i < data + (good.size() - data) / 2;
         i += 3) {
        if (quint8(corrupt[i]) == 0xFF || quint8(corrupt[i - 1]) == 0xFF) continue;
        const quint8 changed = quint8(corrupt[i]) ^ 0x5A;
        corrupt[i] = char(changed == 0xFF ? 0x12 : changed);
    }
    files << NamedFile{"jpeg-corrupt-entropy.jpg", corrupt};

    const QByteArray progressive = jpeg(base(), 85, true);
    files << NamedFile{"jpeg-progressive-truncated.jpg", truncatedInScan(progressive, 0.4)};
    // A progressive file that never ends: 600 more refinement scans of the first component.
    QByteArray manyScans = progressive.left(progressive.size() - 2);
    for (int i = 0; i < 600; ++i)
        manyScans.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x10\x00", 11);
    files << NamedFile{"jpeg-many-scans.jpg", manyScans + QByteArray("\xFF\xD9", 2)};

    const QByteArray cmyk = cmykJpeg(48, 32, 85);
    files << NamedFile{"jpeg-cmyk.jpg", cmyk};
    files << NamedFile{"jpeg-cmyk-truncated.jpg", truncatedInScan(cmyk, 0.5)};

    files << NamedFile{"jpeg-exif-rotated.jpg", withExif(good, tiffWithOrientation(6))};
    files << NamedFile{"jpeg-exif-orientation-9.jpg", withExif(good, tiffWithOrientation(9))};
    QByteArray badOffset = tiffWithOrientation(6);
    badOffset[4] = char(0x7F);  // first IFD far beyond the block
    files << NamedFile{"jpeg-exif-ifd-beyond-block.jpg", withExif(good, badOffset)};
    QByteArray manyEntries = tiffWithOrientation(6);
    manyEntries[8] = manyEntries[9] = char(0xFF);  // 65535 entries in a block of 26 bytes
    files << NamedFile{"jpeg-exif-entry-count-huge.jpg", withExif(good, manyEntries)};
    QByteArray shortExif = withExif(good, tiffWithOrientation(6));
    shortExif[5] = char(0x06);  // segment length ends inside "Exif\0\0"
    files << NamedFile{"jpeg-exif-segment-too-short.jpg", shortExif};

    QByteArray noise(3000, '\0');
    QRandomGenerator random(2006);
    for (char& c : noise) c = char(random.bounded(256));
    files << NamedFile{"jpeg-random-after-soi.jpg", QByteArray("\xFF\xD8\xFF", 3) + noise};
    return files;
}

QList<NamedFile> bmpFiles() {
    const QImage small = pattern(20, 12);
    const QByteArray good = bmp24(small);
    const QByteArray pixels = rows24(small);
    QList<NamedFile> files;
    files << NamedFile{"zero-byte.bmp", {}};
    files << NamedFile{"bmp-header-only.bmp", good.left(54)};
    files << NamedFile{"bmp-truncated-pixels.bmp", good.left(54 + pixels.size() / 2)};
    files << NamedFile{"bmp-negative-width.bmp", bmpFile(infoHeader(-20, 12, 24), {}, pixels)};
    files << NamedFile{"bmp-zero-width.bmp", bmpFile(infoHeader(0, 12, 24), {}, pixels)};
    files << NamedFile{"bmp-zero-height.bmp", bmpFile(infoHeader(20, 0, 24), {}, pixels)};
    files << NamedFile{"bmp-huge-dimensions.bmp",
                       bmpFile(infoHeader(60000, 60000, 24), {}, pixels)};
    files << NamedFile{"bmp-width-overflow.bmp",
                       bmpFile(infoHeader(0x7FFFFFFF, 2, 24), {}, pixels)};
    files << NamedFile{"bmp-height-most-negative.bmp",
                       bmpFile(infoHeader(20, qint32(0x80000000), 24), {}, pixels)};
    files << NamedFile{"bmp-top-down.bmp",
                       bmpFile(infoHeader(20, -12, 24), {}, rows24(small, true))};
    files << NamedFile{"bmp-bad-bit-count.bmp", bmpFile(infoHeader(20, 12, 3), {}, pixels)};
    QByteArray badHeaderSize = good;
    badHeaderSize[14] = char(0x77);
    files << NamedFile{"bmp-bad-header-size.bmp", badHeaderSize};
    QByteArray offsetBeyond = good;
    offsetBeyond.replace(10, 4, le32(100000));
    files << NamedFile{"bmp-offset-beyond-file.bmp", offsetBeyond};

    // 8-bit pictures: a palette of two colours whose indices run up to 255, and a header that
    // claims four thousand million colours.
    const QList<quint8> indices = [] {
        QList<quint8> list;
        for (int i = 0; i < 20 * 12; ++i) list << quint8(i * 37 % 256);
        return list;
    }();
    files << NamedFile{"bmp-palette-index-out-of-range.bmp",
                       bmpFile(infoHeader(20, 12, 8, 0, 0, 2), {qRgb(250, 0, 0), qRgb(0, 0, 250)},
                               rows8(20, 12, indices))};
    files << NamedFile{
        "bmp-palette-count-huge.bmp",
        bmpFile(infoHeader(20, 12, 8, 0, 0, 0xFFFFFFFF), {qRgb(9, 9, 9)}, rows8(20, 12, indices))};

    // RLE8 whose runs overrun the rows, whose delta jumps past the picture and which never
    // says end of picture.
    QByteArray rle;
    rle.append("\xFF\x01", 2);          // 255 pixels of colour 1 in a 20-pixel row
    rle.append("\x00\x02\x7F\x7F", 4);  // delta far outside
    rle.append("\x05\x00", 2);
    rle.append("\x00\x09\x01\x01\x01\x01\x01\x01\x01\x01\x01", 11);  // literal run of 9, no pad
    files << NamedFile{"bmp-rle-corrupt.bmp",
                       bmpFile(infoHeader(20, 12, 8, 1, quint32(rle.size()), 2),
                               {qRgb(0, 0, 0), qRgb(255, 255, 0)}, rle)};
    // 8-bit RLE compression claimed for a 24-bit picture.
    files << NamedFile{"bmp-rle-on-24-bit.bmp", bmpFile(infoHeader(20, 12, 24, 1), {}, pixels)};

    // OS/2 header of 12 bytes: a valid, old kind of BMP.
    const QByteArray core = le32(12) + le16(20) + le16(12) + le16(1) + le16(24);
    files << NamedFile{"bmp-os2-header.bmp", bmpFile(core, {}, pixels)};
    // 32 bits with bit fields whose masks are all zero.
    const QByteArray fields = infoHeader(20, 12, 32, 3) + le32(0) + le32(0) + le32(0);
    files << NamedFile{"bmp-bitfields-zero-masks.bmp",
                       bmpFile(fields, {}, QByteArray(20 * 12 * 4, '\x7F'))};

    files << NamedFile{"text-named.bmp", "Pasfoto: neem een recente foto, 35 x 45 mm.\n"};
    files << NamedFile{"text-starting-with-bm.bmp", "BMW 320i, kenteken bij de foto gevoegd.\n"};
    files << NamedFile{"jpeg-named.bmp", baseJpeg()};
    return files;
}

QList<NamedFile> gifFiles() {
    const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 40, 40),
                              qRgb(40, 160, 60)};
    const QList<quint8> pixels = stripes(24, 16, 4);
    const QByteArray good = simpleGif(24, 16);
    QList<NamedFile> files;
    files << NamedFile{"zero-byte.gif", {}};
    files << NamedFile{"gif-header-only.gif", QByteArray("GIF89a", 6)};
    files << NamedFile{"gif-zero-size.gif",
                       gifScreen(0, 0, palette) + gifImage(0, 0, 0, 0, {}) + ";"};
    files << NamedFile{"gif-no-image-descriptor.gif", gifScreen(24, 16, palette) + ";"};
    files << NamedFile{"gif-huge-logical-screen.gif",
                       gifScreen(65535, 65535, palette) + gifImage(0, 0, 24, 16, pixels) + ";"};
    files << NamedFile{"gif-truncated.gif", good.left(good.size() * 2 / 3)};
    files << NamedFile{"gif-no-trailer.gif", good.left(good.size() - 1)};

    // Valid codes for the first rows, then a code the table cannot hold yet, then more.
    QList<int> codes{8};
    for (int i = 0; i < 5 * 16; ++i) codes << (i % 5 == 0 && i ? 8 : i % 4);
    codes << 15 << 14 << 1 << 2 << 9;
    files << NamedFile{"gif-bad-lzw.gif", gifScreen(24, 16, palette) + "," + le16(0) + le16(0) +
                                              le16(24) + le16(16) + QByteArray(1, '\0') +
                                              QByteArray(1, char(3)) +
                                              gifSubBlocks(packCodes(codes, 4)) + ";"};
    files << NamedFile{"gif-lzw-code-size-12.gif",
                       gifScreen(24, 16, palette) + "," + le16(0) + le16(0) + le16(24) + le16(16) +
                           QByteArray(1, '\0') + QByteArray(1, char(12)) +
                           gifSubBlocks(QByteArray(40, '\x55')) + ";"};
    files << NamedFile{"gif-frame-outside-screen.gif",
                       gifScreen(24, 16, palette) + gifImage(60000, 60000, 24, 16, pixels) + ";"};
    files << NamedFile{"gif-frame-larger-than-screen.gif",
                       gifScreen(8, 8, palette) + gifImage(0, 0, 24, 16, pixels) + ";"};
    files << NamedFile{"gif-no-colour-table.gif",
                       gifScreen(24, 16, {}) + gifImage(0, 0, 24, 16, pixels) + ";"};
    files << NamedFile{"gif-index-beyond-palette.gif",
                       gifScreen(24, 16, {qRgb(0, 0, 0), qRgb(255, 0, 0)}) +
                           gifImage(0, 0, 24, 16, stripes(24, 16, 8)) + ";"};
    // An extension whose sub-block claims more bytes than the file has.
    files << NamedFile{"gif-extension-runs-off-the-end.gif",
                       gifScreen(24, 16, palette) + QByteArray("\x21\xFE\xFF", 3) + "Portrik"};
    files << NamedFile{"gif-transparent-animated.gif",
                       gifScreen(24, 16, palette) + gifTransparency(0, 50) +
                           gifImage(0, 0, 24, 16, pixels) + gifTransparency(0, 50) +
                           gifImage(4, 4, 8, 8, stripes(8, 8, 4)) + ";"};
    files << NamedFile{"gif-named.jpg", good};
    files << NamedFile{"bmp-named.gif", bmp24(pattern(20, 12))};
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pattern(20, 12).save(&buffer, "PNG");
    }
    files << NamedFile{"png-named.jpg", png};
    return files;
}

}  // namespace

QList<NamedFile> malformedFiles() {
    return jpegFiles() + bmpFiles() + gifFiles();
}
