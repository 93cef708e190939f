#include <QApplication>
#include <QScreen>

#include "workspace/Main.h"
#include "workspace/Startup.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepareApplication();
    Main window;
    // Centred on the screen when first shown; the layout inside is fixed.
    if (const QScreen* screen = window.screen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    window.show();
    return QApplication::exec();
}
