#include "printing/Afdrukken.h"

#include <algorithm>

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

#include "platform/widgets/AppCursor.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/PictureButton.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/WindowParts.h"
#include "sheets/PreviewLayout.h"

namespace {

// The window's outer size is 5700 x 3990 twips (380 x 266 pixels); without its border and
// title bar that leaves room for Frame1, which reaches 5565 twips across and 3480 down.
constexpr QSize kClientSize(372, 232);

const QColor kBoxText(64, 64, 0);

QCheckBox* checkBox(QWidget* parent, const QRect& geometry, const QString& text, bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setGeometry(geometry);
    box->setChecked(checked);
    setTextColour(box, QColor(kGreyText));
    return box;
}

QLineEdit* textBox(QWidget* parent, const QRect& geometry, const QString& text) {
    auto* box = new QLineEdit(text, parent);
    box->setGeometry(geometry);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(224, 224, 224));
    palette.setColor(QPalette::Text, kBoxText);
    box->setPalette(palette);
    box->hide();
    return box;
}

}  // namespace

Afdrukken::Afdrukken(const QImage& passportPhoto, Dialogs& dialogs,
                     const PrinterChoice& printerChoice, QWidget* parent)
    : QDialog(parent),
      Stamp1(QStringLiteral(":/pictures/stamp.png")),
      photo_(passportPhoto.copy()),
      dialogs_(dialogs),
      printerChoice_(printerChoice) {
    setWindowTitle(QStringLiteral(" Print Photo"));
    setModal(true);
    setFixedSize(kClientSize);
    createControls();
    // Opens centred on the screen.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

Afdrukken::~Afdrukken() = default;

void Afdrukken::createControls() {
    Frame1 = new QFrame(this);
    Frame1->setGeometry(twipsRect(75, -15, 5490, 3495));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    const QColor a4Blue(192, 192, 255);
    BackA4 = panel(Frame1, twipsRect(180, 270, 2070, 2820), a4Blue);
    Picture1 = new PictureSurface(QSize(130, 180), Frame1);
    Picture1->move(fromTwips(240), fromTwips(330));
    Picture1->setToolTip(QStringLiteral(" WYSIWYG "));
    Picture1->setAccessibleName(QStringLiteral("Preview"));
    Picture1->setBackColor(QColor(240, 240, 230));
    Picture1->drawText(QPoint(5, 162), QStringLiteral("A4 in Portrait mode"),
                       designFont(QStringLiteral("Arial"), 9.75, false), kBoxText);
    // Lijn: the scanning line, one pixel from x = 0 to x = 140 across the preview.
    Picture1->setOverlayPainter([this](QPainter& painter) {
        if (!lijnVisible_) return;
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(0, lijnY_, 140, lijnY_);
    });

    Label1 = greyLabel(Frame1, {fromTwips(180), fromTwips(3180)},
                       QString::fromStdString(sheets::layoutCaption(1)));
    BackScroll = panel(Frame1, twipsRect(2400, 270, 315, 2835));
    ScrollBalk = new QScrollBar(Qt::Vertical, Frame1);
    ScrollBalk->setGeometry(twipsRect(2430, 300, 255, 2775));
    ScrollBalk->setRange(sheets::kFirstLayout, sheets::kLastLayout);
    ScrollBalk->setSingleStep(1);
    ScrollBalk->setPageStep(1);
    ScrollBalk->setValue(sheets::kFirstLayout);
    // A dragged thumb changes the layout once, when it is released.
    ScrollBalk->setTracking(false);
    ScrollBalk->setAccessibleName(QStringLiteral("Layout"));
    connect(ScrollBalk, &QScrollBar::valueChanged, this, &Afdrukken::onScrollBalkChange);

    createOptionControls(Frame1);
    // The first layout is drawn without going through a layout change, so the A4 text stays.
    drawPreview(sheets::kFirstLayout);

    Label2 = greyLabel(Frame1, {fromTwips(3570), fromTwips(3045)}, QStringLiteral("Print"));
    PrintKnop = new PictureButton(QStringLiteral(":/pictures/ok.png"), QSize(40, 30), Frame1);
    PrintKnop->move(fromTwips(3990), fromTwips(2920));
    PrintKnop->setAccessibleName(QStringLiteral("Ok"));
    connect(PrintKnop, &PictureButton::clicked, this, &Afdrukken::onPrintKnopClick);
    ExitKnop = new PictureButton(QStringLiteral(":/pictures/exit.png"), QSize(40, 30), Frame1);
    ExitKnop->move(fromTwips(4740), fromTwips(2920));
    ExitKnop->setAccessibleName(QStringLiteral("Exit"));
    connect(ExitKnop, &PictureButton::clicked, this, &Afdrukken::onExitKnopClick);
}

void Afdrukken::createOptionControls(QWidget* frame) {
    Text1 = textBox(frame, twipsRect(3000, 270, 1200, 285), QStringLiteral("Nederland"));
    Text1->setAccessibleName(QStringLiteral("Text"));
    Text2 = textBox(frame, twipsRect(4320, 270, 600, 285), QStringLiteral("0.39"));
    Text2->setAccessibleName(QStringLiteral("Value"));
    Label3 = greyLabel(
        frame, {fromTwips(3000), fromTwips(630)},
        QStringLiteral("Text") + QString(23, QLatin1Char(' ')) + QStringLiteral("Value \u20AC"));
    Label3->hide();
    Check1 = checkBox(frame, twipsRect(3060, 900, 1785, 315), QStringLiteral("Black color"), true);
    Check1->hide();
    connect(Check1, &QCheckBox::clicked, this, &Afdrukken::onCheck1Click);
    Kniplijn =
        checkBox(frame, twipsRect(3060, 1200, 1275, 285), QStringLiteral("Secants off"), false);
    connect(Kniplijn, &QCheckBox::clicked, this, &Afdrukken::onKniplijnClick);
    Schaar = pictureLabel(frame, QRect(fromTwips(4500), fromTwips(1110), 32, 32),
                          QStringLiteral(":/pictures/scissors.png"), QStringLiteral("Scissors"));
}

void Afdrukken::drawPreview(int layout) {
    QImage& target = Picture1->image();
    QPainter painter(&target);
    // Pixels are copied, nothing blended or smoothed.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const sheets::PreviewPlacement& place : sheets::previewPlacements(layout)) {
        const QImage& picture = place.picture == sheets::Picture::Photo ? photo_ : Stamp1;
        if (picture.isNull()) continue;
        const sheets::ShownSize shown =
            sheets::previewShownSize(place, picture.width(), picture.height());
        const QRect source(0, 0, std::min(picture.width(), sheets::kPreviewSourceWidth),
                           std::min(picture.height(), sheets::kPreviewSourceHeight));
        painter.drawImage(QRectF(place.x, place.y, shown.width, shown.height), picture, source);
    }
    painter.end();
    Picture1->update();
}

