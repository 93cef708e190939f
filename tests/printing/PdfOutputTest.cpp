// Sheets printed on real print paths, rasterised and measured: a PDF file written through
// QPrinter (always), and the CUPS queues when a scheduler runs.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "PrintTestSupport.h"
#include "platform/widgets/PrinterChoice.h"
#include "printing/SheetPrinter.h"

namespace {

constexpr int kDpi = 254;  // ten pixels to the millimetre
const QString kEuro = QStringLiteral("\u20AC ");

QImage stampFrame() {
    return QImage(QStringLiteral(":/pictures/stamp.png"));
}

#define EXPECT_TWIPS_NEAR(actual, expected, raster) \
    EXPECT_NEAR(actual, expected, (raster).tolerance())

void expectRect(const PageRaster& raster, const QRectF& actual, const QRectF& expected,
                const char* what) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(actual.isEmpty());
    EXPECT_TWIPS_NEAR(actual.left(), expected.left(), raster);
    EXPECT_TWIPS_NEAR(actual.top(), expected.top(), raster);
    EXPECT_TWIPS_NEAR(actual.right(), expected.right(), raster);
    EXPECT_TWIPS_NEAR(actual.bottom(), expected.bottom(), raster);
}

// A photo stands upright at `expected`: the red mark is in its top-left corner.
void expectPhoto(const PageRaster& raster, const QRectF& expected, QPointF probe) {
    expectRect(raster, raster.regionAround(probe.x(), probe.y(), isPhotoBlue), expected, "photo");
    const QPointF mark(expected.left() + expected.width() * 5 / 127,
                       expected.top() + expected.height() * 5 / 163);
    const int x = static_cast<int>(raster.toPixelsX(mark.x()));
    const int y = static_cast<int>(raster.toPixelsY(mark.y()));
    EXPECT_TRUE(isMarkRed(raster.image().pixel(x, y))) << "mark of photo at " << expected.left();
}

QRectF grown(const QRectF& r, double by) {
    return r.adjusted(-by, -by, by, by);
}

void checkRowWithCutLines(const PageRaster& raster) {
    std::vector<QRectF> allowed;
    for (int c = 0; c < 5; ++c) {
        const QRectF photo(450 + 2120 * c, 600, 2005, 2585);
        expectPhoto(raster, photo, photo.center());
        allowed.push_back(grown(photo, 40));
        for (double x : {photo.left(), photo.right()}) {
            // Each vertical line reaches 150 twips above and below the photo.
            const QRectF above = raster.darkBox({x - 40, 600 - 250, 80, 230});
            const QRectF below = raster.darkBox({x - 40, 3185 + 20, 80, 230});
            EXPECT_TWIPS_NEAR(above.top(), 450, raster) << "line at x " << x;
            EXPECT_TWIPS_NEAR(below.bottom(), 3335, raster) << "line at x " << x;
            EXPECT_TWIPS_NEAR(above.center().x(), x, raster);
            allowed.push_back({x - 40, 410, 80, 2965});
        }
    }
    for (double y : {600.0, 3185.0}) {
        // The top and bottom lines of the row run as one from 300 to 11085 twips.
        const QRectF left = raster.darkBox({200, y - 40, 230, 80});
        const QRectF right = raster.darkBox({10955, y - 40, 230, 80});
        EXPECT_TWIPS_NEAR(left.left(), 300, raster) << "line at y " << y;
        EXPECT_TWIPS_NEAR(left.center().y(), y, raster);
        EXPECT_TWIPS_NEAR(right.right(), 11085, raster) << "line at y " << y;
        for (int gap = 0; gap < 4; ++gap) {
            EXPECT_FALSE(raster.darkBox({2465.0 + 2120 * gap, y - 40, 95, 80}).isEmpty())
                << "gap " << gap << " at y " << y;
        }
        allowed.push_back({260, y - 40, 10865, 80});
    }
    EXPECT_EQ(raster.markedPixelsOutside(allowed), 0);
}

// The ink of `text` printed with its top-left corner at (x, y) in Arial bold 10 pt.
QRectF expectedInk(double x, double y, const QString& text) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(200);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    return metrics.tightBoundingRect(text).translated(x, y + metrics.ascent());
}

