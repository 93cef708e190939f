// Ok and Exit of the print window: press animations, the scan, one page per click, and what
// the user is told when the printer fails.
#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/PictureButton.h"
#include "PrintTestSupport.h"

namespace {

const QPoint kPrintRest(266, 195);
const QPoint kExitRest(316, 195);

class PrintRun : public ::testing::Test {
  protected:
    void open(const PrinterChoice& printer) {
        choice = printer;
        window = std::make_unique<Afdrukken>(photo, dialogs, choice);
        window->show();
    }
    QString pdfPath() const { return dir.filePath(QStringLiteral("sheet.pdf")); }
    PrinterChoice pdfChoice() const { return PrinterChoice{QString(), pdfPath()}; }

    QTemporaryDir dir;
    PointerNotingDialogs dialogs;
    PrinterChoice choice;
    QImage photo = markedPhoto();
    std::unique_ptr<Afdrukken> window;
};

bool any(const std::vector<WindowSampler::Sample>& samples,
         const std::function<bool(const WindowSampler::Sample&)>& test) {
    return std::any_of(samples.begin(), samples.end(), test);
}

TEST_F(PrintRun, OkPressesScansAndPrintsOnePage) {
    open(pdfChoice());
    window->ScrollBalk->setValue(15);
    WindowSampler sampler(*window);
    window->PrintKnop->click();

    const auto& s = sampler.samples;
    EXPECT_TRUE(any(s, [](const auto& x) { return x.printKnop == kPrintRest + QPoint(1, 1); }));
    EXPECT_TRUE(any(s, [](const auto& x) {
        return x.label1 == QLatin1String("Scanning...") && x.lijnVisible && x.busyPointer;
    }));
    // The line sweeps down in steps of two pixels, from the top to y = 180.
    std::vector<int> heights;
    for (const auto& x : s)
        if (x.lijnVisible && (heights.empty() || heights.back() != x.lijnY))
            heights.push_back(x.lijnY);
    ASSERT_FALSE(heights.empty());
    EXPECT_TRUE(std::is_sorted(heights.begin(), heights.end()));
    EXPECT_LE(heights.front(), 10);
    EXPECT_EQ(heights.back(), 180);
    for (int y : heights) EXPECT_EQ(y % 2, 0);

    EXPECT_EQ(window->Label1->text(), QStringLiteral("Print example 15"));
    EXPECT_FALSE(window->lijnVisible());
    EXPECT_EQ(window->PrintKnop->pos(), kPrintRest);
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    const PdfFacts facts = pdfFacts(pdfPath());
    EXPECT_EQ(facts.pages, 1);
    EXPECT_EQ(pdfImageUses(pdfPath()), 84);  // 42 frames and 42 photos
}

TEST_F(PrintRun, ChangesMadeDuringTheWaitsCountForThePage) {
    open(pdfChoice());
    WindowSampler sampler(*window);
    sampler.onSample = [this](const WindowSampler::Sample& s) {
        if (s.label1 == QLatin1String("Scanning...") && window->ScrollBalk->value() == 1) {
            window->ScrollBalk->setValue(16);
        }
    };
    window->PrintKnop->click();
    EXPECT_EQ(window->Label1->text(), QStringLiteral("Print example 16"));
    EXPECT_EQ(pdfImageUses(pdfPath()), 1);  // the poster
}

TEST_F(PrintRun, SecondOkDuringTheWaitsIsIgnored) {
    open(PrinterChoice{QStringLiteral("no-such-printer"), QString()});
    WindowSampler sampler(*window);
    int clicks = 0;
    sampler.onSample = [&](const WindowSampler::Sample& s) {
        if (clicks < 3 && (s.label1 == QLatin1String("Scanning...") || s.printKnop != kPrintRest)) {
            ++clicks;
            window->PrintKnop->click();
        }
    };
    window->PrintKnop->click();
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(dialogs.questions.size(), 1);
}

TEST_F(PrintRun, ExitDuringTheScanClosesWithoutPrinting) {
    open(pdfChoice());
    WindowSampler sampler(*window);
    sampler.onSample = [this](const WindowSampler::Sample& s) {
        if (s.label1 == QLatin1String("Scanning...") && s.lijnY > 50) window->ExitKnop->click();
    };
    window->PrintKnop->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(pdfPath()));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
}

