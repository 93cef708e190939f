// Draws a portrait, loads it into the main window as a user would, frames the face,
// captures it, shows the guides for persons from 11 years, and saves a picture of the window.
// Given two more paths, it also loads a real face (tests/data/faces), opens File / "Passport
// Photo 2020..." on it, waits until the face is framed, and saves a picture of that window and
// the help page's figure of it (440 pixels wide, its parts numbered).
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "ScriptedDialogs.h"
#include "counter/CounterView.h"
#include "counter/CounterWindow.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/ScrollBar.h"
#include "workspace/Main.h"
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

// A numbered yellow disc, as on the help page's other figures.
void marker(QPainter& p, QPointF centre, int number) {
    p.setPen(QPen(QColor(60, 40, 0), 1.2));
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(centre, 9, 9);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() - 9, centre.y() - 9, 18, 18), Qt::AlignCenter,
               QString::number(number));
}

// The window scaled to the help viewer's width, its parts numbered as the page explains them.
QImage helpFigure(const CounterWindow& window, const QImage& shot) {
    const double scale = 440.0 / shot.width();
    QImage figure = shot.scaled(440, qRound(shot.height() * scale), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
    QPainter p(&figure);
    p.setRenderHint(QPainter::Antialiasing);
    // Top-left corner of a control, in window pixels, moved a little inwards.
    auto at = [&window](const QWidget* w, QPoint inset) {
        return QPointF(w->mapTo(&window, inset));
    };
    const QCheckBox* off = window.DetectionOff;
    const QPointF marks[] = {
        at(window.View, {20, 20}),
        at(window.From11->parentWidget(), {window.From11->parentWidget()->width() - 14, 14}),
        at(off, {off->fontMetrics().horizontalAdvance(off->text()) + 56, off->height() / 2}),
        at(window.HeadSize, {window.HeadSize->width() / 2, window.HeadSize->height() / 2}),
        at(window.StatusLabel, {window.StatusLabel->width() - 14, 10}),
        at(window.CheckList, {window.CheckList->width() - 20, 40}),
        at(window.SavePhoto, {window.SavePhoto->width() - 4, -12}),
        at(window.SheetRows->parentWidget(), {window.SheetRows->parentWidget()->width() - 14, 12}),
    };
    int number = 0;
    for (const QPointF& m : marks) marker(p, m * scale, ++number);
    return figure;
}

// Opens the counter-photo window from the File menu on `face` and saves its pictures.
bool counterPictures(const QString& face, const QString& shotPath, const QString& figurePath) {
    ScriptedDialogs dialogs;
    dialogs.openAnswers.push_back(face);
    Main window(MainServices{&dialogs});
    window.show();
    window.onFileLoad();
    window.onKnop2();
    bool saved = false;
    QTimer::singleShot(0, &window, [&] {
        auto* counter = qobject_cast<CounterWindow*>(QApplication::activeModalWidget());
        if (!counter) return;
        while (!counter->settled()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        const QImage shot = counter->grab().toImage();
        saved = shot.save(shotPath) && helpFigure(*counter, shot).save(figurePath);
        counter->reject();
    });
    window.FilePassport->trigger();
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    prepareApplication();
    const QString output =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshot.png");
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
    if (!window.grab().save(output)) return 1;
    if (argc < 4) return 0;
    // A real face on a plain background, from dlib's examples: tilted, so the frame is levelled,
    // and lit from one side, so one failure shows its advice.
    const QString face =
        QStringLiteral(PORTRIK_SOURCE_DIR "/tests/data/faces/plain-grey-short-hair.jpg");
    return counterPictures(face, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]))
               ? 0
               : 1;
}