void checkStamps(const PageRaster& raster) {
    std::vector<QRectF> allowed;
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 6; ++c) {
            SCOPED_TRACE(testing::Message() << "stamp row " << r << " column " << c);
            const double x = 300 + 1770 * c;
            const double y = 300 + 2205 * r;
            // Probed right of the texts, between them.
            expectPhoto(raster, {x + 150, y + 150, 1485, 1935}, {x + 1535, y + 1117});
            expectRect(raster, raster.darkBox({x + 180, y + 180, 1425, 800}),
                       expectedInk(x + 210, y + 210, kEuro + QStringLiteral("0.39")), "value");
            expectRect(raster, raster.darkBox({x + 180, y + 1500, 1425, 555}),
                       expectedInk(x + 210, y + 1800, QStringLiteral("Nederland")), "country");
            allowed.push_back(grown({x, y, 1785, 2235}, 40));
        }
    }
    // The frame's teeth reach its edges: row 74 and column 14 of the picture hold teeth.
    EXPECT_TWIPS_NEAR(raster.darkBox({200, 300 + 1117 - 30, 160, 60}).left(), 300, raster);
    EXPECT_TWIPS_NEAR(raster.darkBox({300 + 217 - 30, 200, 60, 160}).top(), 300, raster);
    const double lastX = 9150, lastY = 13530;
    EXPECT_TWIPS_NEAR(raster.darkBox({lastX + 1725, lastY + 1087, 160, 60}).right(), lastX + 1785,
                      raster);
    EXPECT_TWIPS_NEAR(raster.darkBox({lastX + 187, lastY + 2175, 60, 160}).bottom(), lastY + 2235,
                      raster);
    EXPECT_EQ(raster.markedPixelsOutside(allowed), 0);
}

void checkPoster(const PageRaster& raster) {
    const QRectF poster(450, 450, 10590, 15390);
    expectPhoto(raster, poster, poster.center());
    // Stretched without smoothing: every pixel is the photo's blue or its red mark.
    int blended = 0;
    const QRect inside(QPoint(int(raster.toPixelsX(500)), int(raster.toPixelsY(500))),
                       QPoint(int(raster.toPixelsX(10990)), int(raster.toPixelsY(15790))));
    for (int y = inside.top(); y <= inside.bottom(); y += 3)
        for (int x = inside.left(); x <= inside.right(); x += 3) {
            const QRgb c = raster.image().pixel(x, y);
            if (!isPhotoBlue(c) && !isMarkRed(c)) ++blended;
        }
    EXPECT_EQ(blended, 0);
    EXPECT_EQ(raster.markedPixelsOutside({grown(poster, 40)}), 0);
}

struct SheetCase {
    int layout;
    bool cutLines;
};

sheets::SheetOptions optionsFor(const SheetCase& c) {
    sheets::SheetOptions options;
    options.layout = c.layout;
    options.cutLines = c.cutLines;
    return options;
}

void checkPdf(const QString& path, const SheetCase& c, QPointF printableOriginMm) {
    const PdfFacts facts = pdfFacts(path);
    ASSERT_TRUE(facts.readable) << path.toStdString();
    EXPECT_EQ(facts.pages, 1);
    // A4 portrait: 595.28 x 841.89 points.
    EXPECT_NEAR(facts.widthPoints, 595.28, 1.0);
    EXPECT_NEAR(facts.heightPoints, 841.89, 1.0);
    EXPECT_EQ(facts.rotation, 0);
    const PageRaster raster(rasterisePdf(path, kDpi), kDpi, printableOriginMm);
    ASSERT_FALSE(raster.image().isNull());
    switch (c.layout) {
        case 1:
            checkRowWithCutLines(raster);
            break;
        case 15:
            checkStamps(raster);
            break;
        default:
            checkPoster(raster);
            break;
    }
}

const SheetCase kPrintedSheets[] = {{1, true}, {15, true}, {16, true}};

std::string sheetName(const testing::TestParamInfo<SheetCase>& info) {
    return "Layout" + std::to_string(info.param.layout);
}

class PdfFileSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(PdfFileSheet, LandsWhereTheTwipsSay) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const QImage photo = markedPhoto();
    const PrintOutcome outcome = saveSheetAsPdf(path, optionsFor(GetParam()), photo, stampFrame());
    ASSERT_TRUE(outcome.printed) << outcome.problem.toStdString();
    checkPdf(path, GetParam(), QPointF(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Sheets, PdfFileSheet, ::testing::ValuesIn(kPrintedSheets), sheetName);

// Where cups-pdf puts the job titled `documentName`, once `queue` is done with it.
QString cupsOutput(const QString& documentName, const QString& queue) {
    QString found;
    waitUntil(
        [&] {
            if (cupsQueueBusy(queue)) return false;
            const QStringList names = QDir(QDir::home().filePath(QStringLiteral("PDF")))
                                          .entryList({documentName + QLatin1Char('*')});
            if (!names.isEmpty()) {
                found = QDir::home().filePath(QStringLiteral("PDF/") + names.first());
            }
            return !found.isEmpty();
        },
        90);
    return found;
}

// A CUPS queue and the top-left corner of its printable area, in points from the page corner,
// as its PPD declares it: PDF prints the whole sheet; Margins (added by scripts/start-cups.sh)
// keeps 18 pt free on the left and 24 pt at the top.
struct QueueSheet {
    const char* queue;
    QPointF printableCornerPoints;
    SheetCase sheet;
};

void PrintTo(const QueueSheet& c, std::ostream* out) {
    *out << c.queue << " layout " << c.sheet.layout;
}

class CupsQueueSheet : public ::testing::TestWithParam<QueueSheet> {};

// Measured from the page corner of what the queue wrote, never from Qt's paint rectangle: a
// printer's printable area is where the twips start.
TEST_P(CupsQueueSheet, LandsWhereTheTwipsSayFromThePrintableCorner) {
    const QueueSheet& c = GetParam();
    if (!cupsSchedulerRunning()) {
        GTEST_SKIP() << "No CUPS scheduler is running (scripts/start-cups.sh starts one with the "
                        "PDF and Margins queues); the PDF file variant checks the same sheets.";
    }
    const QString queue = QString::fromLatin1(c.queue);
    ASSERT_FALSE(QPrinterInfo::printerInfo(queue).isNull())
        << "CUPS runs without the queue " << c.queue << "; scripts/start-cups.sh adds it.";
    static int job = 0;
    const QString documentName =
        QStringLiteral("portrikcheck%1n%2").arg(QCoreApplication::applicationPid()).arg(++job);
    PrinterChoice choice;
    // The poster goes to the default printer when that is the queue under test.
    if (c.sheet.layout != 16 || QPrinterInfo::defaultPrinterName() != queue) {
        choice.printerName = queue;
    }
    const QImage photo = markedPhoto();
    const PrintOutcome outcome =
        printSheet(choice, optionsFor(c.sheet), photo, stampFrame(), documentName);
    ASSERT_TRUE(outcome.printed) << outcome.problem.toStdString();
    const QString path = cupsOutput(documentName, queue);
    ASSERT_FALSE(path.isEmpty()) << "no output of " << documentName.toStdString() << " in ~/PDF";

    checkPdf(path, c.sheet, c.printableCornerPoints * 25.4 / 72.0);
    QFile::remove(path);
}

const QueueSheet kQueueSheets[] = {
    {"PDF", {0, 0}, {1, true}},
    {"PDF", {0, 0}, {15, true}},
    {"PDF", {0, 0}, {16, true}},
    {"Margins", {18, 24}, {1, true}},
};

INSTANTIATE_TEST_SUITE_P(Sheets, CupsQueueSheet, ::testing::ValuesIn(kQueueSheets),
                         [](const testing::TestParamInfo<QueueSheet>& info) {
                             return info.param.queue + std::string("Layout") +
                                    std::to_string(info.param.sheet.layout);
                         });

// Runs `command` with its arguments; true when it succeeded.
bool runs(const QString& command, const QStringList& arguments) {
    QProcess process;
    process.start(command, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

TEST(CupsQueue, StoppedPrinterIsReportedInsteadOfKeepingTheJob) {
    if (!cupsPdfQueueReady()) GTEST_SKIP() << "No CUPS scheduler with the PDF queue is running.";
    if (!runs(QStringLiteral("cupsdisable"), {QStringLiteral("PDF")})) {
        GTEST_SKIP() << "The PDF queue cannot be stopped by this user.";
    }
    const QImage photo = markedPhoto();
    const PrintOutcome outcome = printSheet(PrinterChoice{QStringLiteral("PDF"), QString()},
                                            sheets::SheetOptions{}, photo, stampFrame());
    const bool queueEmpty = !cupsQueueBusy();
    runs(QStringLiteral("cupsenable"), {QStringLiteral("PDF")});
    EXPECT_FALSE(outcome.printed);
    EXPECT_EQ(outcome.problem, QStringLiteral("The printer \"PDF\" is stopped or off-line."));
    EXPECT_TRUE(queueEmpty);
}

TEST(CupsQueue, QueueRefusingJobsIsReportedInsteadOfLosingTheJob) {
    if (!cupsPdfQueueReady()) GTEST_SKIP() << "No CUPS scheduler with the PDF queue is running.";
    if (!runs(QStringLiteral("cupsreject"), {QStringLiteral("PDF")})) {
        GTEST_SKIP() << "The PDF queue cannot be set to refuse jobs by this user.";
    }
    const QImage photo = markedPhoto();
    const PrintOutcome outcome = printSheet(PrinterChoice{QStringLiteral("PDF"), QString()},
                                            sheets::SheetOptions{}, photo, stampFrame());
    runs(QStringLiteral("cupsaccept"), {QStringLiteral("PDF")});
    EXPECT_FALSE(outcome.printed);
    EXPECT_EQ(outcome.problem, QStringLiteral("The printer \"PDF\" refuses print jobs."));
}

struct StoredOnceCase {
    int layout;
    int images;
};

class PdfPictures : public ::testing::TestWithParam<StoredOnceCase> {};

TEST_P(PdfPictures, HoldEachPictureOnceHoweverOftenShown) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const QImage photo = markedPhoto();
    sheets::SheetOptions options;
    options.layout = GetParam().layout;
    ASSERT_TRUE(saveSheetAsPdf(path, options, photo, stampFrame()).printed);
    EXPECT_EQ(distinctPdfImages(path), GetParam().images);
}

INSTANTIATE_TEST_SUITE_P(Sheets, PdfPictures,
                         ::testing::Values(StoredOnceCase{5, 1}, StoredOnceCase{15, 2},
                                           StoredOnceCase{16, 1}),
                         [](const auto& info) {
                             return "Layout" + std::to_string(info.param.layout);
                         });

}  // namespace