void Afdrukken::setLabel1(const QString& caption) {
    Label1->setText(caption);
    Label1->adjustSize();
}

sheets::SheetOptions Afdrukken::sheetOptions() const {
    sheets::SheetOptions options;
    options.layout = ScrollBalk->value();
    options.cutLines = Kniplijn->isChecked();
    options.blackText = Check1->isChecked();
    options.countryText = Text1->text().toStdString();
    options.valueText = Text2->text().toStdString();
    return options;
}

void Afdrukken::onScrollBalkChange() {
    AppCursor::BusyScope busy;
    Picture1->clear();
    const int v = ScrollBalk->value();
    const sheets::OptionControls controls = sheets::optionControls(v);
    Text1->hide();
    Text2->hide();
    Label3->hide();
    Check1->hide();
    Kniplijn->setVisible(controls.cutLineControls);
    Schaar->setVisible(controls.cutLineControls);
    drawPreview(v);
    Text1->setVisible(controls.stampControls);
    Text2->setVisible(controls.stampControls);
    Label3->setVisible(controls.stampControls);
    Check1->setVisible(controls.stampControls);
    setLabel1(QString::fromStdString(sheets::layoutCaption(v)));
}

void Afdrukken::onCheck1Click() {
    Check1->setText(Check1->isChecked() ? QStringLiteral("Black color")
                                        : QStringLiteral("White color"));
}

void Afdrukken::onKniplijnClick() {
    Kniplijn->setText(Kniplijn->isChecked() ? QStringLiteral("Secants on")
                                            : QStringLiteral("Secants off"));
}
