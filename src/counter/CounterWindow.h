#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>

#include "counter/CheckRows.h"
#include "counter/CounterFraming.h"
#include "passport/FaceFinder.h"
#include "platform/widgets/PrinterChoice.h"
#include "raster/Photo.h"
#include "sheets/CounterSheet.h"

class BusyBar;
class CounterView;
class Dialogs;
class FaceModelSource;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QThreadPool;
class QTimer;
class QTreeWidget;

namespace counter {
class PreviewLevels;
}

// The counter-photo window: the loaded photo framed by today's rules (35 x 45 mm, the head
// chin to crown within the age group's band, the eyes in their band, the face centred),
// shown large with the rules' lines over it, corrected by hand, checked, and written as the
// 600 dpi photo, the photo-lab sheet or an A4 sheet of the print window's row layouts.
//
// It takes what it needs as plain values and owns nothing of the main window. The face
// model comes from `faces` (loaded once per run, kept for later openings); the model's load
// and the face search run on worker threads and their outcome arrives as a queued event, so
// the window stays responsive meanwhile and shows that it is busy. An outcome that arrives
// after the window closed is dropped: the workers hold their own references to the photo's
// pixels and the model. Its owner shows it with exec() and destroys it after exec() returned.
class CounterWindow : public QDialog {
    Q_OBJECT
  public:
    // `ageGroup` is the start of the age group choice; `dialogs` answers the save dialogs and
    // shows the messages (and the print dialog, which opens on `printerChoice`'s printer).
    // The long jobs run on `workers` (null: counterWorkers()).
    // `photo` is the loaded photo (shared, never copied); `fileName` its full path, named in
    // messages and the start of default file names.
    CounterWindow(std::shared_ptr<const raster::Photo> photo, const QString& fileName,
                  passport::AgeGroup ageGroup, Dialogs& dialogs, const PrinterChoice& printerChoice,
                  FaceModelSource& faces, QWidget* parent = nullptr,
                  QThreadPool* workers = nullptr);
    ~CounterWindow() override;

    // --- Controls ------------------------------------------------------------------------
    CounterView* View = nullptr;          // the framed photo, 350 x 450
    QRadioButton* From11 = nullptr;       // age group from 11 years
    QRadioButton* UpTo10 = nullptr;       // age group up to 10 years
    QCheckBox* DetectionOff = nullptr;    // the user places crown and chin
    QCheckBox* LevelEyes = nullptr;       // "Level the eyes": the crop turns with a tilted head
    QSlider* HeadSize = nullptr;          // head height, tenths of a millimetre
    QLabel* HeadSizeLabel = nullptr;      // "28.0 mm"
    QPushButton* Reframe = nullptr;       // framed anew by the marks
    QLabel* StatusLabel = nullptr;        // what the search found, what to do
    BusyBar* Busy = nullptr;              // shown while the model loads or the search runs
    QTreeWidget* CheckList = nullptr;     // the criteria, by group, with values and verdicts
    QLabel* AdviceLabel = nullptr;        // what to do about each failing criterion
    QLabel* WarningLabel = nullptr;       // below 400 dpi, white fill
    QLabel* FinalWordLabel = nullptr;     // the counter decides
    QPushButton* OpenPhoto = nullptr;     // "Open Photo..."
    QPushButton* SavePhoto = nullptr;     // "Save Photo..."
    QPushButton* SaveLabSheet = nullptr;  // "Save Lab Sheet..."
    QSpinBox* SheetRows = nullptr;        // rows of five on the A4 sheet, 1..5
    QCheckBox* CutLines = nullptr;        // cut lines round every photo of the sheet
    QPushButton* PrintSheet = nullptr;    // "Print Sheet"
    QPushButton* SaveSheetPdf = nullptr;  // "Save Sheet as PDF..."
    QPushButton* CloseButton = nullptr;

    const counter::CounterFraming& framing() const { return framing_; }

