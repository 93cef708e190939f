#include "platform/widgets/HtmlViewer.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

// The installed help folder as seen from the installed program's folder; the build sets it
// from its install directories.
#ifndef PORTRIK_HELP_FROM_PROGRAM
#define PORTRIK_HELP_FROM_PROGRAM "../share/portrik/help"
#endif

QStringList helpPageLocations(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString page = QStringLiteral("portrik.htm");
    return {QDir::cleanPath(folder.filePath(QStringLiteral("help/") + page)),
            QDir::cleanPath(folder.filePath(QStringLiteral(PORTRIK_HELP_FROM_PROGRAM "/") + page))};
}

HtmlViewer::HtmlViewer(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
    browser_->setOpenExternalLinks(true);
    browser_->setAccessibleName(QStringLiteral("Help page"));
}

void HtmlViewer::showFile(const QStringList& paths) {
    // Forget the previous page first: the browser does not reload a page it already shows,
    // and it keeps the pictures it loaded.
    browser_->setSource(QUrl());
    browser_->clear();
    browser_->clearHistory();
    shownFile_.clear();
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable()) {
            shownFile_ = info.absoluteFilePath();
            browser_->setSource(QUrl::fromLocalFile(shownFile_));
            return;
        }
    }
    QString places;
    for (const QString& path : paths) {
        places += QStringLiteral("<li><tt>%1</tt></li>")
                      .arg(QDir::toNativeSeparators(path).toHtmlEscaped());
    }
    browser_->setHtml(QStringLiteral("<h2>The help page cannot be shown</h2>"
                                     "<p>The help file was not found, or it cannot be read. "
                                     "It was looked for here:</p><ul>%1</ul>"
                                     "<p>Reinstalling the program puts it back.</p>")
                          .arg(places));
}

void HtmlViewer::resizeEvent(QResizeEvent*) {
    browser_->setGeometry(rect());
}
