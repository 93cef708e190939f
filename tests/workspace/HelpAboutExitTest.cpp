// Help / "Help" and "About", File / "Setup Printer" through the scripted dialogs, and the
// help page's lookup. Exit ends the program, so it is tested apart (FileExitTest.cpp).
#include <ostream>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include "workspace/About.h"
#include "platform/widgets/HtmlViewer.h"
#include "MainFixture.h"

namespace {

void writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// The part of a grab of the window's client area that the viewport occupies.
QImage viewportOnScreen(Main& window) {
    return window.centralWidget()
        ->grab(QRect(15, 15, 480, 360))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// --- Where the help page is found --------------------------------------------------------

struct HelpPlace {
    const char* name;
    bool besideProgram;
    bool installed;
    int expected;  // index into helpPageLocations(); -1 = error page
};

void PrintTo(const HelpPlace& value, std::ostream* out) {
    *out << value.name;
}

class HelpLookupTest : public ::testing::TestWithParam<HelpPlace> {};

TEST_P(HelpLookupTest, FindsThePageBesideTheProgramFirstThenTheInstalledOne) {
    const HelpPlace place = GetParam();
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QStringList locations = helpPageLocations(bin);
    ASSERT_EQ(locations.size(), 2);
    EXPECT_EQ(locations[0], bin + QStringLiteral("/help/portrik.htm"));
    EXPECT_EQ(locations[1], prefix.filePath(QStringLiteral("share/portrik/help/portrik.htm")));
    if (place.besideProgram) writeText(locations[0], QStringLiteral("<p>beside</p>"));
    if (place.installed) writeText(locations[1], QStringLiteral("<p>installed</p>"));

    HtmlViewer viewer;
    viewer.showFile(locations);
    if (place.expected < 0) {
        EXPECT_TRUE(viewer.shownFile().isEmpty());
        const QString text = viewer.browser()->toPlainText();
        EXPECT_TRUE(text.contains(QStringLiteral("cannot be shown"))) << text.toStdString();
        for (const QString& path : locations)
            EXPECT_TRUE(text.contains(path)) << text.toStdString();
    } else {
        EXPECT_EQ(viewer.shownFile(), QFileInfo(locations[place.expected]).absoluteFilePath());
        EXPECT_EQ(viewer.browser()->toPlainText(),
                  place.expected == 0 ? QStringLiteral("beside") : QStringLiteral("installed"));
    }
}

INSTANTIATE_TEST_SUITE_P(Places, HelpLookupTest,
                         ::testing::Values(HelpPlace{"BesideOnly", true, false, 0},
                                           HelpPlace{"InstalledOnly", false, true, 1},
                                           HelpPlace{"BothBesideWins", true, true, 0},
                                           HelpPlace{"NoneErrorPage", false, false, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlViewerTest, ReadsThePageAfreshOnEveryShowing) {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    writeText(page, QStringLiteral("<p>first</p>"));
    HtmlViewer viewer;
    viewer.showFile(page);
    EXPECT_EQ(viewer.browser()->toPlainText(), "first");
    writeText(page, QStringLiteral("<p>second</p>"));
    viewer.showFile(page);
    EXPECT_EQ(viewer.browser()->toPlainText(), "second");
    QFile::remove(page);
    viewer.showFile(page);
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("cannot be shown")));
}

TEST(HtmlViewerTest, TheShippedPageLoadsWithItsPictures) {
    const QString source = qEnvironmentVariable("PORTRIK_SOURCE_DIR");
    if (source.isEmpty()) GTEST_SKIP() << "PORTRIK_SOURCE_DIR is set by ctest";
    const QString page = source + QStringLiteral("/help/portrik.htm");
    HtmlViewer viewer;
    viewer.showFile(page);
    ASSERT_EQ(viewer.shownFile(), page);
    QTextDocument* document = viewer.browser()->document();
    EXPECT_EQ(document->metaInformation(QTextDocument::DocumentTitle), "Portrik Help");
    const QString text = document->toPlainText();
    for (const char* topic : {"Load Photo", "Zoom", "up to 10 years", "from 11 years", "Grayscale",
                              "Save Photo", "Setup Printer", "Print Photo", "Secants on", "Exit"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
    }
    // Every picture the page shows is there and decodes.
    QStringList pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) pictures << format.toImageFormat().name();
        }
    }
    EXPECT_GE(pictures.size(), 3);
    for (const QString& picture : pictures) {
        const QVariant data =
            viewer.browser()->loadResource(QTextDocument::ImageResource, QUrl(picture));
        EXPECT_FALSE(QImage::fromData(data.toByteArray()).isNull()) << picture.toStdString();
    }
}

// --- Help / "Help" ------------------------------------------------------------------------

using HelpToggleTest = MainFixture;