    // Starts afresh on `photo` (null: none, the window waits for one), read from `fileName`;
    // `colourNote` says what became of its colours when it was not plain sRGB ("Display P3,
    // converted to sRGB"). The age group, levelling and detection stay as chosen.
    void openPhoto(std::shared_ptr<const raster::Photo> photo, const QString& fileName,
                   const QString& colourNote = {});
    bool hasPhoto() const;
    // True once the photo is on screen and the search has come to an outcome.
    bool settled() const;

    // The 827 x 1063 photo of the current framing (600 dpi). Made when first asked after a
    // change of the framing, then kept.
    const QImage& printPhoto();
    // The A4 sheet the print and PDF buttons make: rows of five, cut lines as chosen.
    sheets::CounterSheetOptions sheetOptions() const;

    // Shows `rows` in the check list under their groups' headings, and the advice of the
    // failing ones (none while the face is still looked for).
    void showCheckRows(const std::vector<counter::CheckRow>& rows);

    // Title of the print jobs; tests make it unique to find their output.
    void setDocumentName(const QString& name) { documentName_ = name; }

  signals:
    // The framing, the marks or what the search found changed (after the window redrew).
    void framingChanged();
    // The check list, the status and the warnings show the current framing again.
    void checked();

  public slots:
    // "Open Photo...": a photo of any format phones and cameras write, chosen in the window's
    // own open dialog. One that cannot be opened is said in a message; nothing else changes.
    void onOpenPhoto();
    void onSavePhoto();
    void onSaveLabSheet();
    void onPrintSheet();
    void onSaveSheetPdf();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    QWidget* createOptions();
    QWidget* createOutputs();
    void startPreview();
    void startSearch();
    void onModelFinished();
    void onSearchFinished();
    void onAgeGroup();
    void onDetectionOff(bool off);
    void onHeadSize(int tenths);
    void onLevelEyes(bool on);
    // After every change: the preview, the slider, the check list, the warnings.
    void refresh();
    // After one step of a gesture (a drag, the wheel, the slider): the preview and the slider
    // at once; the check once the events that came with it are handled, so a drag runs it at
    // most once per frame drawn, however many moves the frame took in.
    void follow();
    void showEmpty();
    void showFraming();
    void showCheck();
    void refreshStatus();
    void refreshWarnings();
    // The check list's columns in the width it has: criterion and verdict whole, measured
    // value and limit sharing the rest, wrapped where they do not fit. True when a width
    // changed.
    bool fitCheckColumns();
    // After a save or print that worked: where the output went.
    void tellWritten(const QString& what, const QString& path);
    void offerPdf(const QString& problem);
    // `suffix` after the loaded photo's name, in its folder.
    QString defaultName(const QString& suffix) const;
    // The A4 sheet as a PDF file at `path`; says what went wrong when it could not be written.
    bool writeSheetPdf(const QString& path);
    bool writeFile(const QString& path, const std::vector<unsigned char>& bytes,
                   const std::string& encodeError);

    std::shared_ptr<const raster::Photo> photo_;
    raster::ConstPixels pixels_;  // the photo's, or none
    QString fileName_;
    QString colourNote_;
    counter::CounterFraming framing_;
    Dialogs& dialogs_;
    PrinterChoice printerChoice_;
    FaceModelSource& faces_;
    QString documentName_ = QStringLiteral("Portrik passport photo");

    std::shared_ptr<const counter::PreviewLevels> levels_;
    QFutureWatcher<std::shared_ptr<const counter::PreviewLevels>> levelsWatcher_;
    QFutureWatcher<passport::FaceSearch> searchWatcher_;
    bool searching_ = false;
    bool levelsPending_ = false;
    QThreadPool* workers_;
    // Set when the window closes: a search not yet under way never starts, one under way
    // stops at its next step, so a closed window holds no worker thread for long.
    std::shared_ptr<std::atomic<bool>> closed_ = std::make_shared<std::atomic<bool>>(false);

    QTimer* checkSoon_ = nullptr;  // single shot: the check after a gesture's steps

    std::optional<passport::Crop> printCrop_;
    QImage printPhoto_;
};
