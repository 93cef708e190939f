// The window's outputs: the 600 dpi photo and the photo-lab sheet as JPEG files, and the A4
// sheet of rows printed (after the print dialog) or saved as a PDF file with the 600 dpi photo
// in the places of the print window's sheets; each output says where it went, and failures
// are reported with the path and the reason.
#include <cstdio>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CounterTestSupport.h"
#include "PrintTestSupport.h"
#include "passport/LabSheet.h"
#include "passport/Rules.h"

namespace {

constexpr int kDpi = 254;  // ten pixels to the millimetre
constexpr int kDotsPerMeterAt600 = 23622;

// A 35 : 45 photo that shows where it is and which way up: blue, red in the top-left
// corner. No face: the window frames it whole, centred, by hand.
QImage markedCounterPhoto() {
    QImage photo(700, 900, QImage::Format_RGB32);
    photo.fill(QColor(0, 0, 255));
    QPainter(&photo).fillRect(0, 0, 56, 56, QColor(255, 0, 0));
    return photo;
}

struct Written {
    QSize size;
    int dotsPerMeter = 0;
};

Written readJpeg(const QString& path) {
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "jpeg") << path.toStdString();
    const QImage image = reader.read();
    return {image.size(), image.dotsPerMeterX()};
}

// The sheet's photos stand where the print window puts the 127 x 163 photo, upright, each
// exactly 35 x 45 mm.
void expectRowsOfPhotos(const QString& pdf, int rows, bool cutLines) {
    const PdfFacts facts = pdfFacts(pdf);
    ASSERT_TRUE(facts.readable);
    EXPECT_EQ(facts.pages, 1);
    EXPECT_NEAR(facts.widthPoints, 595.3, 0.5);
    EXPECT_NEAR(facts.heightPoints, 841.9, 0.5);
    // One 600 dpi photo object, drawn five times a row.
    EXPECT_EQ(distinctPdfImages(pdf), 1);
    EXPECT_EQ(pdfImageUses(pdf), 5 * rows);
    const PageRaster raster(rasterisePdf(pdf, kDpi), kDpi, {0, 0});
    std::vector<QRectF> allowed;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 5; ++c) {
            // At exactly 35 x 45 mm, in the places of the print window's rows.
            const QRectF expected(450 + 2120 * c, 600 + 3000 * r, sheets::kTruePhotoWidthTwips,
                                  sheets::kTruePhotoHeightTwips);
            const QRectF found =
                raster.regionAround(expected.center().x(), expected.center().y(), isPhotoBlue);
            EXPECT_NEAR(found.left(), expected.left(), raster.tolerance()) << r << c;
            EXPECT_NEAR(found.top(), expected.top(), raster.tolerance()) << r << c;
            EXPECT_NEAR(found.right(), expected.right(), raster.tolerance()) << r << c;
            EXPECT_NEAR(found.bottom(), expected.bottom(), raster.tolerance()) << r << c;
            const QPointF mark(expected.left() + 60, expected.top() + 60);
            EXPECT_TRUE(isMarkRed(raster.image().pixel(int(raster.toPixelsX(mark.x())),
                                                       int(raster.toPixelsY(mark.y())))));
            allowed.push_back(expected.adjusted(-200, -200, 200, 200));
        }
    }
    EXPECT_EQ(raster.markedPixelsOutside(allowed), 0) << "nothing else on the page";
    // The first photo's top cut line reaches 150 twips to its left.
    EXPECT_EQ(raster.darkBox(QRectF(320, 570, 100, 60)).isEmpty(), !cutLines);
}

