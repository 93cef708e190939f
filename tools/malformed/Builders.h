#pragma once

// Byte-level builders for small JPEG, BMP and GIF files, valid or deliberately broken.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

struct NamedFile {
    QString name;
    QByteArray bytes;
};

// A smooth picture with a different colour in every corner, so damage shows.
QImage pattern(int width, int height);

// --- JPEG ---------------------------------------------------------------------------------
QByteArray jpeg(const QImage& image, int quality, bool progressive = false);
// Four-channel (Adobe YCCK) JPEG as print shops write them.
QByteArray cmykJpeg(int width, int height, int quality);
// Offset of the first segment with this marker (the 0xFF byte), or -1.
qsizetype findMarker(const QByteArray& jpeg, quint8 marker);
// Offset of the first byte of picture data after the first start-of-scan header.
qsizetype scanDataStart(const QByteArray& jpeg);
// The file with every segment of this marker taken out.
QByteArray withoutSegments(const QByteArray& jpeg, quint8 marker);
// The frame header changed to claim width x height.
QByteArray withFrameSize(QByteArray jpeg, int width, int height);
// An APP1 Exif segment holding `tiff`, right after the start marker.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff);
// A big-endian TIFF block whose first IFD holds the orientation tag.
QByteArray tiffWithOrientation(int orientation);

// --- BMP ----------------------------------------------------------------------------------
QByteArray le16(int value);
QByteArray le32(qint64 value);
// BITMAPINFOHEADER (40 bytes).
QByteArray infoHeader(qint32 width, qint32 height, int bitsPerPixel, int compression = 0,
                      quint32 imageSize = 0, quint32 coloursUsed = 0);
// File header + info header + palette (4 bytes a colour) + pixels; the pixel offset points
// right after the palette.
QByteArray bmpFile(const QByteArray& header, const QList<QRgb>& palette, const QByteArray& pixels);
// Rows of 24-bit pixels, bottom row first unless topDown, each padded to 4 bytes.
QByteArray rows24(const QImage& image, bool topDown = false);
// A plain 24-bit BMP of the image.
QByteArray bmp24(const QImage& image);
// Rows of 8-bit indices (bottom row first), each padded to 4 bytes.
QByteArray rows8(int width, int height, const QList<quint8>& indices);

// --- GIF ----------------------------------------------------------------------------------
// "GIF89a", the logical screen and a global colour table (none when `palette` is empty; a
// table is padded to a power of two).
QByteArray gifScreen(int width, int height, const QList<QRgb>& palette);
// An image descriptor with its pixels as LZW literals; a local table when `local` is given.
QByteArray gifImage(int left, int top, int width, int height, const QList<quint8>& indices,
                    const QList<QRgb>& local = {}, bool interlaced = false);
// The LZW codes for `indices`, literals only, at minimum code size 3 (palette indices < 8).
QByteArray gifLzwCodes(const QList<quint8>& indices);
// Packs codes of `width` bits, least significant bit first.
QByteArray packCodes(const QList<int>& codes, int width);
// Data split into sub-blocks of at most 255 bytes, ending with the empty block.
QByteArray gifSubBlocks(const QByteArray& data);
// A graphic control extension making `index` transparent.
QByteArray gifTransparency(int index, int delay = 0);
// Palette indices of a width x height picture in stripes of `colours` colours.
QList<quint8> stripes(int width, int height, int colours);
// A small, valid GIF: one frame filling the screen.
QByteArray simpleGif(int width, int height);
