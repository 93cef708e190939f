#include "workspace/Main.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

#include "arithmetic/Rounding.h"
#include "filters/EditMenu.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/HtmlViewer.h"
#include "platform/widgets/PictureSurface.h"
#include "platform/widgets/QtDialogs.h"
#include "platform/widgets/ScrollBar.h"
#include "platform/widgets/WindowParts.h"

namespace {

// The client area below the menu bar; the layout inside it is fixed.
constexpr int kClientWidth = 691;
constexpr int kClientHeight = 432;

}  // namespace

Main::Main(MainServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    if (!services_.dialogs) {
        ownDialogs_ = std::make_unique<QtDialogs>(this);
        services_.dialogs = ownDialogs_.get();
    }
    setWindowTitle(QStringLiteral(" Portrik"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/portrik.png")));
    createControls();
    createMenus();
    showScrollBars();
    showZoomChecks();

    // Start-up: each surface is drawn on only once it has its final size.
    drawStartupPicture();
    drawPlaceholder();
    // Everything else starts as the session does (frame 127 x 163, no photo, the guides at
    // their from-11 geometry, hidden); the frame is gray.
    onColorGrabber(1);
    showFrameSize();
    updateActions();

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

Main::~Main() = default;

QImage& Main::passportPhoto() {
    return Orgineel->image();
}

void Main::createControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    const QColor face = client->palette().color(QPalette::Button);
    const QColor grey(kGreyText);

    PicBack = panel(client, {10, 10, 490, 370}, QColor(224, 224, 224), grey);
    Pic = new PictureSurface(QSize(view::kViewportWidth, view::kViewportHeight), client);
    Pic->move(15, 15);
    Pic->setBackColor(client->palette().color(QPalette::Base));
    Pic->setAccessibleName(QStringLiteral("Viewport"));
    Pic->setOverlayPainter([this](QPainter& painter) { paintGrabber(painter); });
    connect(Pic, &PictureSurface::mouseMoved, this, &Main::onPicMouseMove);
    connect(Pic, &PictureSurface::mousePressed, this,
            [this](QPoint pos, Qt::MouseButton) { onPicMouseDown(pos); });

    WebBrowser = new HtmlViewer(client);
    WebBrowser->setGeometry(10, 10, 490, 370);
    WebBrowser->hide();

    Label2 = panel(client, {504, 10, 22, 370}, face, grey);
    VScroll1 = new ScrollBar(Qt::Vertical, client);
    VScroll1->setGeometry(506, 12, 18, 366);
    connect(VScroll1, &ScrollBar::changed, this, &Main::onVScroll1Change);

    Label1 = panel(client, {10, 384, 490, 21}, face, grey);
    HScroll1 = new ScrollBar(Qt::Horizontal, client);
    HScroll1->setGeometry(12, 386, 486, 17);
    connect(HScroll1, &ScrollBar::changed, this, &Main::onHScroll1Change);

    InfoLabel =
        greyLabel(client, {10, 410}, QStringLiteral("Selecteer een foto met File / Load Photo..."));

    Label3 = panel(client, {540, 10, 138, 173}, QColor(192, 192, 192), grey);
    Orgineel = new PictureSurface(QSize(view::kPhotoWidth, view::kPhotoHeight), client);
    Orgineel->move(545, 15);
    Orgineel->setBackColor(client->palette().color(QPalette::Base));
    Orgineel->setAccessibleName(QStringLiteral("Passport photo"));
    Orgineel->setOverlayPainter([this](QPainter& painter) { paintGuides(painter); });
    connect(Orgineel, &PictureSurface::mouseMoved, this, &Main::onOrgineelMouseMove);

    Label5 = greyLabel(client, {540, 213}, QStringLiteral("140 x 180 pixels"));
    Label4 = panel(client, {540, 186, 138, 22}, QColor(Qt::black), grey);
    HScroll2 = new ScrollBar(Qt::Horizontal, client);
    HScroll2->setGeometry(542, 188, 116, 18);
    HScroll2->setMin(view::kMinGrabWidth);
    HScroll2->setMax(view::kMaxGrabWidth);
    HScroll2->setValue(session_.GrabWidth());
    connect(HScroll2, &ScrollBar::changed, this, &Main::onHScroll2Change);
    ResetKnop = new QPushButton(QStringLiteral("R"), client);
    ResetKnop->setGeometry(658, 188, 18, 18);
    ResetKnop->setToolTip(QStringLiteral(" Reset Size "));
    ResetKnop->setFocusPolicy(Qt::NoFocus);
    connect(ResetKnop, &QPushButton::clicked, this, &Main::onResetKnop);

    Label6 = panel(client, {540, 240, 138, 140}, QColor(64, 64, 64), grey);
    KnopClear = pushButtonWithPicture(
        client, {542, 242, 134, 24}, QStringLiteral(":/pictures/clear.png"), QSize(140, 24),
        QStringLiteral(" Verwijder de matrix "), QStringLiteral("Clear"));
    Knop1 = pushButtonWithPicture(
        client, {542, 266, 67, 56}, QStringLiteral(":/pictures/mouth.png"), QSize(70, 55),
        QStringLiteral(" Maatvoering t/m 10 jaar "), QStringLiteral("Head up to 10 years"));
    Knop2 = pushButtonWithPicture(
        client, {609, 266, 67, 56}, QStringLiteral(":/pictures/mouth.png"), QSize(70, 55),
        QStringLiteral(" Maatvoering vanaf 11 jaar "), QStringLiteral("Head from 11 years"));
    Knop3 = pushButtonWithPicture(
        client, {542, 322, 67, 56}, QStringLiteral(":/pictures/eye.png"), QSize(70, 55),
        QStringLiteral(" Positie van de ogen t/m 10 jaar "), QStringLiteral("Eyes up to 10 years"));
    Knop4 =
        pushButtonWithPicture(client, {609, 322, 67, 56}, QStringLiteral(":/pictures/eye.png"),
                              QSize(70, 55), QStringLiteral(" Positie van de ogen vanaf 11 jaar "),
                              QStringLiteral("Eyes from 11 years"));
    connect(KnopClear, &QPushButton::clicked, this, &Main::onKnopClear);
    connect(Knop1, &QPushButton::clicked, this, &Main::onKnop1);
    connect(Knop2, &QPushButton::clicked, this, &Main::onKnop2);
    connect(Knop3, &QPushButton::clicked, this, &Main::onKnop3);
    connect(Knop4, &QPushButton::clicked, this, &Main::onKnop4);
    Label7 = greyLabel(client, {554, 386}, QStringLiteral("10 and <         11 and >"));

    // The help page covers the viewport and its frame when shown.
    WebBrowser->raise();
}

void Main::createMenus() {
    QMenuBar* bar = menuBar();

    File = bar->addMenu(QStringLiteral("File"));
    FileLoad = File->addAction(QStringLiteral("Load Photo"), this, &Main::onFileLoad);
    FileSave = File->addMenu(QStringLiteral("Save Photo"));
    FileSaveAs[1] =
        FileSave->addAction(QStringLiteral("as Bmp"), this, [this] { onFileSaveAs(1); });
    FileSaveAs[2] =
        FileSave->addAction(QStringLiteral("as Jpg"), this, [this] { onFileSaveAs(2); });
    File->addSeparator();
    FilePrint = File->addAction(QStringLiteral("Print Photo"), this, &Main::onFilePrint);
    FileSetup = File->addAction(QStringLiteral("Setup Printer"), this, &Main::onFileSetup);
    FilePassport = File->addAction(QStringLiteral("Passport Photo 2020..."), this,
                                   &Main::onFilePassport);
    File->addSeparator();
    FileExit = File->addAction(QStringLiteral("Exit"), this, &Main::onFileExit);

    Edit = bar->addMenu(QStringLiteral("Edit"));
    createEditItems();
    Edit->addSeparator();
    EditBorder = Edit->addAction(QStringLiteral("Border"), this, &Main::onEditBorder);

    Flip = bar->addMenu(QStringLiteral("Flip"));
    FlipConvert[0] =
        Flip->addAction(QStringLiteral("Horizontal"), this, [this] { onFlipConvert(0); });
    FlipConvert[1] =
        Flip->addAction(QStringLiteral("Vertical"), this, [this] { onFlipConvert(1); });

    Colors = bar->addMenu(QStringLiteral("Color"));
    ColorsGrabber = Colors->addMenu(QStringLiteral("Grabber"));
    static const char* const grabberCaptions[3] = {"Black", "Gray", "White"};
    for (int i = 0; i < 3; ++i) {
        ColorGrabber[i] = ColorsGrabber->addAction(QString::fromLatin1(grabberCaptions[i]), this,
                                                   [this, i] { onColorGrabber(i); });
        ColorGrabber[i]->setCheckable(true);
    }

    ZoomSize = bar->addMenu(QStringLiteral("Zoom"));
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20}) {
        SizeProcent[i] = ZoomSize->addAction(QStringLiteral("%1%").arg(10 * i), this,
                                             [this, i] { onSizeProcent(i); });
        SizeProcent[i]->setCheckable(true);
    }

    Help = bar->addMenu(QStringLiteral("Help"));
    HelpUitleg = Help->addAction(QStringLiteral("Help"), this, &Main::onHelpUitleg);
    HelpUitleg->setCheckable(true);
    Help->addSeparator();
    HelpAbout = Help->addAction(QStringLiteral("About"), this, &Main::onHelpAbout);

    // Two items without menus: a divider and the path of the loaded photo.
    Vert = bar->addAction(QStringLiteral("|"));
    Filename = bar->addAction(QStringLiteral("Filename"));
    Filename->setEnabled(false);
}

