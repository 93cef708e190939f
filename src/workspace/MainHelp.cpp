// Help, About, printer set-up and exit.
#include <QAction>
#include <QApplication>
#include <QWidget>

#include "workspace/About.h"
#include "platform/widgets/EventPump.h"
#include "platform/widgets/HtmlViewer.h"
#include "workspace/Main.h"

void Main::onHelpUitleg() {
    // isHidden, not isVisible: the page's own flag, whether or not the window is on screen.
    if (!WebBrowser->isHidden()) {
        WebBrowser->hide();
        HelpUitleg->setChecked(false);
    } else {
        WebBrowser->show();
        // Read afresh on every showing, so an edited page shows its edits.
        WebBrowser->showFile(helpPageLocations(QCoreApplication::applicationDirPath()));
        HelpUitleg->setChecked(true);
    }
}

void Main::onHelpAbout() {
    // Modal: the main window takes no input until "Ok"; the window is gone once closed.
    About about(this);
    about.exec();
}

void Main::onFileSetup() {
    dialogs().setupPrinter(services_.printer);
}

void Main::onFileExit() {
    // Ends the program at once, whatever is open, without a question. Operations that let
    // events run (a filter, a pause, an open dialog) may be on the stack below this handler:
    // the request makes them stop, exit() ends every running event loop (and makes new ones
    // return at once), and the stack unwinds before main() destroys any window.
    requestQuit();
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(0);
    // Should no loop be running yet, the request waits in the queue for the main loop.
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}
