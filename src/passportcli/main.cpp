// portrik-passport: the counter photo from the command line (see PassportCommand.h).
#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "passportcli/PassportCommand.h"

namespace {

// Qt's own notices (no runtime folder, no fonts configured) are no business of the user of a
// command; real failures are reported by the command itself.
void onlyFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The PDF is drawn off screen: no display is needed, and a display that is set but gone
    // (a closed remote session) does not stop the program. Qt sees none of the arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(onlyFailures);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return passportcli::runCommand(args, std::cout, std::cerr);
}
