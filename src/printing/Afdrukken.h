#pragma once

#include <QDialog>
#include <QImage>

#include "platform/widgets/PrinterChoice.h"
#include "sheets/SheetLayout.h"

class Dialogs;
class PictureButton;
class PictureSurface;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollBar;

// The print window: the selector chooses one of sixteen sheet layouts, the preview shows the
// chosen sheet in miniature, the options that go with the layout (cut lines, or the stamps'
// texts and text colour) are offered, and Ok prints one A4 page. The window starts afresh each
// time it is made; its owner shows it with exec() and destroys it only after exec() returned,
// so no handler of the window is ever still running when it goes.
//
// The press animations and the scan before printing let events run. Meanwhile the selector,
// the options and Exit keep working (a change made during the waits counts for the page); a
// second Ok is ignored, so one click prints one page. Closing the window or ending the
// program during those waits abandons the print before anything is sent.
class Afdrukken : public QDialog {
    Q_OBJECT
  public:
    // `passportPhoto` is read, never changed; `dialogs` shows the messages about printing.
    Afdrukken(const QImage& passportPhoto, Dialogs& dialogs, const PrinterChoice& printerChoice,
              QWidget* parent = nullptr);
    ~Afdrukken() override;

    // --- Controls under their design names; positions inside Frame1 ------------------------
    QFrame* Frame1 = nullptr;
    QLabel* BackA4 = nullptr;            // the blue panel round the preview
    PictureSurface* Picture1 = nullptr;  // the preview, 130 x 180
    QLabel* BackScroll = nullptr;        // frames the selector
    QScrollBar* ScrollBalk = nullptr;    // the layout selector, 1..16
    QLabel* Label1 = nullptr;            // names the layout
    QLineEdit* Text1 = nullptr;          // the stamps' country text
    QLineEdit* Text2 = nullptr;          // the stamps' value text
    QLabel* Label3 = nullptr;            // heading over Text1 and Text2
    QCheckBox* Check1 = nullptr;         // stamp texts black or white
    QCheckBox* Kniplijn = nullptr;       // cut lines on or off
    QLabel* Schaar = nullptr;            // scissors beside Kniplijn
    QLabel* Label2 = nullptr;            // "Print"
    PictureButton* PrintKnop = nullptr;  // Ok
    PictureButton* ExitKnop = nullptr;   // Exit
    // The stamp frame picture; only read, never shown.
    QImage Stamp1;

    // The scanning line over the preview.
    bool lijnVisible() const { return lijnVisible_; }
    int lijnY() const { return lijnY_; }

    // What a page printed now would be drawn from.
    sheets::SheetOptions sheetOptions() const;

    // The scan line sweeps the preview (about a second), then Label1 reads "Print example "
    // and the selector value.
    void ScanPreview();

    // Title of the print jobs; tests make it unique to find their output.
    void setDocumentName(const QString& name) { documentName_ = name; }

  public slots:
    void onScrollBalkChange();
    void onCheck1Click();
    void onKniplijnClick();
    void onExitKnopClick();
    void onPrintKnopClick();

  protected:
    void done(int result) override;

  private:
    void createControls();
    void createOptionControls(QWidget* frame);
    void drawPreview(int layout);
    void setLabel1(const QString& caption);
    // Moves `button` down and right by one pixel for `seconds`, then back.
    void press(PictureButton* button, double seconds);
    bool abandoned() const;
    void offerPdf(const QString& problem);

    QImage photo_;
    Dialogs& dialogs_;
    PrinterChoice printerChoice_;
    QString documentName_ = QStringLiteral("Portrik");
    bool lijnVisible_ = false;
    int lijnY_ = 0;
    bool printing_ = false;
    bool closing_ = false;
    bool closed_ = false;
};
