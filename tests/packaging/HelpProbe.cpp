// Run from a program folder, it opens the main window, chooses Help / "Help" and prints the
// help file shown (empty when the error page is up) and the page's title.
#include <cstdio>

#include <QApplication>
#include <QTextBrowser>

#include "platform/widgets/HtmlViewer.h"
#include "workspace/Main.h"
#include "workspace/Startup.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepareApplication();
    Main window;
    window.onHelpUitleg();
    const QString shown = window.WebBrowser->shownFile();
    const QString title = window.WebBrowser->browser()->documentTitle();
    std::printf("%s\n%s\n", qPrintable(shown), qPrintable(title));
    return shown.isEmpty() ? 1 : 0;
}
