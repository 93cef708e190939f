// The main window right after start-up: layout, captions, menus, pictures.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include "platform/widgets/AppCursor.h"
#include "platform/widgets/HtmlViewer.h"

#include "MainFixture.h"

using StartupTest = MainFixture;

namespace {

QStringList captions(const QList<QAction*>& actions) {
    QStringList list;
    for (QAction* action : actions) list << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return list;
}

}  // namespace

TEST_F(StartupTest, TitleAndStatusTexts) {
    EXPECT_EQ(window->windowTitle(), " Portrik");
    EXPECT_EQ(window->InfoLabel->text(), "Selecteer een foto met File / Load Photo...");
    EXPECT_EQ(window->Label5->text(), "127 x 163 pixels");
    EXPECT_EQ(window->Label7->text(), "10 and <         11 and >");
    EXPECT_EQ(session().GrabWidth(), 127);
    EXPECT_EQ(session().GrabHeight(), 163);
    EXPECT_FALSE(session().PhotoLoaded());
    EXPECT_TRUE(session().GuideFrom11());
    EXPECT_FALSE(window->grabberVisible());
}

TEST_F(StartupTest, ControlsSitWhereTheWindowWasDesigned) {
    const Main& w = *window;
    const std::pair<QWidget*, QRect> places[] = {
        {w.PicBack, {10, 10, 490, 370}},   {w.Pic, {15, 15, 480, 360}},
        {w.WebBrowser, {10, 10, 490, 370}},
        {w.Label2, {504, 10, 22, 370}},    {w.VScroll1, {506, 12, 18, 366}},
        {w.Label1, {10, 384, 490, 21}},    {w.HScroll1, {12, 386, 486, 17}},
        {w.Label3, {540, 10, 138, 173}},   {w.Orgineel, {545, 15, 127, 163}},
        {w.Label4, {540, 186, 138, 22}},   {w.HScroll2, {542, 188, 116, 18}},
        {w.ResetKnop, {658, 188, 18, 18}}, {w.Label6, {540, 240, 138, 140}},
        {w.KnopClear, {542, 242, 134, 24}}, {w.Knop1, {542, 266, 67, 56}},
        {w.Knop2, {609, 266, 67, 56}},     {w.Knop3, {542, 322, 67, 56}},
        {w.Knop4, {609, 322, 67, 56}},
    };
    for (const auto& [widget, rect] : places) {
        EXPECT_EQ(widget->geometry(), rect) << widget->metaObject()->className();
    }
    EXPECT_EQ(w.InfoLabel->pos(), QPoint(10, 410));
    EXPECT_EQ(w.Label5->pos(), QPoint(540, 213));
    EXPECT_EQ(w.Label7->pos(), QPoint(554, 386));
    EXPECT_FALSE(w.WebBrowser->isVisible());
    // The layout is fixed: the window cannot be resized.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(StartupTest, ToolTipsKeepTheirBlanks) {
    EXPECT_EQ(window->ResetKnop->toolTip(), " Reset Size ");
    EXPECT_EQ(window->ResetKnop->text(), "R");
    EXPECT_EQ(window->KnopClear->toolTip(), " Verwijder de matrix ");
    EXPECT_EQ(window->Knop1->toolTip(), " Maatvoering t/m 10 jaar ");
    EXPECT_EQ(window->Knop2->toolTip(), " Maatvoering vanaf 11 jaar ");
    EXPECT_EQ(window->Knop3->toolTip(), " Positie van de ogen t/m 10 jaar ");
    EXPECT_EQ(window->Knop4->toolTip(), " Positie van de ogen vanaf 11 jaar ");
}

TEST_F(StartupTest, ScrollBarsStartWithTheirDesignRanges) {
    EXPECT_EQ(window->HScroll1->min(), 0);
    EXPECT_EQ(window->HScroll1->max(), 32767);
    EXPECT_EQ(window->VScroll1->max(), 32767);
    EXPECT_EQ(window->HScroll1->value(), 0);
    EXPECT_EQ(window->HScroll2->min(), 50);
    EXPECT_EQ(window->HScroll2->max(), 270);
    EXPECT_EQ(window->HScroll2->value(), 127);
}

