// The main window's File / "Passport Photo 2020...": it opens the window on the loaded photo
// with the age group of the head guide chosen last, and File / "Exit" chosen while the window
// is open (its model still loading) ends the program at once. Ending the program is for
// good, so that case runs in a child process (a GoogleTest death test), as FileExitTest does.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QRadioButton>
#include <QTimer>

#include "CounterTestSupport.h"
#include "MainFixture.h"
#include "platform/widgets/EventPump.h"

namespace {

class MainCounterTest : public MainFixture {};

TEST_F(MainCounterTest, OpensTheWindowOnTheLoadedPhotoWithTheGuidesAgeGroup) {
    struct Case {
        const char* what;
        void (Main::*guide)();
        passport::AgeGroup group;
    };
    const Case cases[] = {{"head guide up to 10 years", &Main::onKnop1, passport::AgeGroup::UpTo10},
                          {"head guide from 11 years", &Main::onKnop2, passport::AgeGroup::From11}};
    EXPECT_FALSE(window->FilePassport->isEnabled());
    load(facePath(QStringLiteral("plain-white-bald.jpg")));
    ASSERT_TRUE(window->FilePassport->isEnabled());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        (window.get()->*c.guide)();
        bool seen = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* counter = qobject_cast<CounterWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(counter, nullptr);
            seen = true;
            EXPECT_EQ(counter->framing().photoWidth(), window->session().photo()->width());
            EXPECT_EQ(counter->framing().photoHeight(), window->session().photo()->height());
            EXPECT_EQ(counter->framing().ageGroup(), c.group);
            EXPECT_EQ(counter->From11->isChecked(), c.group == passport::AgeGroup::From11);
            counter->reject();
        });
        window->FilePassport->trigger();
        EXPECT_TRUE(seen);
    }
}

// Runs the program's main loop, opens the window and chooses Exit while the model loads;
// ends the process with 0 when everything closed in order.
[[noreturn]] void exitWhileTheWindowIsOpen() {
    ScriptedDialogs dialogs;
    Main window(MainServices{&dialogs});
    window.show();
    dialogs.openAnswers.push_back(facePath(QStringLiteral("plain-grey-short-hair.jpg")));
    window.onFileLoad();
    std::string trace;
    bool ok = true;
    auto check = [&](bool condition, const char* what) {
        if (!condition) ok = false;
        trace += std::string(condition ? "" : "FAILED: ") + what + "; ";
    };
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&trace] {
        std::fprintf(stderr, "the main loop did not end: %s\n", trace.c_str());
        std::_Exit(3);
    });
    watchdog.start(120000);
    QTimer::singleShot(0, &window, [&] {
        QTimer::singleShot(0, &window, [&] {
            auto* counter = qobject_cast<CounterWindow*>(QApplication::activeModalWidget());
            check(counter != nullptr, "the window is open");
            check(counter && !counter->settled(), "the model still loads");
            window.FileExit->trigger();
        });
        window.FilePassport->trigger();
        trace += "window returned; ";
    });
    const int code = QApplication::exec();
    trace += "main loop ended; ";
    check(code == 0, "exit code 0");
    check(quitRequested(), "operations were asked to stop");
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        check(!widget->isVisible(), "no window left on screen");
    }
    std::fprintf(stderr, "%s%s\n", trace.c_str(), ok ? "exit case passed" : "");
    std::fflush(stderr);
    std::_Exit(ok ? 0 : 1);
}

TEST(CounterExitTest, FileExitWhileTheWindowIsOpenEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitWhileTheWindowIsOpen(), ::testing::ExitedWithCode(0),
                "window returned.*main loop ended.*exit case passed");
}

}  // namespace
