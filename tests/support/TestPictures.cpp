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
