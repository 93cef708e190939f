// Help, About, printer set-up and exit.
#include <QAction>
#include <QCoreApplication>
#include <QDir>

#include "EventPump.h"
#include "HtmlViewer.h"
#include "Main.h"

void Main::onHelpUitleg() {
    if (WebBrowser->isVisible()) {
        WebBrowser->hide();
        HelpUitleg->setChecked(false);
    } else {
        WebBrowser->show();
        WebBrowser->showFile(QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("help/portrik.htm")));
        HelpUitleg->setChecked(true);
    }
}

void Main::onHelpAbout() {}

void Main::onFileSetup() { dialogs().setupPrinter(printerChoice); }

void Main::onFileExit() {
    // Ends the program at once. Operations that let events run (a filter, a pause) may be
    // on the stack below this handler: they see the request and stop, and the event loops
    // unwind before any window is destroyed.
    requestQuit();
    hide();
    QCoreApplication::exit(0);
}
