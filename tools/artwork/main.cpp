// Writes every picture of the program into a source tree: portrik_artwork <top folder>.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "Painting.h"

namespace {

// Pictures that are opaque everywhere are stored without an alpha channel.
bool write(const QDir& top, const QString& path, const QImage& picture, bool transparent = false) {
    const QString file = top.filePath(path);
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QImage stored =
        picture.convertToFormat(transparent ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (!stored.save(file, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s %d x %d\n", qPrintable(path), picture.width(), picture.height());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <top folder of the source tree>\n", argv[0]);
        return 2;
    }
    using namespace artwork;
    const QDir top(QString::fromLocal8Bit(argv[1]));
    const QColor lightGrey(214, 214, 214);
    bool ok = true;
    ok &= write(top, "assets/mouth.png", mouthPicture());
    ok &= write(top, "assets/eye.png", eyePicture());
    ok &= write(top, "assets/clear.png", clearPicture());
    ok &= write(top, "assets/about_small.png", aboutSmallPicture());
    ok &= write(top, "assets/about_banner.png", aboutBannerPicture());
    ok &= write(top, "assets/scissors.png", scissorsPicture(), true);
    ok &= write(top, "assets/ok.png",
                buttonFace(40, 30, QColor(40, 76, 196), QStringLiteral("Ok"), lightGrey, 14));
    ok &= write(top, "assets/exit.png",
                buttonFace(40, 30, QColor(196, 30, 30), QStringLiteral("Exit"), lightGrey, 13));
    ok &= write(top, "assets/portrik.png", programIcon(256), true);
    // The sizes a desktop's icon theme looks for.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok &= write(top, QStringLiteral("assets/icons/portrik-%1.png").arg(size), programIcon(size),
                    true);
    }
    ok &= write(top, "help/guides.png", guidesFigure());
    ok &= write(top, "help/window.png", windowFigure());
    ok &= write(top, "help/layouts.png", layoutsFigure());
    return ok ? 0 : 1;
}
