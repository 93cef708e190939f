// File / "Load Photo".
#include <QAction>
#include <QDir>
#include <QMenu>

#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureSurface.h"
#include "workspace/Algemeen.h"
#include "workspace/Main.h"

namespace {

// "is too wide for the viewport's scroll bars: 33300 pixels across, at most 33297".
QString scrollRefusalText(const view::ScrollRefusal& refusal) {
    const bool across = refusal.axis == view::Axis::Horizontal;
    return QStringLiteral("is too %1 for the viewport's scroll bars: %2 pixels %3, at most %4")
        .arg(across ? QStringLiteral("wide") : QStringLiteral("tall"))
        .arg(across ? refusal.width : refusal.height)
        .arg(across ? QStringLiteral("across") : QStringLiteral("down"))
        .arg(refusal.limit);
}

// The message for a photo that was not loaded: the file, then why.
QString refusedPhoto(const QString& path, const QString& reason) {
    return QStringLiteral("The file\n%1\n%2.").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

void Main::onFileLoad() {
    const FileFilter filter{QStringLiteral("Foto ( Jpg, Bmp, Gif )"),
                            {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                             QStringLiteral("*.bmp"), QStringLiteral("*.gif")}};
    const QString path = dialogs().openFile(filter);
    if (path.isEmpty()) return;  // cancelled: nothing changes

    // The path is remembered whatever happens next; a photo that cannot be shown changes
    // nothing else, and the user is told why once the arrow is back.
    session_.setPhotoFileName(path.toStdString());
    const QString refusal = loadPhotoFile(path);
    if (!refusal.isEmpty()) dialogs().message(refusal);
}

QString Main::loadPhotoFile(const QString& path) {
    AppCursor::BusyScope busy;
    PhotoError error;
    QImage decoded = loadPhoto(path, Pic->backColor(), &error);
    if (decoded.isNull()) return refusedPhoto(path, photoErrorText(error));
    // Decoded once and held once: the session and the zoomed view share these pixels.
    if (const auto refused = session_.load(adoptPhoto(std::move(decoded)))) {
        return refusedPhoto(path, scrollRefusalText(*refused));
    }
    showLoadedPhoto();
    return {};
}

void Main::showLoadedPhoto() {
    // The viewport shows the photo unscaled from its top-left corner, whatever the scroll
    // values; the next change of them redraws it by the view mapping.
    renderViewport(0, 0);
    Algemeen::ShowInfo(InfoLabel, QStringLiteral("Klik met de linker muisknop wanneer de foto "
                                                 "juist is gepositioneerd..."));
    // A path is shown as it is: an "&" in it is no keyboard accelerator.
    Filename->setText(QString::fromStdString(session_.PhotoFileName())
                          .replace(QLatin1Char('&'), QLatin1String("&&")));
    updateActions();
    Pic->update();
    showZoomChecks();
    showScrollBars();
}
