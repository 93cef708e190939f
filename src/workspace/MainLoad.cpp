// File / "Load Photo".
#include <QAction>
#include <QMenu>

#include "workspace/Algemeen.h"
#include "platform/widgets/AppCursor.h"
#include "workspace/Main.h"
#include "platform/files/PhotoFile.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/ScrollBar.h"

void Main::onFileLoad() {
    const FileFilter filter{QStringLiteral("Foto ( Jpg, Bmp, Gif )"),
                            {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                             QStringLiteral("*.bmp"), QStringLiteral("*.gif")}};
    const QString path = dialogs().openFile(filter);
    if (path.isEmpty()) return;  // cancelled: nothing changes

    AppCursor::BusyScope busy;
    PhotoFileName = path;
    // Decoded once; the viewport and the zoomed view read the same pixels.
    QImage photo = loadPhoto(path, Pic->backColor());
    if (photo.isNull()) return;  // not a picture we can read: only PhotoFileName changed
    BackPic = std::move(photo);
    const view::ConstPixels pixels{reinterpret_cast<const std::uint32_t*>(BackPic.constBits()),
                                   BackPic.width(), BackPic.height(),
                                   static_cast<int>(BackPic.bytesPerLine() / 4)};
    ZoomPic = view::ZoomView(pixels, 100);
    // The viewport shows the photo unscaled from its top-left corner, whatever the scroll
    // values; a change of them below redraws it by the view mapping.
    renderViewport(0, 0);

    Algemeen::ShowInfo(InfoLabel, QStringLiteral(
        "Klik met de linker muisknop wanneer de foto juist is gepositioneerd..."));
    // A path is shown as it is: an "&" in it is no keyboard accelerator.
    Filename->setText(QString(PhotoFileName).replace(QLatin1Char('&'), QLatin1String("&&")));
    ZoomSize->menuAction()->setEnabled(true);
    Edit->menuAction()->setEnabled(true);
    Flip->menuAction()->setEnabled(true);
    FilePrint->setEnabled(true);
    FileSave->menuAction()->setEnabled(true);
    grabberVisible = true;
    Pic->update();
    setZoomChecks(10);

    // Scroll values are signed 16-bit numbers: a photo whose range does not fit ends the
    // load here, with the photo shown and the menus enabled but the ranges unchanged.
    const auto hMax = view::loadScrollMax(BackPic.width(), view::kViewportWidth, 530);
    const auto vMax = view::loadScrollMax(BackPic.height(), view::kViewportHeight, 397);
    if (hMax && !view::fitsScrollValue(*hMax)) return;
    if (hMax) {
        HScroll1->setMin(0);
        HScroll1->setMax(static_cast<int>(*hMax));
        HScroll1->setValue(0);
    }
    if (vMax && !view::fitsScrollValue(*vMax)) return;
    if (vMax) {
        VScroll1->setMin(0);
        VScroll1->setMax(static_cast<int>(*vMax));
        VScroll1->setValue(0);
    }
    PhotoLoaded = true;
}
