#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;

// Where the program's help page is looked for, in this order: "help/portrik.htm" in the
// program's folder (a build, or a program folder copied as a whole), then the installed
// data folder relative to it ("../share/portrik/help/portrik.htm" on a standard install).
QStringList helpPageLocations(const QString& programFolder);

// An HTML viewer shown inside a window area, told to display a local file.
class HtmlViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HtmlViewer(QWidget* parent = nullptr);

    // Shows the first of `paths` that can be read, loaded afresh from disk. When none can,
    // an error page inside the viewer names the places that were tried.
    void showFile(const QStringList& paths);
    void showFile(const QString& path) { showFile(QStringList{path}); }

    // The file on show; empty while the error page is shown.
    QString shownFile() const { return shownFile_; }

    QTextBrowser* browser() const { return browser_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QTextBrowser* browser_;
    QString shownFile_;
};
