// Draws a portrait, loads it into the main window as a user would, frames the face,
// captures it, shows the guides for persons from 11 years, and saves a picture of the window.
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include "ScriptedDialogs.h"
#include "workspace/Main.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/ScrollBar.h"
#include "workspace/Startup.h"

namespace {

QImage portrait() {
    QImage image(800, 600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wall(0, 0, 0, 600);
    wall.setColorAt(0, QColor(214, 222, 230));
    wall.setColorAt(1, QColor(168, 180, 192));
    p.fillRect(image.rect(), wall);
    // Shoulders and collar.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 64, 110));
    p.drawEllipse(QRectF(250, 400, 320, 300));
    p.setBrush(QColor(236, 200, 170));
    p.drawRect(QRectF(380, 330, 60, 90));
    // Hair behind, face, hair in front.
    p.setBrush(QColor(90, 56, 30));
    p.drawEllipse(QRectF(332, 120, 156, 200));
    p.setBrush(QColor(240, 206, 178));
    p.drawEllipse(QRectF(345, 150, 130, 175));
    QPainterPath fringe;
    fringe.moveTo(340, 215);
    fringe.cubicTo(350, 120, 470, 120, 480, 215);
    fringe.cubicTo(450, 170, 380, 165, 340, 215);
    p.setBrush(QColor(90, 56, 30));
    p.drawPath(fringe);
    // Eyes, nose, mouth.
    for (qreal x : {385.0, 435.0}) {
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x, 210), 11, 6);
        p.setBrush(QColor(70, 100, 60));
        p.drawEllipse(QPointF(x, 210), 5, 5);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(x, 210), 2, 2);
    }
    p.setPen(QPen(QColor(190, 140, 120), 2));
    p.drawLine(QPointF(410, 222), QPointF(405, 252));
    p.drawLine(QPointF(405, 252), QPointF(414, 254));
    p.setPen(QPen(QColor(170, 80, 80), 3));
    p.drawLine(QPointF(393, 280), QPointF(427, 280));
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepareApplication();
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    const QString photo = dir.filePath(QStringLiteral("anna.bmp"));
    portrait().save(photo, "BMP");
    dialogs.openAnswers.push_back(photo);

    Main window(MainServices{&dialogs});
    window.show();
    window.onFileLoad();
    window.HScroll1->setValue(100);
    // A 230-pixel frame from (295, 60) in the photo puts the top of the hair at row 33, the
    // eyes in the band at rows 80-84 and the chin near row 142 of the passport photo.
    window.HScroll2->setValue(230);
    const QPoint pointer(295 - 100 + 50, 60 + 65);
    window.onPicMouseMove(pointer);
    window.onPicMouseDown(pointer);
    window.onKnop2();
    window.onKnop4();
    QApplication::processEvents();
    return window.grab().save(output) ? 0 : 1;
}
