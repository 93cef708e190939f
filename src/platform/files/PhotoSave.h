#pragma once

#include <functional>

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

// The name of the temporary BMP file of a JPEG save.
inline constexpr char kTemporaryBmpName[] = "mydummy.bmp";

// `image` as an uncompressed 24-bit BMP file (54-byte header, rows bottom-up, each padded to
// four bytes) at 92 pixels per inch, whatever the image's own format. Always 24 bits: other
// programs and BmpToJpeg read that, and a picture of few colours stays a true-colour file.
// Empty for a null image.
QByteArray encodeBmp24(const QImage& image);

// Writes one piece of a file and returns how many bytes went out, or -1, as
// QIODevice::write does. Tests pass one that fails or comes up short.
using ChunkWriter = std::function<qint64(QIODevice& file, const char* data, qint64 size)>;

// Writes `bytes` as the file at `path`: into a new file beside it, then renamed over it, so
// the file at `path` is always either the old one, untouched, or the complete new one.
// Every write's count is checked (a nearly full disk returns short counts without an error).
// Returns false, with the reason in `error`, when the new file was not put in place.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         const ChunkWriter& writer = {});

// Writes `bytes` as the file at `path` in place, every count checked, without the rename and
// the wait for the disk: for the temporary BMP, read back at once and deleted afterwards. On
// failure a partial file may stay for the caller to delete.
bool writeTemporaryFile(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                        const ChunkWriter& writer = {});

// Where the temporary BMP of a JPEG save goes: "mydummy.bmp" in `programFolder` while that
// folder can be written; for an installed program (a folder only the administrator may
// write) the user's private runtime folder, else the temp folder. A location that would be
// `avoid` itself (the user saving the JPEG as that very file) is passed over.
QString temporaryBmpPath(const QString& programFolder, const QString& avoid = {});

// True when the folder of `path` holds a file named exactly as the last part of `path`,
// letter case included (a file system that ignores case may have stored it differently).
bool temporaryFileFound(const QString& path);

// What saving goes through. Empty members mean the real thing; tests replace some.
struct SaveServices {
    // Where "mydummy.bmp" goes first; empty = the folder of the program file.
    QString programFolder;
    // Writes a whole file; empty = writeFileAtomically (writeTemporaryFile for the temporary BMP).
    std::function<bool(const QString& path, const QByteArray& bytes, QString* error)> writeFile;
    // BMP file to JPEG file; empty = BmpToJpeg.
    std::function<int(const char* bmpPath, const char* jpegPath, int quality)> bmpToJpeg;
};

enum class SaveResult {
    Saved,
    NotJpegName,  // the temporary file was not found under its exact name
    Failed,       // nothing was written at the chosen path; the reason is in `error`
};

// Writes `photo` as a 24-bit BMP file at `path`, exactly that name (no extension is added).
SaveResult savePhotoAsBmp(const QImage& photo, const QString& path, QString* error = nullptr,
                          const SaveServices& services = {});

// Writes `photo` as a JPEG file at `path`: the temporary BMP, the check of its name, then
// BmpToJpeg(temporary path, path, 100). The temporary file is gone afterwards on every way out.
SaveResult savePhotoAsJpeg(const QImage& photo, const QString& path, QString* error = nullptr,
                           const SaveServices& services = {});
