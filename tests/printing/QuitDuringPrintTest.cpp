// File / Exit of the main window while the print window scans. Ending the program is
// remembered for the rest of the process, so this runs in a program of its own.
#include <QAction>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "printing/Afdrukken.h"
#include "platform/widgets/AppCursor.h"
#include "workspace/Main.h"
#include "platform/widgets/PictureButton.h"
#include "PrintTestSupport.h"

namespace {

TEST(QuitDuringPrint, StopsTheScanPrintsNothingAndClosesTheWindow) {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Main main(MainServices{&dialogs, {}, {QString(), dir.filePath(QStringLiteral("sheet.pdf"))}});
    main.show();

    QPointer<Afdrukken> window;
    bool quitSent = false;
    int lowestLine = 0;
    QTimer::singleShot(0, [&] {
        window = main.findChild<Afdrukken*>();
        ASSERT_TRUE(window);
        WindowSampler sampler(*window);
        sampler.onSample = [&](const WindowSampler::Sample& s) {
            if (s.lijnVisible) lowestLine = std::max(lowestLine, s.lijnY);
            if (!quitSent && s.label1 == QLatin1String("Scanning...") && s.lijnY >= 20) {
                quitSent = true;
                main.FileExit->trigger();
            }
        };
        window->PrintKnop->click();
        // Exit once the program is ending: no animation to wait for, nothing breaks.
        window->ExitKnop->click();
    });
    main.onFilePrint();

    EXPECT_TRUE(quitSent);
    EXPECT_LT(lowestLine, 100);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(QFile::exists(main.printerChoice().pdfFile));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
}

}  // namespace
