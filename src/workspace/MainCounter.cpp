// File / "Passport Photo 2020...".
#include "counter/CounterWindow.h"
#include "counter/FaceModelSource.h"
#include "workspace/Main.h"

void Main::onFilePassport() {
    // The loaded photo's pixels are shared, not copied, and stay alive for the window and its
    // workers; the age group starts from the head guide chosen last.
    CounterWindow window(
        CounterPhoto::fromImage(BackPic, PhotoFileName),
        guides.guideFrom11 ? passport::AgeGroup::From11 : passport::AgeGroup::UpTo10, dialogs(),
        printerChoice, FaceModelSource::shared(), this);
    // exec() returns once none of the window's handlers runs any more (also when the
    // program is ended from the File menu meanwhile): it is safe to destroy it then.
    window.exec();
}
