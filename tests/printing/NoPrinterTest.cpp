// A machine without any printer: this program runs with CUPS pointed at a socket that does
// not exist, so no queue and no default printer are found.
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureButton.h"
#include "PrintTestSupport.h"
#include "platform/widgets/PrinterChoice.h"
#include "printing/SheetPrinter.h"

namespace {

TEST(NoPrinter, PrintingSaysNoPrinterIsAvailable) {
    ASSERT_TRUE(QPrinterInfo::defaultPrinterName().isEmpty()) << "a printer was found after all";
    const QImage photo = markedPhoto();
    const PrintOutcome outcome = printSheet(PrinterChoice{}, sheets::SheetOptions{}, photo,
                                            QImage(QStringLiteral(":/pictures/stamp.png")));
    EXPECT_FALSE(outcome.printed);
    EXPECT_EQ(outcome.problem, QStringLiteral("No printer is available."));
}

TEST(NoPrinter, OkOffersToSaveTheSheetAsAPdf) {
    QTemporaryDir dir;
    PointerNotingDialogs dialogs;
    dialogs.askAnswers.push_back(true);
    dialogs.saveAnswers.push_back(dir.filePath(QStringLiteral("sheet.pdf")));
    const QImage photo = markedPhoto();
    Afdrukken window(photo, dialogs, PrinterChoice{});
    window.show();
    window.PrintKnop->click();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(QLatin1String("No printer is available.")));
    EXPECT_TRUE(dialogs.arrowWhenAsked);
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    EXPECT_EQ(pdfFacts(dir.filePath(QStringLiteral("sheet.pdf"))).pages, 1);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
