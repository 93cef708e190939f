// File / "Exit" ends the program at once, whatever is open. Each case runs the program's
// main loop in a child process (a GoogleTest death test), because ending the program is
// for good: the quit request cannot be taken back within one process.
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QTimer>

#include "workspace/About.h"
#include "platform/widgets/EventPump.h"
#include "platform/widgets/HtmlViewer.h"
#include "platform/widgets/QtDialogs.h"
#include "MainFixture.h"

namespace {

enum class OpenWhenExiting {
    Nothing,
    About,
    HelpPage,
    Pause,
    PrinterDialog,
    OpenDialog,
    MessageBox
};

// The real dialogs and message boxes, except that File / "Load Photo" is answered with a
// photo that is not there, so the window shows its message.
class MissingPhotoDialogs : public QtDialogs {
  public:
    using QtDialogs::QtDialogs;
    QString openFile(const FileFilter&) override {
        return QDir::temp().filePath(QStringLiteral("portrik-exit-test-no-such-photo.jpg"));
    }
};

struct ExitCase {
    const char* name;
    OpenWhenExiting open;
};

void PrintTo(const ExitCase& value, std::ostream* out) {
    *out << value.name;
}

// What the child saw, in order; reported on failure.
struct Trace {
    std::string steps;
    bool ok = true;
    void step(const char* what) { steps += std::string(what) + "; "; }
    void check(bool condition, const char* what) {
        if (!condition) {
            ok = false;
            steps += std::string("FAILED: ") + what + "; ";
        }
    }
};

// Chooses Exit from the menu once the current event loop runs.
void exitSoon(Main& window, Trace& trace, OpenWhenExiting open) {
    QTimer::singleShot(0, &window, [&window, &trace, open] {
        QWidget* modal = QApplication::activeModalWidget();
        if (open == OpenWhenExiting::About) {
            trace.check(qobject_cast<About*>(modal) != nullptr, "About is open");
        } else if (open == OpenWhenExiting::PrinterDialog) {
            trace.check(qobject_cast<QPrintDialog*>(modal) != nullptr, "printer dialog is open");
        } else if (open == OpenWhenExiting::OpenDialog) {
            trace.check(qobject_cast<QFileDialog*>(modal) != nullptr, "open dialog is open");
        } else if (open == OpenWhenExiting::MessageBox) {
            trace.check(qobject_cast<QMessageBox*>(modal) != nullptr, "message box is open");
        }
        trace.step("Exit chosen");
        window.FileExit->trigger();
    });
}

// Opens what the case asks for and chooses Exit while it is open; returns once the
// operation that was open has returned.
void openAndExit(Main& window, Trace& trace, OpenWhenExiting open) {
    switch (open) {
        case OpenWhenExiting::Nothing:
            exitSoon(window, trace, open);
            return;
        case OpenWhenExiting::About:
            exitSoon(window, trace, open);
            window.HelpAbout->trigger();
            trace.step("About returned");
            return;
        case OpenWhenExiting::HelpPage:
            window.HelpUitleg->trigger();
            trace.check(!window.WebBrowser->isHidden(), "help page shown");
            exitSoon(window, trace, open);
            return;
        case OpenWhenExiting::Pause: {
            exitSoon(window, trace, open);
            const double start = monotonicSeconds();
            pauseSeconds(600);
            trace.check(monotonicSeconds() - start < 60, "the pause ended early");
            trace.step("pause returned");
            return;
        }
        case OpenWhenExiting::PrinterDialog: {
            exitSoon(window, trace, open);
            const PrinterChoice before = window.printerChoice();
            window.FileSetup->trigger();
            trace.check(window.printerChoice().printerName == before.printerName &&
                            window.printerChoice().pdfFile == before.pdfFile,
                        "the printer choice is unchanged");
            trace.step("printer dialog returned");
            return;
        }
        case OpenWhenExiting::OpenDialog:
        case OpenWhenExiting::MessageBox: {
            // File / "Load Photo": Exit comes while its dialog, or the message that the photo
            // cannot be read, is open.
            exitSoon(window, trace, open);
            window.FileLoad->trigger();
            trace.check(!window.session().PhotoLoaded(), "no photo was loaded");
            trace.step(open == OpenWhenExiting::OpenDialog ? "open dialog returned"
                                                           : "message box returned");
            return;
        }
    }
}

// Runs the program's main loop with `open` open when Exit is chosen; ends the process with
// 0 when everything closed in order.
[[noreturn]] void runExitCase(OpenWhenExiting open) {
    // Real dialogs where one is to be open; scripted ones otherwise.
    ScriptedDialogs dialogs;
    MissingPhotoDialogs missingPhoto(nullptr);
    Dialogs* chosen = &dialogs;
    if (open == OpenWhenExiting::PrinterDialog || open == OpenWhenExiting::OpenDialog) {
        chosen = nullptr;
    }
    if (open == OpenWhenExiting::MessageBox) chosen = &missingPhoto;
    Main window(MainServices{chosen});
    window.show();
    Trace trace;
    // Should Exit fail to end the loop, the child says so instead of hanging the test.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&trace] {
        std::fprintf(stderr, "the main loop did not end: %s\n", trace.steps.c_str());
        std::fflush(stderr);
        std::_Exit(3);
    });
    watchdog.start(120000);
    QTimer::singleShot(0, &window, [&] { openAndExit(window, trace, open); });

    const int code = QApplication::exec();
    trace.step("main loop ended");
    trace.check(code == 0, "exit code 0");
    trace.check(quitRequested(), "operations were asked to stop");
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        trace.check(!widget->isVisible(), "no window left on screen");
    }
    std::fprintf(stderr, "%s%s\n", trace.steps.c_str(), trace.ok ? "exit case passed" : "");
    std::fflush(stderr);
    std::_Exit(trace.ok ? 0 : 1);
}

class FileExitTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(FileExitTest, EndsTheProgramAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const OpenWhenExiting open = GetParam().open;
    // The operation that was open returns before the main loop ends.
    const char* order = open == OpenWhenExiting::About         ? "About returned.*main loop"
                        : open == OpenWhenExiting::Pause       ? "pause returned.*main loop"
                        : open == OpenWhenExiting::PrinterDialog ||
                                open == OpenWhenExiting::OpenDialog
                            ? "dialog returned.*main loop"
                        : open == OpenWhenExiting::MessageBox ? "box returned.*main loop"
                                                              : "Exit chosen.*main loop";
    EXPECT_EXIT(runExitCase(open), ::testing::ExitedWithCode(0),
                std::string(order) + ".*exit case passed");
}

INSTANTIATE_TEST_SUITE_P(WhileOpen, FileExitTest,
                         ::testing::Values(ExitCase{"Nothing", OpenWhenExiting::Nothing},
                                           ExitCase{"AboutWindow", OpenWhenExiting::About},
                                           ExitCase{"HelpPage", OpenWhenExiting::HelpPage},
                                           ExitCase{"PauseSeconds", OpenWhenExiting::Pause},
                                           ExitCase{"PrinterDialog",
                                                    OpenWhenExiting::PrinterDialog},
                                           ExitCase{"OpenDialog", OpenWhenExiting::OpenDialog},
                                           ExitCase{"MessageBox", OpenWhenExiting::MessageBox}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
