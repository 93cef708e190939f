// File / "Passport Photo 2020...".
#include "counter/CounterWindow.h"
#include "counter/FaceModelSource.h"
#include "workspace/Main.h"

void Main::onFilePassport() {
    // The loaded photo's pixels are shared, not copied, and stay alive for the window and its
    // workers, also when another photo is loaded meanwhile; the age group starts from the
    // head guide chosen last.
    const std::shared_ptr<const raster::Photo>& photo = session_.photo();
    if (!photo) return;
    CounterWindow window(photo, QString::fromStdString(session_.PhotoFileName()),
                         session_.guideAgeGroup(), dialogs(), printerChoice(),
                         services_.faces ? *services_.faces : FaceModelSource::shared(), this,
                         services_.workers);
    // exec() returns once none of the window's handlers runs any more (also when the
    // program is ended from the File menu meanwhile): it is safe to destroy it then.
    window.exec();
}
