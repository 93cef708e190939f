// File / "Passport Photo 2020...".
#include <QTimer>

#include "counter/CounterWindow.h"
#include "counter/FaceModelSource.h"
#include "platform/files/AnyPhoto.h"
#include "workspace/Main.h"

void Main::onFilePassport() {
    // The loaded photo's pixels are shared, not copied, and stay alive for the window and its
    // workers, also when another photo is loaded meanwhile; the age group starts from the
    // head guide chosen last. Without a loaded photo the window opens empty and asks for one.
    CounterWindow window(nullptr, QString(), session_.guideAgeGroup(), dialogs(), printerChoice(),
                         services_.faces ? *services_.faces : FaceModelSource::shared(), this,
                         services_.workers);
    if (const std::shared_ptr<const raster::Photo>& loaded = session_.photo()) {
        const QString path = QString::fromStdString(session_.PhotoFileName());
        std::shared_ptr<const raster::Photo> photo = loaded;
        QString colourNote;
        // The main window shows a photo's pixels as stored; the counter reads them in sRGB.
        // A file with a colour profile is read again, converted, when it still is the photo
        // shown.
        if (carriesColourProfile(path)) {
            OpenedPhoto converted = openAnyPhoto(path);
            if (converted.photo && converted.photo->width() == loaded->width() &&
                converted.photo->height() == loaded->height()) {
                photo = std::move(converted.photo);
                colourNote = converted.colour;
            }
        }
        window.openPhoto(std::move(photo), path, colourNote);
    } else {
        QTimer::singleShot(0, &window, &CounterWindow::onOpenPhoto);
    }
    // exec() returns once none of the window's handlers runs any more (also when the
    // program is ended from the File menu meanwhile): it is safe to destroy it then.
    window.exec();
}
