#pragma once

// Small helpers shared by the save tests that use Qt.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QString>

#include <turbojpeg.h>

#include <ostream>

// Test failures show paths and messages as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A picture like a passport photo: a soft background, a face, two eyes, a little grain.
inline QImage portraitPicture() {
    QImage image(127, 163, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) row[x] = qRgb(180 + x / 8, 190 + y / 10, 215);
    }
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(224, 172, 140));
    painter.drawEllipse(QRect(30, 40, 67, 90));
    painter.setBrush(QColor(60, 40, 30));
    painter.drawEllipse(QRect(46, 75, 10, 6));
    painter.drawEllipse(QRect(71, 75, 10, 6));
    painter.end();
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = (y * 7) % 5; x < image.width(); x += 5) {
            const QRgb p = image.pixel(x, y);
            image.setPixel(x, y, qRgb(qRed(p) ^ 4, qGreen(p) ^ 2, qBlue(p) ^ 6));
        }
    }
    return image;
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// Every name in `folder`, hidden ones included.
inline QSet<QString> namesIn(const QString& folder) {
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
    return {names.begin(), names.end()};
}

// The picture as TurboJPEG's BMP reader sees it (what BmpToJpeg works from).
inline QImage loadWithTurboJpeg(const QString& path) {
    int width = 0, height = 0, format = TJPF_BGRX;
    unsigned char* pixels =
        tjLoadImage(QFile::encodeName(path).constData(), &width, 1, &height, &format, 0);
    if (!pixels) return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* src = pixels + std::size_t(y) * width * 4;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
    }
    tjFree(pixels);
    return image;
}

// Mean absolute difference per channel (red, green, blue) of two pictures of one size.
struct ChannelError {
    double red = 0, green = 0, blue = 0;
};

inline ChannelError meanAbsoluteError(const QImage& a, const QImage& b) {
    ChannelError e;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            e.red += std::abs(qRed(p) - qRed(q));
            e.green += std::abs(qGreen(p) - qGreen(q));
            e.blue += std::abs(qBlue(p) - qBlue(q));
        }
    }
    const double n = double(x.width()) * x.height();
    return {e.red / n, e.green / n, e.blue / n};
}
