#pragma once

#include <array>
#include <memory>

#include <QColor>
#include <QImage>
#include <QMainWindow>

#include "platform/widgets/Dialogs.h"
#include "view/PhotoSession.h"
#include "workspace/MainServices.h"

namespace Filters {
enum class EditSubmenu;
}
class HtmlViewer;
class PictureSurface;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class ScrollBar;

// The main window: the viewport with its scroll bars, the passport photo with its guide
// buttons, the menus, and the state they share. Controls keep the names the window was
// designed with, so handlers and tests reach them by those names. Handlers live in files by
// menu: MainLoad (File / Load Photo), MainView (zoom, panning, capture, frame colour),
// MainGuides, MainEdit (filters, flips, border), MainSave, MainPrint, MainHelp.
class Main : public QMainWindow {
    Q_OBJECT
  public:
    // `services` are the dialogs, the save services and the printer the window works with;
    // the defaults are the real ones.
    explicit Main(MainServices services = {}, QWidget* parent = nullptr);
    ~Main() override;

    // --- Controls -------------------------------------------------------------------------
    QLabel* PicBack = nullptr;           // frame behind the viewport
    PictureSurface* Pic = nullptr;       // the viewport, 480 x 360
    HtmlViewer* WebBrowser = nullptr;    // help page, over the viewport when shown
    QLabel* Label2 = nullptr;            // frame behind VScroll1
    ScrollBar* VScroll1 = nullptr;       // vertical position of the view
    QLabel* Label1 = nullptr;            // frame behind HScroll1
    ScrollBar* HScroll1 = nullptr;       // horizontal position of the view
    QLabel* InfoLabel = nullptr;         // instruction and status line
    QLabel* Label3 = nullptr;            // frame behind the passport photo
    PictureSurface* Orgineel = nullptr;  // the passport photo, 127 x 163
    QLabel* Label4 = nullptr;            // frame behind HScroll2 and ResetKnop
    ScrollBar* HScroll2 = nullptr;       // capture frame width, 50..270
    QPushButton* ResetKnop = nullptr;    // frame width back to 127
    QLabel* Label5 = nullptr;            // "127 x 163 pixels"
    QLabel* Label6 = nullptr;            // frame behind the guide buttons
    QPushButton* KnopClear = nullptr;
    QPushButton* Knop1 = nullptr;  // head guide up to 10 years
    QPushButton* Knop2 = nullptr;  // head guide from 11 years
    QPushButton* Knop3 = nullptr;  // eye guide up to 10 years
    QPushButton* Knop4 = nullptr;  // eye guide from 11 years
    QLabel* Label7 = nullptr;      // "10 and <         11 and >"

    // --- Menus (indexed groups keep their indices; unused slots stay null) ----------------
    QMenu* File = nullptr;
    QAction* FileLoad = nullptr;
    QMenu* FileSave = nullptr;
    std::array<QAction*, 3> FileSaveAs{};  // [1] "as Bmp", [2] "as Jpg"
    QAction* FilePrint = nullptr;
    QAction* FileSetup = nullptr;
    QAction* FilePassport = nullptr;  // "Passport Photo 2020...": the counter-photo window
    QAction* FileExit = nullptr;
    QMenu* Edit = nullptr;
    std::array<QAction*, 16> EditConvert{};
    QMenu* EditContrastMenu = nullptr;              // submenu of EditConvert[5]
    std::array<QAction*, 3> EditContrastConvert{};  // [1] "Positive", [2] "Negative"
    QMenu* EditSwapMenu = nullptr;                  // submenu of EditConvert[8]
    std::array<QAction*, 6> EditSwap{};             // [1]..[5]
    QAction* EditBorder = nullptr;
    QMenu* Flip = nullptr;
    std::array<QAction*, 2> FlipConvert{};
    QMenu* Colors = nullptr;
    QMenu* ColorsGrabber = nullptr;
    std::array<QAction*, 3> ColorGrabber{};  // [0] "Black", [1] "Gray", [2] "White"
    QMenu* ZoomSize = nullptr;
    std::array<QAction*, 21> SizeProcent{};  // [1]..[10], [15], [20]
    QMenu* Help = nullptr;
    QAction* HelpUitleg = nullptr;
    QAction* HelpAbout = nullptr;
    QAction* Vert = nullptr;      // the "|" divider in the menu bar
    QAction* Filename = nullptr;  // shows the path of the loaded photo; always disabled

    // --- Window state ----------------------------------------------------------------------
    // The photo session: the loaded photo, its zoom, the scroll values, the capture frame and
    // the guides, with GrabWidth, GrabHeight, PhotoLoaded, PhotoFileName and GuideFrom11. The
    // controls above are drawn from it. Other windows read the loaded photo here.
    const view::PhotoSession& session() const { return session_; }
    // The capture frame's outline colour (Color / Grabber).
    const QColor& grabberColour() const { return grabberColour_; }
    // The capture frame is shown from the first successful load on.
    bool grabberVisible() const { return session_.PhotoLoaded(); }

    Dialogs& dialogs() { return *services_.dialogs; }
    // The printer chosen with File / "Setup Printer"; empty means the system's default.
    const PrinterChoice& printerChoice() const { return services_.printer; }

    // The 127 x 163 passport photo (the persistent image of Orgineel).
    QImage& passportPhoto();

    // The zoom percentage whose item carries the check mark.
    int checkedPercent() const;

  public slots:
    // File
    void onFileLoad();
    void onFileSaveAs(int index);
    void onFilePrint();
    void onFileSetup();
    void onFilePassport();
    void onFileExit();
    // Edit and Flip
    void onEditConvert(int index);
    void onEditContrastConvert(int index);
    void onEditSwap(int index);
    void onEditBorder();
    void onFlipConvert(int index);
    // Color, Zoom, Help
    void onColorGrabber(int index);
    void onSizeProcent(int index);
    void onHelpUitleg();
    void onHelpAbout();
    // Viewport and capture frame
    void onHScroll1Change();
    void onVScroll1Change();
    void onPicMouseMove(QPoint pos);
    void onPicMouseDown(QPoint pos);
    void onHScroll2Change();
    void onResetKnop();
    // Guides
    void onKnop1();
    void onKnop2();
    void onKnop3();
    void onKnop4();
    void onKnopClear();
    void onOrgineelMouseMove(QPoint pos);

  private:
    void createControls();
    void createMenus();
    // The Edit menu's filter items, from the filter module's table.
    void createEditItems();
    // Runs the filter of an Edit item (none for a submenu's parent) and repaints the photo.
    void runEditItem(Filters::EditSubmenu submenu, int index);
    void drawStartupPicture();
    void drawPlaceholder();
    // Loads the photo at `path` into the session and shows it; the message that says why it
    // was refused, or an empty string.
    QString loadPhotoFile(const QString& path);
    void showLoadedPhoto();
    // The controls drawn from the session: both viewport scroll bars (without raising their
    // change events), the zoom's check mark, the frame size caption.
    void showScrollBars();
    void showZoomChecks();
    void showFrameSize();
    // Enables what needs a photo once one is loaded.
    void updateActions();
    // Viewport pixel (x, y) shows zoomed pixel (left + x, top + y).
    void renderViewport(int left, int top);
    // The viewport at the scroll values.
    void redrawViewport();
    void paintGrabber(QPainter& painter) const;
    void paintGuides(QPainter& painter) const;

    view::PhotoSession session_;
    QColor grabberColour_;
    MainServices services_;
    // The real dialogs, when the services named none.
    std::unique_ptr<Dialogs> ownDialogs_;
};
