// Starts the real program on a private X display (Xvfb), waits for its window and checks
// what the screen shows: the start-up picture's gradient and the placeholder photo. The
// program is the built one, or the one PORTRIK_PROGRAM names (the package test's unpacked
// copy).
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QString freeDisplay() {
    for (int n = 91; n < 160; ++n) {
        if (!QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) &&
            !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
            return QStringLiteral(":%1").arg(n);
        }
    }
    return {};
}

// Polls `ready` every 50 ms for up to `seconds`.
template <typename Ready>
bool waitFor(double seconds, Ready ready) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds * 1000) {
        if (ready()) return true;
        QThread::msleep(50);
    }
    return ready();
}

QImage screenshot() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// The top-left corner of the placeholder photo: the first place where two rows of
// RGB(0, 40, 0) sit above rows of 41 and 42, 127 pixels wide.
QPoint findPlaceholder(const QImage& screen) {
    for (int y = 0; y + 4 < screen.height(); ++y) {
        for (int x = 0; x + 127 <= screen.width(); ++x) {
            if (screen.pixel(x, y) == qRgb(0, 40, 0) && screen.pixel(x, y + 1) == qRgb(0, 40, 0) &&
                screen.pixel(x, y + 2) == qRgb(0, 41, 0) &&
                screen.pixel(x + 126, y) == qRgb(0, 40, 0) &&
                (x == 0 || screen.pixel(x - 1, y) != qRgb(0, 40, 0))) {
                return {x, y};
            }
        }
    }
    return {-1, -1};
}

class PrivateDisplay {
public:
    PrivateDisplay() {
        name = freeDisplay();
        server.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-screen"), QStringLiteral("0"),
                                              QStringLiteral("1024x768x24"),
                                              QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const QString socket = QStringLiteral("/tmp/.X11-unix/X") + name.mid(1);
        ready = server.waitForStarted(5000) &&
                waitFor(10, [&] { return QFileInfo::exists(socket); });
    }
    ~PrivateDisplay() {
        server.terminate();
        server.waitForFinished(3000);
    }
    QString name;
    QProcess server;
    bool ready = false;
};

}  // namespace

TEST(Program, ShowsItsWindowWithTheStartupPictureAndThePlaceholder) {
    PrivateDisplay display;
    ASSERT_TRUE(display.ready) << "Xvfb did not start";
    qputenv("DISPLAY", display.name.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "program_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(qEnvironmentVariable("PORTRIK_PROGRAM", QStringLiteral(PORTRIK_PROGRAM)), {});
    ASSERT_TRUE(program.waitForStarted(5000));

    QImage screen;
    QPoint photo(-1, -1);
    const bool shown = waitFor(30, [&] {
        screen = screenshot();
        photo = findPlaceholder(screen);
        return photo.x() >= 0;
    });
    program.terminate();
    program.waitForFinished(5000);
    ASSERT_TRUE(shown) << "no window with the placeholder photo appeared";

    // The placeholder: a green gradient with its caption, bottom row g = 121.
    EXPECT_EQ(screen.pixel(photo.x() + 5, photo.y() + 162), qRgb(0, 121, 0));
    int caption = 0;
    for (int y = 60; y < 95; ++y)
        for (int x = 25; x < 110; ++x)
            caption += screen.pixel(photo.x() + x, photo.y() + y) == qRgb(230, 130, 130);
    EXPECT_GT(caption, 30);

    // The viewport sits 530 pixels left of the photo, at the same height: a red gradient,
    // two rows per shade, from black to RGB(179, 0, 0).
    const QPoint viewport = photo - QPoint(530, 0);
    ASSERT_GE(viewport.x(), 0);
    for (int y = 0; y < 360; ++y) {
        ASSERT_EQ(screen.pixel(viewport.x() + 2, viewport.y() + y), qRgb(y / 2, 0, 0)) << y;
    }
    // The product name in cyan over its grey shadow.
    int cyan = 0;
    for (int y = 100; y < 150; ++y)
        for (int x = 80; x < 230; ++x)
            cyan += screen.pixel(viewport.x() + x, viewport.y() + y) == qRgb(0, 240, 240);
    EXPECT_GT(cyan, 50);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