void Main::createEditItems() {
    using Filters::EditSubmenu;
    QMenu* submenu = nullptr;
    for (const Filters::EditItem& item : Filters::kEditMenu) {
        const QString caption = QString::fromUtf8(item.caption);
        const int index = item.index;
        if (item.in == EditSubmenu::Contrast) {
            EditContrastConvert[index] =
                submenu->addAction(caption, this, [this, index] { onEditContrastConvert(index); });
        } else if (item.in == EditSubmenu::Swap) {
            EditSwap[index] =
                submenu->addAction(caption, this, [this, index] { onEditSwap(index); });
        } else if (item.opens != EditSubmenu::None) {
            submenu = Edit->addMenu(caption);
            (item.opens == EditSubmenu::Contrast ? EditContrastMenu : EditSwapMenu) = submenu;
            EditConvert[index] = submenu->menuAction();
            // Choosing the item itself opens its submenu and runs no filter, but still
            // repaints the photo and sets the arrow, as every Edit item does.
            connect(submenu, &QMenu::aboutToShow, this, [this, index] { onEditConvert(index); });
        } else {
            EditConvert[index] =
                Edit->addAction(caption, this, [this, index] { onEditConvert(index); });
        }
    }
}

void Main::drawStartupPicture() {
    // A vertical gradient from black to RGB(180, 0, 0), two lines per shade.
    for (int i = 0; i <= 360; i += 2) {
        const QColor shade(i / 2, 0, 0);
        Pic->drawLine(QPoint(0, i), QPoint(7200, i), shade);
        Pic->drawLine(QPoint(0, i + 1), QPoint(7200, i + 1), shade);
    }
    const QFont title = designFont(QStringLiteral("Comic Sans MS"), 26.25, true);
    const QString credit = QStringLiteral("het Portrik-team");
    // The grey copies, drawn first and 2 pixels up-left, act as shadows.
    Pic->drawText({80, 100}, QStringLiteral("Portrik\r\n               by"), title,
                  QColor(130, 130, 130));
    Pic->drawText({82, 102}, QStringLiteral("Portrik"), title, QColor(0, 240, 240));
    Pic->drawText({130, 200}, credit, title, QColor(130, 130, 130));
    Pic->drawText({132, 202}, credit, title, QColor(240, 240, 0));
    Pic->drawText({210, 250}, QStringLiteral("Version 2"),
                  designFont(QStringLiteral("Comic Sans MS"), 12, false), Qt::black);
}

