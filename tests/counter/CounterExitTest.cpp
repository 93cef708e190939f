// The main window's File / "Passport Photo 2020...": it opens the window on the loaded photo
// with the age group of the head guide chosen last, and File / "Exit" chosen while the window
// is open (its model still loading) ends the program at once. Ending the program is for
// good, so that case runs in a child process (a GoogleTest death test), as FileExitTest does.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "CounterTestSupport.h"
#include "platform/files/AnyPhoto.h"
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
    load(facePath(QStringLiteral("plain-white-bald.jpg")));
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

// Without a loaded photo the window opens empty and asks for one in its own dialog, which
// lists the formats phones and cameras write; one that cannot be opened is said with its
// reason, and the window stays as it was.
TEST_F(MainCounterTest, OpensEmptyWithoutALoadedPhotoAndAsksForOne) {
    struct Case {
        const char* what;
        QString answer;  // empty: the user cancels
        bool opens;
        QString said;    // in the message, when it does not open
    };
    const Case cases[] = {
        {"cancelled", {}, false, {}},
        {"a HEIC from a phone, in Display P3", photoPath(QStringLiteral("display-p3-nclx.heic")),
         true, {}},
        {"a PNG with see-through parts", photoPath(QStringLiteral("transparent.png")), false,
         QStringLiteral("\"transparent.png\" has see-through parts")},
    };
    ASSERT_TRUE(window->FilePassport->isEnabled()) << "enabled from the start";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.openRequests.clear();
        dialogs.messages.clear();
        if (!c.answer.isEmpty()) dialogs.openAnswers.push_back(c.answer);
        bool seen = false;
        // Queued behind the window's own question.
        QTimer::singleShot(0, window.get(), [&] {
            QTimer::singleShot(0, window.get(), [&] {
                auto* counter = qobject_cast<CounterWindow*>(QApplication::activeModalWidget());
                ASSERT_NE(counter, nullptr);
                seen = true;
                ASSERT_EQ(dialogs.openRequests.size(), 1u) << "it asks for a photo at once";
                EXPECT_TRUE(dialogs.openRequests[0].patterns.contains(QStringLiteral("*.heic")));
                EXPECT_EQ(counter->hasPhoto(), c.opens);
                EXPECT_EQ(counter->SavePhoto->isEnabled(), c.opens);
                if (c.said.isEmpty()) {
                    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
                } else {
                    ASSERT_EQ(dialogs.messages.size(), 1);
                    EXPECT_TRUE(dialogs.messages[0].startsWith(c.said))
                        << dialogs.messages[0].toStdString();
                }
                if (c.opens) {
                    const OpenedPhoto expected = openAnyPhoto(c.answer);
                    ASSERT_TRUE(expected.photo);
                    EXPECT_EQ(counter->framing().photoWidth(), expected.photo->width());
                    EXPECT_TRUE(counter->StatusLabel->text().contains(
                        QStringLiteral("Colours: Display P3, converted to sRGB.")))
                        << counter->StatusLabel->text().toStdString();
                }
                counter->reject();
            });
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