TEST(CounterOutput, WritesThePhotoTheLabSheetAndTheA4SheetAndSaysWhere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString photoName = dir.filePath(QStringLiteral("anna.jpg"));
    const QString printedPdf = dir.filePath(QStringLiteral("printed.pdf"));
    const auto savedAs = [](const QString& what, const QString& path) {
        return QStringList{QStringLiteral("%1 was saved as \"%2\".").arg(what, path)};
    };
    struct Case {
        const char* what;
        QString answer;  // the save dialog's answer
        PrinterChoice printer;
        std::optional<PrinterChoice> printAnswer;  // the print dialog's; nullopt: Cancel
        std::function<void(CounterWindow&)> act;
        QString suggested;  // what the save dialog offered; empty: not asked
        QStringList said;   // the messages
        std::function<void(const QString& path)> check;
        bool needsCups = false;
    };
    const Case cases[] = {
        {"Save Photo",
         dir.filePath(QStringLiteral("photo.jpg")),
         {},
         {},
         [](CounterWindow& w) { w.SavePhoto->click(); },
         dir.filePath(QStringLiteral("anna-passport.jpg")),
         savedAs("The photo", dir.filePath(QStringLiteral("photo.jpg"))),
         [](const QString& path) {
             const Written w = readJpeg(path);
             EXPECT_EQ(w.size, QSize(passport::kPrintWidth, passport::kPrintHeight));
             EXPECT_EQ(w.dotsPerMeter, kDotsPerMeterAt600);
         }},
        {"Save Lab Sheet",
         dir.filePath(QStringLiteral("lab.jpg")),
         {},
         {},
         [](CounterWindow& w) { w.SaveLabSheet->click(); },
         dir.filePath(QStringLiteral("anna-lab-sheet.jpg")),
         savedAs("The lab sheet", dir.filePath(QStringLiteral("lab.jpg"))),
         [](const QString& path) {
             const Written w = readJpeg(path);
             EXPECT_EQ(w.size, QSize(passport::kLabSheetWidth, passport::kLabSheetHeight));
             EXPECT_EQ(w.dotsPerMeter, kDotsPerMeterAt600);
         }},
        {"Save Sheet as PDF, two rows with cut lines",
         dir.filePath(QStringLiteral("two.pdf")),
         {},
         {},
         [](CounterWindow& w) {
             w.SheetRows->setValue(2);
             w.CutLines->setChecked(true);
             w.SaveSheetPdf->click();
         },
         dir.filePath(QStringLiteral("anna-sheet.pdf")),
         savedAs("The sheet", dir.filePath(QStringLiteral("two.pdf"))),
         [](const QString& path) { expectRowsOfPhotos(path, 2, true); }},
        {"Print Sheet on the PDF file chosen in the print dialog, five rows",
         {},
         {QStringLiteral("chosen-before"), {}},
         PrinterChoice{QString(), printedPdf},
         [](CounterWindow& w) {
             w.SheetRows->setValue(5);
             w.PrintSheet->click();
         },
         {},
         savedAs("The sheet", printedPdf),
         [&](const QString&) { expectRowsOfPhotos(printedPdf, 5, false); }},
        {"Print Sheet cancelled in the print dialog",
         {},
         {QString(), dir.filePath(QStringLiteral("cancelled.pdf"))},
         std::nullopt,
         [](CounterWindow& w) { w.PrintSheet->click(); },
         {},
         {},
         [&](const QString&) {
             EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("cancelled.pdf"))));
         }},
        {"Print Sheet on the printer chosen in the print dialog",
         {},
         {},
         PrinterChoice{QStringLiteral("PDF"), {}},
         [](CounterWindow& w) { w.PrintSheet->click(); },
         {},
         {QStringLiteral("The sheet was sent to the printer \"PDF\".")},
         [](const QString&) {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsCups && !cupsPdfQueueReady()) {
            std::printf("[ skipped  ] %s: no CUPS scheduler with the PDF queue\n", c.what);
            continue;
        }
        const std::unique_ptr<FaceModelSource> missing = missingModelSource();
        CounterSession s;
        s.open(markedCounterPhoto(), passport::AgeGroup::From11, *missing, photoName, c.printer);
        s.window->setDocumentName(
            QStringLiteral("Portrik counter test %1").arg(qApp->applicationPid()));
        ASSERT_TRUE(s.settle());
        if (!c.answer.isEmpty()) s.dialogs.saveAnswers.push_back(c.answer);
        s.dialogs.printAnswers.push_back(c.printAnswer);
        c.act(*s.window);
        EXPECT_EQ(s.dialogs.saveSuggestions,
                  c.suggested.isEmpty() ? QStringList() : QStringList{c.suggested});
        const bool printing = c.answer.isEmpty();
        // The print dialog opens on the window's printer, and only for printing.
        ASSERT_EQ(s.dialogs.printPresets.size(), printing ? 1u : 0u);
        if (printing) {
            EXPECT_EQ(s.dialogs.printPresets.front().printerName, c.printer.printerName);
            EXPECT_EQ(s.dialogs.printPresets.front().pdfFile, c.printer.pdfFile);
        }
        EXPECT_EQ(s.dialogs.messages, c.said);
        EXPECT_TRUE(s.dialogs.questions.isEmpty());
        c.check(c.answer);
    }
}

TEST(CounterOutput, ReportsWhatCouldNotBeWrittenAndOffersAPdfForAFailedPrint) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString noFolder = dir.filePath(QStringLiteral("gone/photo.jpg"));
    const QString pdf = dir.filePath(QStringLiteral("instead.pdf"));
    struct Case {
        const char* what;
        PrinterChoice printer;
        QStringList answers;
        std::function<void(CounterWindow&)> act;
        QStringList messageParts;  // the one message names these; empty: no message
        bool asked;                // the PDF was offered
    };
    const Case cases[] = {
        {"a photo into a folder that does not exist",
         {},
         {noFolder},
         [](CounterWindow& w) { w.SavePhoto->click(); },
         {noFolder, "could not be written"},
         false},
        {"a lab sheet there",
         {},
         {noFolder},
         [](CounterWindow& w) { w.SaveLabSheet->click(); },
         {noFolder, "could not be written"},
         false},
        {"a PDF sheet there",
         {},
         {noFolder},
         [](CounterWindow& w) { w.SaveSheetPdf->click(); },
         {noFolder, "could not be written"},
         false},
        {"a print on a printer that is gone",
         {QStringLiteral("no-such-printer-here"), {}},
         {pdf},
         [](CounterWindow& w) { w.PrintSheet->click(); },
         {QStringLiteral("The sheet was saved as"), pdf},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<FaceModelSource> missing = missingModelSource();
        CounterSession s;
        s.open(markedCounterPhoto(), passport::AgeGroup::From11, *missing,
               dir.filePath(QStringLiteral("anna.jpg")), c.printer);
        ASSERT_TRUE(s.settle());
        for (const QString& answer : c.answers) s.dialogs.saveAnswers.push_back(answer);
        s.dialogs.askAnswers.push_back(true);
        s.dialogs.printAnswers.push_back(c.printer);
        c.act(*s.window);
        ASSERT_EQ(s.dialogs.messages.size(), c.messageParts.isEmpty() ? 0 : 1);
        for (const QString& part : c.messageParts) {
            EXPECT_TRUE(s.dialogs.messages.front().contains(part))
                << s.dialogs.messages.front().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(noFolder));
        ASSERT_EQ(s.dialogs.questions.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_TRUE(
                s.dialogs.questions.front().contains(QStringLiteral("no-such-printer-here")));
            expectRowsOfPhotos(pdf, 1, false);
        }
    }
}

}  // namespace
