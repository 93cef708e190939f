// File / "Save Photo": the passport photo as a BMP or a JPEG file.
#include <QDir>

#include "workspace/Main.h"
#include "platform/files/PhotoSave.h"

void Main::onFileSaveAs(int index) {
    if (index != 1 && index != 2) return;
    const bool jpeg = index == 2;
    const FileFilter filter =
        jpeg ? FileFilter{QStringLiteral("Jpg format (*.jpg)"), {QStringLiteral("*.jpg")}}
             : FileFilter{QStringLiteral("Bitmap (*.bmp)"), {QStringLiteral("*.bmp")}};
    const QString path = dialogs().saveFile(filter);
    if (path.isEmpty()) return;  // cancelled: nothing written, nothing said

    // The photo's own image: filters, flips and border are in it, the guides never are.
    const QImage photo = passportPhoto();
    QString error;
    const SaveResult result = jpeg ? savePhotoAsJpeg(photo, path, &error, services_.save)
                                   : savePhotoAsBmp(photo, path, &error, services_.save);
    if (result == SaveResult::NotJpegName) {
        dialogs().message(QStringLiteral("File save not as JPG!"));
    } else if (result == SaveResult::Failed) {
        // A save that went wrong must not look like one that worked.
        dialogs().message(QStringLiteral("The photo was not saved to\n%1\n\n%2")
                              .arg(QDir::toNativeSeparators(path), error));
    }
}