void Main::drawPlaceholder() {
    // A green gradient; the last line (i = 163) lies below the surface.
    for (int i = 0; i <= 163; ++i) {
        const int g = static_cast<int>(arithmetic::roundHalfEven(i / 2.0 + 40));
        Orgineel->drawLine(QPoint(0, i), QPoint(127, i), QColor(0, g, 0));
    }
    Orgineel->drawText({30, 65}, QStringLiteral("Orginal"),
                       designFont(QStringLiteral("Comic Sans MS"), 14.25, true),
                       QColor(230, 130, 130));
}

int Main::checkedPercent() const {
    for (int i = 1; i <= 20; ++i) {
        if (SizeProcent[i] && SizeProcent[i]->isChecked()) return 10 * i;
    }
    return 0;
}

void Main::showZoomChecks() {
    for (QAction* item : SizeProcent) {
        if (item) item->setChecked(false);
    }
    const int index = session_.zoomPercent() / 10;
    if (index >= 1 && index < static_cast<int>(SizeProcent.size()) && SizeProcent[index]) {
        SizeProcent[index]->setChecked(true);
    }
}

void Main::updateActions() {
    // Zoom, Edit, Flip, Save and Print need a photo; the rest is always there (the counter
    // photo opens a photo of its own when none is loaded).
    const bool loaded = session_.PhotoLoaded();
    ZoomSize->menuAction()->setEnabled(loaded);
    Edit->menuAction()->setEnabled(loaded);
    Flip->menuAction()->setEnabled(loaded);
    FilePrint->setEnabled(loaded);
    FileSave->menuAction()->setEnabled(loaded);
}
