// The real printer set-up dialog behind File / "Setup Printer" (QtDialogs::setupPrinter):
// what the user picks is kept, Cancel keeps the earlier choice, and it works with no
// printer installed at all (printing to a PDF file is always offered).
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/widgets/PrinterChoice.h"
#include "platform/widgets/QtDialogs.h"

namespace {

// Runs `answer` on the printer dialog as soon as it is open.
void whenDialogOpens(std::function<void(QPrintDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no printer dialog";
        answer(*dialog);
    });
}

// The dialog's own controls, by the names Qt gives them.
QComboBox* printerList(QPrintDialog& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("printers"));
}
QLineEdit* fileNameBox(QPrintDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
}

// The list's "Print to File (PDF)" entry: the last one, after the printers.
void choosePdf(QPrintDialog& dialog, const QString& file) {
    QComboBox* list = printerList(dialog);
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(list->count() - 1);
    ASSERT_NE(fileNameBox(dialog), nullptr);
    fileNameBox(dialog)->setText(file);
}

// Presses OK as the user does, so the dialog checks its fields first. A warning it raises
// instead of closing fails the test and is dismissed.
void pressOk(QPrintDialog& dialog) {
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the dialog refused: " << box->text().toStdString();
            box->reject();
        }
    });
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    if (dialog.isVisible()) dialog.reject();
}

class PrintDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
    QWidget parent;
    QtDialogs dialogs{&parent};
};

TEST_F(PrintDialogTest, CancelKeepsTheEarlierChoice) {
    PrinterChoice choice{QString(), dir.filePath(QStringLiteral("earlier.pdf"))};
    whenDialogOpens([](QPrintDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(dialogs.setupPrinter(choice));
    EXPECT_TRUE(choice.printerName.isEmpty());
    EXPECT_EQ(choice.pdfFile, dir.filePath(QStringLiteral("earlier.pdf")));
}

TEST_F(PrintDialogTest, APdfFileChosenThereIsKept) {
    const QString file = dir.filePath(QStringLiteral("vel.pdf"));
    PrinterChoice choice{QStringLiteral("Kantoor"), QString()};
    whenDialogOpens([&](QPrintDialog& dialog) {
        choosePdf(dialog, file);
        pressOk(dialog);
    });
    EXPECT_TRUE(dialogs.setupPrinter(choice));
    EXPECT_TRUE(choice.printerName.isEmpty());
    EXPECT_EQ(choice.pdfFile, file);
}

TEST_F(PrintDialogTest, ItsConfirmingButtonSaysOkNotPrint) {
    PrinterChoice choice;
    QString caption;
    whenDialogOpens([&](QPrintDialog& dialog) {
        caption = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
        dialog.reject();
    });
    dialogs.setupPrinter(choice);
    EXPECT_EQ(caption, "OK");
}

TEST_F(PrintDialogTest, TheEarlierPdfChoiceIsShownAgain) {
    const QString file = dir.filePath(QStringLiteral("vel.pdf"));
    PrinterChoice choice{QString(), file};
    QString shown;
    whenDialogOpens([&](QPrintDialog& dialog) {
        if (QLineEdit* box = fileNameBox(dialog)) shown = box->text();
        dialog.reject();
    });
    dialogs.setupPrinter(choice);
    EXPECT_EQ(shown, file);
}

TEST_F(PrintDialogTest, APrinterChosenThereIsKept) {
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty()) GTEST_SKIP() << "no printer queue on this machine";
    PrinterChoice choice{QString(), dir.filePath(QStringLiteral("earlier.pdf"))};
    whenDialogOpens([&](QPrintDialog& dialog) {
        QComboBox* list = printerList(dialog);
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(list->findText(printers.first()));
        pressOk(dialog);
    });
    EXPECT_TRUE(dialogs.setupPrinter(choice));
    EXPECT_EQ(choice.printerName, printers.first());
    EXPECT_TRUE(choice.pdfFile.isEmpty());
}

}  // namespace
