#include "platform/widgets/QtDialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include "platform/widgets/PrinterChoice.h"

namespace {

// "*.jpg" -> "*.[jJ][pP][gG]": file names match the pattern whatever their case.
QString caseless(const QString& pattern) {
    QString out;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString QtDialogs::nameFilter(const FileFilter& filter) {
    QStringList patterns;
    for (const QString& p : filter.patterns) patterns << caseless(p);
    return filter.description + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

QString QtDialogs::openFile(const FileFilter& filter) {
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(nameFilter(filter));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(const FileFilter& filter) {
    return saveFileNamed(filter, QString());
}

QString QtDialogs::saveFileNamed(const FileFilter& filter, const QString& suggestedPath) {
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(nameFilter(filter));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(QString());
    if (!suggestedPath.isEmpty()) dialog.setDirectory(QFileInfo(suggestedPath).absolutePath());
    dialog.selectFile(suggestedPath.isEmpty() ? QString() : QFileInfo(suggestedPath).fileName());
    // QFileDialog asks before overwriting by itself (unless DontConfirmOverwrite is set).
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        const QString path = dialog.selectedFiles().constFirst();
        const QFileInfo info(path);
        const QFileInfo folder(info.absolutePath());
        const bool readOnlyFile = info.exists() && !info.isWritable();
        const bool protectedFolder = !folder.isWritable();
        if (!readOnlyFile && !protectedFolder) return path;
        QMessageBox::warning(&dialog, dialog.windowTitle(),
                             readOnlyFile
                                 ? QObject::tr("%1 is read-only. Choose another name.").arg(path)
                                 : QObject::tr("The folder %1 is write-protected. Choose another "
                                               "folder.")
                                       .arg(info.absolutePath()));
    }
}

namespace {

// The print dialog opened on `choice`; on OK, `choice` becomes what was chosen in it.
bool runPrintDialog(PrinterChoice& choice, QWidget* parent, bool onlyChoose) {
    QPrinter printer;
    if (!choice.printerName.isEmpty()) printer.setPrinterName(choice.printerName);
    if (!choice.pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(choice.pdfFile);
    }
    QPrintDialog dialog(&printer, parent);
    if (onlyChoose) {
        // Here the dialog only chooses the printer; its confirming button should not promise
        // to print. Set once built and again once shown, in case the dialog relabels it.
        const auto relabel = [&dialog] {
            for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>()) {
                if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) {
                    ok->setText(QObject::tr("OK"));
                }
            }
        };
        relabel();
        QTimer::singleShot(0, &dialog, relabel);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        choice.printerName.clear();
        choice.pdfFile = printer.outputFileName();
    } else {
        choice.printerName = printer.printerName();
        choice.pdfFile.clear();
    }
    return true;
}

}  // namespace

bool QtDialogs::setupPrinter(PrinterChoice& choice) {
    return runPrintDialog(choice, parent_, true);
}

bool QtDialogs::choosePrinter(PrinterChoice& choice) {
    return runPrintDialog(choice, parent_, false);
}

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Portrik"), text, QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtDialogs::ask(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Portrik"), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}
