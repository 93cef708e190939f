#pragma once

#include <QString>
#include <QStringList>

struct PrinterChoice;

// One entry of a file dialog's filter: the text the user sees and the name patterns it
// stands for ("Foto ( Jpg, Bmp, Gif )" with *.jpg, *.bmp, *.gif). Patterns match names
// regardless of case, so camera files such as IMG_0001.JPG show up.
struct FileFilter {
    QString description;
    QStringList patterns;
};

// The common dialogs and message boxes, behind one small interface so that tests answer
// them without a human (ScriptedDialogs, beside the tests) and the program shows the real
// ones (QtDialogs).
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Open dialog with the file name preset to empty. Returns the chosen full path, or an
    // empty string when the user cancelled.
    virtual QString openFile(const FileFilter& filter) = 0;

    // Save dialog with the file name preset to empty. It asks before replacing an existing
    // file and refuses read-only files and write-protected folders. No default extension is
    // added: the path is returned exactly as chosen. Empty when cancelled.
    virtual QString saveFile(const FileFilter& filter) = 0;

    // The same save dialog with the file name preset to `suggestedPath` (a full path: the
    // dialog opens in its folder with its name filled in), for the outputs that have a
    // sensible default name.
    virtual QString saveFileNamed(const FileFilter& filter, const QString& suggestedPath) = 0;

    // The platform's printer set-up dialog. On OK the choice is written to `choice` and
    // true returned; on cancel nothing changes and false is returned.
    virtual bool setupPrinter(PrinterChoice& choice) = 0;

    // The platform's print dialog, just before printing, opened on `choice`: on Print the
    // printer (or PDF file) chosen there is written to `choice` and true returned; on cancel
    // nothing changes, false is returned and nothing is to be printed.
    virtual bool choosePrinter(PrinterChoice& choice) = 0;

    // A message box with the text and an OK button.
    virtual void message(const QString& text) = 0;

    // A question with Yes and No buttons; true for Yes.
    virtual bool ask(const QString& text) = 0;
};