TEST_F(StartupTest, MenuBarOrderCaptionsAndStates) {
    QMenuBar* bar = window->menuBar();
    EXPECT_EQ(captions(bar->actions()), (QStringList{"File", "Edit", "Flip", "Color", "Zoom",
                                                     "Help", "|", "Filename"}));
    EXPECT_EQ(captions(window->File->actions()),
              (QStringList{"Load Photo", "Save Photo", "-", "Print Photo", "Setup Printer",
                           "Passport Photo 2020...", "-", "Exit"}));
    EXPECT_EQ(captions(window->FileSave->actions()), (QStringList{"as Bmp", "as Jpg"}));
    EXPECT_EQ(captions(window->Edit->actions()),
              (QStringList{"Grayscale", "Negative", "Light", "Dark", "Sharpen", "Contrast",
                           "Pixelize", "Reliëf", "Swap colors", "Scattered", "Blur", "Aquarel",
                           "Defuse", "Add noise", "Edge", "Contour", "-", "Border"}));
    EXPECT_EQ(captions(window->EditContrastMenu->actions()), (QStringList{"Positive", "Negative"}));
    EXPECT_EQ(captions(window->EditSwapMenu->actions()),
              (QStringList{"RGB --> BRG", "RGB --> GBR", "RGB --> RBG", "RGB --> BGR",
                           "RGB --> GRB"}));
    EXPECT_EQ(captions(window->Flip->actions()), (QStringList{"Horizontal", "Vertical"}));
    EXPECT_EQ(captions(window->Colors->actions()), (QStringList{"Grabber"}));
    EXPECT_EQ(captions(window->ColorsGrabber->actions()), (QStringList{"Black", "Gray", "White"}));
    EXPECT_EQ(captions(window->ZoomSize->actions()),
              (QStringList{"10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%",
                           "150%", "200%"}));
    EXPECT_EQ(captions(window->Help->actions()), (QStringList{"Help", "-", "About"}));

    // Everything that needs a photo is disabled; the rest is enabled.
    EXPECT_FALSE(window->Edit->menuAction()->isEnabled());
    EXPECT_FALSE(window->Flip->menuAction()->isEnabled());
    EXPECT_FALSE(window->ZoomSize->menuAction()->isEnabled());
    EXPECT_FALSE(window->FileSave->menuAction()->isEnabled());
    EXPECT_FALSE(window->FilePrint->isEnabled());
    EXPECT_FALSE(window->Filename->isEnabled());
    // The counter photo opens a photo of its own.
    for (QAction* enabled : {window->FileLoad, window->FilePassport, window->FileSetup, window->FileExit,
                             window->Colors->menuAction(), window->Help->menuAction(),
                             window->Vert}) {
        EXPECT_TRUE(enabled->isEnabled()) << enabled->text().toStdString();
    }
    EXPECT_TRUE(window->SizeProcent[10]->isChecked());
    EXPECT_EQ(window->checkedPercent(), 100);
    EXPECT_TRUE(window->ColorGrabber[1]->isChecked());
    EXPECT_FALSE(window->ColorGrabber[0]->isChecked() || window->ColorGrabber[2]->isChecked());
    EXPECT_FALSE(window->HelpUitleg->isChecked());
}

TEST_F(StartupTest, StartupPictureIsARedGradientTwoRowsPerShade) {
    const QImage& pic = viewport();
    // Left edge, away from the texts.
    for (int y = 0; y < 360; ++y) {
        ASSERT_EQ(pic.pixel(2, y), qRgb(y / 2, 0, 0)) << y;
    }
    EXPECT_EQ(pic.pixel(479, 359), qRgb(179, 0, 0));
}

TEST_F(StartupTest, StartupPictureCarriesTheNameWithItsShadowAndTheVersion) {
    const QImage& pic = viewport();
    auto count = [&pic](QRect area, auto predicate) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += predicate(QColor(pic.pixel(x, y)));
        return n;
    };
    const QRect title(80, 100, 150, 50);
    EXPECT_GT(count(title, [](QColor c) { return c == QColor(0, 240, 240); }), 50);
    EXPECT_GT(count(title, [](QColor c) { return c == QColor(130, 130, 130); }), 20);
    EXPECT_GT(count(QRect(130, 200, 300, 50), [](QColor c) { return c == QColor(240, 240, 0); }), 50);
    EXPECT_GT(count(QRect(210, 250, 80, 20), [](QColor c) { return c.red() < 40 && c.green() < 10; }),
              10);
}

TEST_F(StartupTest, PlaceholderIsAGreenGradientWithItsCaption) {
    const QImage& placeholder = photo();
    ASSERT_EQ(placeholder.size(), QSize(127, 163));
    EXPECT_EQ(placeholder.pixel(0, 0), qRgb(0, 40, 0));
    EXPECT_EQ(placeholder.pixel(126, 1), qRgb(0, 40, 0));   // 40.5 -> 40
    EXPECT_EQ(placeholder.pixel(126, 3), qRgb(0, 42, 0));   // 41.5 -> 42
    EXPECT_EQ(placeholder.pixel(126, 162), qRgb(0, 121, 0));
    int caption = 0;
    for (int y = 65; y < 95; ++y)
        for (int x = 30; x < 110; ++x) caption += placeholder.pixel(x, y) == qRgb(230, 130, 130);
    EXPECT_GT(caption, 30);
}

TEST_F(StartupTest, ClickInTheViewportBeforeALoadChangesNothing) {
    const QImage before = photo().copy();
    window->onPicMouseMove(QPoint(200, 200));
    window->onPicMouseDown(QPoint(200, 200));
    EXPECT_EQ(photo(), before);
}

TEST_F(StartupTest, ScrollingBeforeALoadShowsTheEmptyZoomedPhoto) {
    window->HScroll1->bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->HScroll1->value(), 1);
    EXPECT_EQ(viewport().pixel(100, 100), window->Pic->backColor().rgb());
}

TEST_F(StartupTest, OpeningTheContrastOrSwapSubmenuRepaintsAndSetsTheArrow) {
    loadPicture(codedPicture(640, 480));
    window->onPicMouseDown(QPoint(200, 150));
    const QImage before = photo().copy();
    for (QMenu* submenu : {window->EditContrastMenu, window->EditSwapMenu}) {
        AppCursor::setBusy();  // as while a filter runs
        submenu->popup(QPoint(0, 0));
        submenu->hide();
        EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
        EXPECT_EQ(photo(), before);
    }
}