TEST_F(HelpToggleTest, ShowsOverTheViewportThenHidesLeavingItsLastContents) {
    QApplication::processEvents();
    const QImage before = viewportOnScreen(*window);
    const QImage surface = window->Pic->image().copy();

    window->HelpUitleg->trigger();  // through the menu item, as the user does
    QApplication::processEvents();
    EXPECT_FALSE(window->WebBrowser->isHidden());
    EXPECT_TRUE(window->WebBrowser->isVisible());
    EXPECT_TRUE(window->HelpUitleg->isChecked());
    EXPECT_EQ(window->WebBrowser->geometry(), QRect(10, 10, 490, 370));
    EXPECT_NE(viewportOnScreen(*window), before) << "the page covers the viewport";
    // The program's folder (the test's own) has no help page: the error page says so.
    EXPECT_TRUE(window->WebBrowser->browser()->toPlainText().contains(
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/help/portrik.htm")));

    window->HelpUitleg->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window->WebBrowser->isHidden());
    EXPECT_FALSE(window->HelpUitleg->isChecked());
    EXPECT_EQ(window->Pic->image(), surface);
    EXPECT_EQ(viewportOnScreen(*window), before);
}

// --- Help / "About" -----------------------------------------------------------------------

TEST(AboutTest, LayoutPicturesAndText) {
    About about;
    EXPECT_EQ(about.windowTitle(), " About...");
    EXPECT_EQ(about.size(), QSize(312, 111));  // 320 x 143 with its frame and title bar
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_TRUE(about.isModal());
    const std::pair<QWidget*, QRect> places[] = {
        {about.Image1, {14, 9, 35, 43}},   {about.Image2, {60, 8, 246, 44}},
        {about.Label4, {14, 65, 220, 50}}, {about.Label1, {248, 80, 60, 26}},
        {about.OkKnop, {250, 82, 56, 22}},
    };
    for (const auto& [widget, rect] : places) EXPECT_EQ(widget->geometry(), rect);
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(35, 43));
    EXPECT_EQ(about.Image2->pixmap().size(), QSize(246, 44));
    EXPECT_EQ(about.OkKnop->text(), "Ok");
    EXPECT_EQ(about.OkKnop->palette().color(QPalette::Button), QColor(192, 192, 255));
    EXPECT_EQ(about.Label4->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    EXPECT_FALSE(about.Label4->autoFillBackground());
    EXPECT_TRUE(about.Label4->text().contains(
        QStringLiteral("programma om pasfoto's te ontwerpen volgens de nieuwe normen van 2006")));
    // The whole text fits the label; nothing is cut off at the bottom.
    EXPECT_LE(about.Label4->heightForWidth(220), 50);
    EXPECT_EQ(about.Label1->frameShape(), QFrame::Box);
}

TEST(AboutTest, OkButtonShowsItsFaceColour) {
    About about;
    about.show();
    QApplication::processEvents();
    const QImage shot = about.grab().toImage();
    // The face is flat: its middle row, a quarter of the way in (clear of the caption and the
    // edge), has the face colour itself, not a shade of a gradient.
    const QRect button = about.OkKnop->geometry();
    const QColor face = shot.pixelColor(button.left() + button.width() / 4, button.center().y());
    EXPECT_EQ(face, QColor(192, 192, 255)) << face.name().toStdString();
}

using AboutMenuTest = MainFixture;

TEST_F(AboutMenuTest, OpensModallyAndOkClosesIt) {
    bool sawIt = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* about = qobject_cast<About*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        sawIt = true;
        EXPECT_TRUE(about->isVisible());
        EXPECT_EQ(about->parentWidget(), window.get());
        // The main window takes no input meanwhile.
        EXPECT_EQ(QGuiApplication::modalWindow(), about->windowHandle());
        about->OkKnop->click();
    });
    window->HelpAbout->trigger();
    EXPECT_TRUE(sawIt);
    // Closed and gone: nothing of it is left behind.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->findChildren<About*>().isEmpty());
}

// --- File / "Setup Printer" ---------------------------------------------------------------

using SetupPrinterTest = MainFixture;

TEST_F(SetupPrinterTest, CancelChangesNothing) {
    window = std::make_unique<Main>(
        MainServices{&dialogs, {}, PrinterChoice{QStringLiteral("Kantoor"), QString()}});
    dialogs.printerAnswers.push_back(std::nullopt);
    window->FileSetup->trigger();
    EXPECT_EQ(dialogs.printerRequests, 1);
    EXPECT_EQ(window->printerChoice().printerName, "Kantoor");
    EXPECT_TRUE(window->printerChoice().pdfFile.isEmpty());
}

TEST_F(SetupPrinterTest, OkKeepsTheChoiceForLaterPrinting) {
    dialogs.printerAnswers.push_back(PrinterChoice{QStringLiteral("Kantoor"), QString()});
    window->FileSetup->trigger();
    EXPECT_EQ(window->printerChoice().printerName, "Kantoor");

    dialogs.printerAnswers.push_back(PrinterChoice{QString(), QStringLiteral("/tmp/vel.pdf")});
    window->FileSetup->trigger();
    EXPECT_TRUE(window->printerChoice().printerName.isEmpty());
    EXPECT_EQ(window->printerChoice().pdfFile, "/tmp/vel.pdf");

    dialogs.printerAnswers.push_back(std::nullopt);
    window->FileSetup->trigger();
    EXPECT_EQ(window->printerChoice().pdfFile, "/tmp/vel.pdf");
    EXPECT_EQ(dialogs.printerRequests, 3);
}
