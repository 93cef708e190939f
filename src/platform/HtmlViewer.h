#pragma once

#include <QWidget>

class QTextBrowser;

// An HTML viewer shown inside a window area, told to display a local file.
class HtmlViewer : public QWidget {
    Q_OBJECT
public:
    explicit HtmlViewer(QWidget* parent = nullptr);

    // Loads the file afresh and shows it; a missing or unreadable file shows an error page
    // inside the viewer.
    void showFile(const QString& path);

    QTextBrowser* browser() const { return browser_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTextBrowser* browser_;
};
