#include <QApplication>

#include "Main.h"
#include "Startup.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepareApplication();
    Main window;
    window.show();
    return QApplication::exec();
}
