#pragma once

#include "platform/widgets/Dialogs.h"

class QWidget;

// The real dialogs, owned by a window that acts as their parent.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    QString openFile(const FileFilter& filter) override;
    QString saveFile(const FileFilter& filter) override;
    QString saveFileNamed(const FileFilter& filter, const QString& suggestedPath) override;
    bool setupPrinter(PrinterChoice& choice) override;
    bool choosePrinter(PrinterChoice& choice) override;
    void message(const QString& text) override;
    bool ask(const QString& text) override;

    // The filter string a QFileDialog takes for `filter`: the description followed by the
    // patterns in every case the platform's case-sensitive matching needs (*.jpg, *.JPG, ...).
    static QString nameFilter(const FileFilter& filter);

private:
    QWidget* parent_;
};
