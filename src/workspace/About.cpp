#include "workspace/About.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "platform/widgets/WindowParts.h"

About::About(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" About..."));
    // A fixed layout: no help button, no resizing.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    // The window measures 320 x 143 pixels with its frame; the frame takes 4 pixels on each
    // side and the title bar 24, as for the main window, leaving this for the contents.
    setFixedSize(320 - 8, 143 - 32);
    setModal(true);

    Image1 = pictureLabel(this, {14, 9, 35, 43}, QStringLiteral(":/pictures/about_small.png"),
                          QStringLiteral("Passport photo"));
    Image2 = pictureLabel(this, {60, 8, 246, 44}, QStringLiteral(":/pictures/about_banner.png"),
                          QStringLiteral("Portrik"));

    Label4 = new QLabel(this);
    Label4->setGeometry(14, 65, 220, 50);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(Label4, QColor(kGreyText));
    Label4->setText(
        QStringLiteral("Een programma om pasfoto's te ontwerpen volgens de nieuwe normen van "
                       "2006.\nVeel plezier ermee!"));

    Label1 = panel(this, {248, 80, 60, 26});

    OkKnop = new QPushButton(QStringLiteral("Ok"), this);
    OkKnop->setGeometry(250, 82, 56, 22);
    QPalette face = OkKnop->palette();
    face.setColor(QPalette::Button, QColor(192, 192, 255));
    OkKnop->setPalette(face);
    // A flat face in that colour with a raised edge; the style would paint a gradient.
    OkKnop->setStyleSheet(
        QStringLiteral("QPushButton { background-color: rgb(192, 192, 255);"
                       " border: 2px outset rgb(192, 192, 255); }"
                       "QPushButton:pressed { border-style: inset; }"));
    OkKnop->setDefault(true);
    connect(OkKnop, &QPushButton::clicked, this, &QDialog::accept);
}
