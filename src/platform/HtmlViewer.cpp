#include "HtmlViewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

HtmlViewer::HtmlViewer(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
    browser_->setOpenExternalLinks(true);
}

void HtmlViewer::showFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        browser_->setHtml(
            QStringLiteral("<h2>The help page cannot be shown</h2><p>The file <tt>%1</tt> was "
                           "not found or cannot be read.</p>")
                .arg(path.toHtmlEscaped()));
        return;
    }
    browser_->clearHistory();
    browser_->setSource(QUrl());
    browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void HtmlViewer::resizeEvent(QResizeEvent*) { browser_->setGeometry(rect()); }