TEST_F(PrintRun, ExitPressesThenCloses) {
    open(pdfChoice());
    WindowSampler sampler(*window);
    int extraClicks = 0;
    sampler.onSample = [&](const WindowSampler::Sample& s) {
        // Exit and Ok again while the button is down: both ignored, the window is going.
        if (s.exitKnop != kExitRest && extraClicks++ == 0) {
            window->ExitKnop->click();
            window->PrintKnop->click();
        }
    };
    window->ExitKnop->click();
    EXPECT_TRUE(
        any(sampler.samples, [](const auto& x) { return x.exitKnop == kExitRest + QPoint(1, 1); }));
    EXPECT_EQ(window->ExitKnop->pos(), kExitRest);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(pdfPath()));
}

struct FailureCase {
    const char* name;
    PrinterChoice printer;  // "@" in a path stands for the test's own folder
    bool saveInstead;
    QString saveAnswer;  // likewise
    const char* questionHas;
    bool pdfSaved;
    const char* messageHas;  // empty: no message
};

class PrinterFailure : public PrintRun, public ::testing::WithParamInterface<FailureCase> {
  protected:
    QString resolve(const QString& path) const {
        return QString(path).replace(QLatin1Char('@'), dir.path());
    }
};

TEST_P(PrinterFailure, SaysSoOffersAPdfAndLeavesTheWindowUsable) {
    const FailureCase& c = GetParam();
    open(PrinterChoice{c.printer.printerName, resolve(c.printer.pdfFile)});
    dialogs.askAnswers.push_back(c.saveInstead);
    dialogs.saveAnswers.push_back(resolve(c.saveAnswer));
    window->PrintKnop->click();

    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QLatin1String(c.questionHas)))
        << dialogs.questions[0].toStdString();
    EXPECT_TRUE(
        dialogs.questions[0].endsWith(QLatin1String("Save the sheet as a PDF file instead?")));
    EXPECT_EQ(dialogs.saveRequests.size(), c.saveInstead ? 1u : 0u);
    if (c.saveInstead) {
        EXPECT_EQ(dialogs.saveRequests[0].patterns, QStringList{QStringLiteral("*.pdf")});
    }
    const QString saved = resolve(c.saveAnswer);
    EXPECT_EQ(!saved.isEmpty() && pdfFacts(saved).pages == 1, c.pdfSaved);
    if (*c.messageHas) {
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains(QLatin1String(c.messageHas)))
            << dialogs.messages[0].toStdString();
    } else {
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
    EXPECT_TRUE(dialogs.arrowWhenAsked);
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->PrintKnop->pos(), kPrintRest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterFailure,
    ::testing::Values(FailureCase{"MissingPrinterDeclined",
                                  {QStringLiteral("no-such-printer"), {}},
                                  false,
                                  {},
                                  "The printer \"no-such-printer\" is not available.",
                                  false,
                                  ""},
                      FailureCase{"MissingPrinterSavedAsPdf",
                                  {QStringLiteral("no-such-printer"), {}},
                                  true,
                                  QStringLiteral("@/instead.pdf"),
                                  "is not available.",
                                  true,
                                  ""},
                      FailureCase{"SaveCancelled",
                                  {QStringLiteral("no-such-printer"), {}},
                                  true,
                                  {},
                                  "is not available.",
                                  false,
                                  ""},
                      FailureCase{"UnwritablePdfAndUnwritableSave",
                                  {{}, QStringLiteral("@/none/sheet.pdf")},
                                  true,
                                  QStringLiteral("@/none/instead.pdf"),
                                  "could not be started on the PDF file",
                                  false,
                                  "none/instead.pdf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRun, AfterAFailureTheWindowWorksAsBefore) {
    open(PrinterChoice{QStringLiteral("no-such-printer"), QString()});
    window->PrintKnop->click();
    window->ScrollBalk->setValue(3);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("3 rows of 5 photo's."));
    window->PrintKnop->click();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(window->Label1->text(), QStringLiteral("Print example 3"));
}

}  // namespace
