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
