#pragma once

#include <QImage>
#include <QString>
#include <QTemporaryDir>

// A picture whose every pixel tells where it came from: red = x mod 256, green = y mod 256,
// blue = (x / 256) + 16 * (y / 256), so a stretched or shifted copy can be checked exactly.
QImage codedPicture(int width, int height);

// Writes `image` into `dir` under `name` in `format` ("JPG", "BMP", "GIF"); returns the path.
QString writePicture(const QTemporaryDir& dir, const QString& name, const QImage& image,
                     const char* format, int quality = -1);

// Writes raw bytes into `dir` under `name`; returns the path.
QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

// A GIF of `width` x `height` whose pixel (x, y) has palette index indices[y * width + x]
// (< 128); `palette` holds up to 128 colours. transparentIndex < 0 means none. Qt has no GIF
// writer, so this one writes the image data as plain LZW literals.
QByteArray makeGif(int width, int height, const QList<QRgb>& palette,
                   const QList<quint8>& indices, int transparentIndex = -1);

// `jpeg` with the size in its frame header changed to width x height (the data stays as it
// was): a file that claims a size it does not hold.
QByteArray withJpegFrameSize(QByteArray jpeg, int width, int height);

// `jpeg` with an EXIF block carrying `orientation` (1..8) right after its start marker.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

// The bytes of `image` saved in `format`.
QByteArray encoded(const QImage& image, const char* format, int quality = -1);
