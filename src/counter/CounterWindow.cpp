#include "counter/CounterWindow.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include "counter/BusyBar.h"
#include "counter/CounterView.h"
#include "counter/FaceModelSource.h"
#include "counter/PreviewLevels.h"
#include "counter/Workers.h"
#include "platform/files/AnyPhoto.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/Dialogs.h"

namespace {

const QString kFrameByHand = QStringLiteral(
    "Frame the photo by hand: drag the photo, turn the wheel (or move the Head height "
    "slider) to size it, and drag the Crown and Chin lines onto the top of the head and the "
    "bottom of the chin; then Reframe.");

QColor verdictColour(counter::Verdict verdict) {
    switch (verdict) {
        case counter::Verdict::Pass:
            return QColor(0, 128, 0);
        case counter::Verdict::Fail:
            return QColor(192, 0, 0);
        case counter::Verdict::CannotTell:
            return QColor(96, 96, 96);
    }
    return {};
}

// The columns of the check list.
enum Column { kCriterion, kVerdict, kMeasured, kLimit, kColumnCount };

// The groups in the order the list shows them.
constexpr passport::CriterionGroup kGroups[] = {passport::CriterionGroup::Photo,
                                                passport::CriterionGroup::Person};

// The window opens this large when the screen allows (the list then shows most rows), and
// can be made as small as its controls allow.
constexpr QSize kStartSize(1000, 720);

}  // namespace

CounterWindow::CounterWindow(std::shared_ptr<const raster::Photo> photo, const QString& fileName,
                             passport::AgeGroup ageGroup, Dialogs& dialogs,
                             const PrinterChoice& printerChoice, FaceModelSource& faces,
                             QWidget* parent, QThreadPool* workers)
    : QDialog(parent),
      framing_(1, 1, ageGroup),
      dialogs_(dialogs),
      printerChoice_(printerChoice),
      faces_(faces),
      workers_(workers ? workers : counterWorkers()) {
    setWindowTitle(QStringLiteral(" Passport Photo 2020"));
    createControls();
    {
        // The start of the choice, not a change of it.
        const QSignalBlocker from11(From11), upTo10(UpTo10);
        From11->setChecked(ageGroup == passport::AgeGroup::From11);
        UpTo10->setChecked(ageGroup == passport::AgeGroup::UpTo10);
    }
    connect(&levelsWatcher_, &QFutureWatcherBase::finished, this, [this] {
        // A photo opened meanwhile without halved copies of its own leaves these unwanted.
        if (!levelsPending_) return;
        levelsPending_ = false;
        levels_ = levelsWatcher_.result();
        refresh();
    });
    connect(&searchWatcher_, &QFutureWatcherBase::finished, this, &CounterWindow::onSearchFinished);
    openPhoto(std::move(photo), fileName);
    resize(sizeHint().expandedTo(kStartSize));
}

void CounterWindow::openPhoto(std::shared_ptr<const raster::Photo> photo, const QString& fileName,
                              const QString& colourNote) {
    // The last photo's search stops at its next step; its outcome and its halved copies are
    // no longer wanted.
    closed_->store(true);
    closed_ = std::make_shared<std::atomic<bool>>(false);
    searching_ = false;
    levelsPending_ = false;
    photo_ = std::move(photo);
    pixels_ = photo_ ? photo_->pixels() : raster::ConstPixels{};
    fileName_ = fileName;
    colourNote_ = colourNote;
    // The user's choices stay: age group, levelling, detection.
    const passport::Levelling levelling = framing_.levelling();
    const bool detectionOff = framing_.detectionOff();
    framing_ = counter::CounterFraming(std::max(1, pixels_.width), std::max(1, pixels_.height),
                                       framing_.ageGroup());
    framing_.setLevelling(levelling);
    if (detectionOff) framing_.setDetectionOff(true);
    levels_.reset();
    printCrop_.reset();
    printPhoto_ = QImage();
    View->setPreview(QImage());
    for (QWidget* needsPhoto : std::initializer_list<QWidget*>{
             View, HeadSize, Reframe, SavePhoto, SaveLabSheet, PrintSheet, SaveSheetPdf}) {
        needsPhoto->setEnabled(hasPhoto());
    }
    if (!hasPhoto()) {
        showEmpty();
        return;
    }
    startPreview();
    if (faces_.state() == FaceModelSource::State::Ready) {
        startSearch();
    } else {
        connect(&faces_, &FaceModelSource::finished, this, &CounterWindow::onModelFinished,
                Qt::UniqueConnection);
        framing_.searchStarted();
        faces_.start();
    }
    refresh();
}

void CounterWindow::onOpenPhoto() {
    QStringList patterns;
    for (const char* pattern : kAnyPhotoPatterns) patterns << QString::fromLatin1(pattern);
    const QString path = dialogs_.openFile(
        {QStringLiteral("Photo ( Jpg, Heic, Png, WebP, Tif, Bmp, Gif )"), patterns});
    if (path.isEmpty()) return;
    OpenedPhoto opened;
    {
        AppCursor::BusyScope busy;
        opened = openAnyPhoto(path);
    }
    if (!opened.photo) {
        dialogs_.message(QStringLiteral("\"%1\" %2.").arg(QFileInfo(path).fileName(), opened.reason));
        return;
    }
    openPhoto(std::move(opened.photo), path,
              opened.colour == QLatin1String("sRGB") ? QString() : opened.colour);
}

bool CounterWindow::hasPhoto() const {
    return pixels_.pixels && pixels_.width > 0 && pixels_.height > 0;
}

void CounterWindow::showEmpty() {
    checkSoon_->stop();
    CheckList->clear();
    AdviceLabel->hide();
    WarningLabel->clear();
    WarningLabel->hide();
    Busy->hide();
    HeadSizeLabel->setText(QString());
    StatusLabel->setText(QStringLiteral("No photo yet: Open Photo... opens one (JPEG, HEIC, PNG, "
                                        "WebP, TIFF, BMP or GIF)."));
    emit framingChanged();
}

CounterWindow::~CounterWindow() {
    closed_->store(true);
}

bool CounterWindow::settled() const {
    return levels_ && framing_.finding() != counter::Finding::Waiting && !checkSoon_->isActive();
}

void CounterWindow::startPreview() {
    // The halved copies are made on a worker; the screen shows the photo once they are there.
    if (!hasPhoto()) return;
    levelsPending_ = true;
    levelsWatcher_.setFuture(QtConcurrent::run(workers_, [pixels = pixels_, keepAlive = photo_] {
        return counter::PreviewLevels::build(pixels, keepAlive);
    }));
}

void CounterWindow::startSearch() {
    framing_.searchStarted();
    const std::shared_ptr<const passport::FaceModel> model = faces_.model();
    if (!model || !hasPhoto()) {
        framing_.takeSearch({});
        return;
    }
    searching_ = true;
    // The worker holds the model and the photo's pixels itself, for as long as it runs.
    searchWatcher_.setFuture(QtConcurrent::run(
        workers_, [model, pixels = pixels_, keepAlive = photo_, closed = closed_] {
            (void)keepAlive;
            return model->find(pixels, closed.get());
        }));
}

void CounterWindow::onModelFinished() {
    disconnect(&faces_, &FaceModelSource::finished, this, &CounterWindow::onModelFinished);
    if (!hasPhoto()) return;  // the search starts with the photo
    if (faces_.state() == FaceModelSource::State::Ready) {
        startSearch();
    } else {
        framing_.modelMissing();
    }
    refresh();
}

void CounterWindow::onSearchFinished() {
    if (!searching_) return;  // the search of a photo no longer shown
    searching_ = false;
    framing_.takeSearch(searchWatcher_.result());
    refresh();
}

void CounterWindow::onAgeGroup() {
    framing_.setAgeGroup(From11->isChecked() ? passport::AgeGroup::From11
                                             : passport::AgeGroup::UpTo10);
    refresh();
}

void CounterWindow::onDetectionOff(bool off) {
    framing_.setDetectionOff(off);
    refresh();
}

void CounterWindow::onHeadSize(int tenths) {
    framing_.setHeadHeightMm(tenths / 10.0);
    follow();
}

void CounterWindow::onLevelEyes(bool on) {
    framing_.setLevelling(on ? passport::Levelling::On : passport::Levelling::Off);
    refresh();
}

bool CounterWindow::eventFilter(QObject* watched, QEvent* event) {
    // The rows' heights follow the columns' widths, which follow the list's.
    if (watched == CheckList->viewport() && event->type() == QEvent::Resize && fitCheckColumns()) {
        CheckList->doItemsLayout();
    }
    return QDialog::eventFilter(watched, event);
}

void CounterWindow::refresh() {
    if (!hasPhoto()) return;
    checkSoon_->stop();
    showFraming();
    showCheck();
    emit framingChanged();
}

void CounterWindow::follow() {
    if (!hasPhoto()) return;
    showFraming();
    if (!checkSoon_->isActive()) checkSoon_->start();
    emit framingChanged();
}

void CounterWindow::showFraming() {
    if (levels_) {
        QImage preview(counter::kViewWidth, counter::kViewHeight, QImage::Format_RGB32);
        levels_->render(framing_.crop(),
                        {reinterpret_cast<std::uint32_t*>(preview.bits()), preview.width(),
                         preview.height(), static_cast<int>(preview.bytesPerLine() / 4)});
        View->setPreview(std::move(preview));
    }
    View->update();
    const passport::Measures m = passport::measure(framing_.marks(), framing_.crop());
    {
        const QSignalBlocker block(HeadSize);
        HeadSize->setValue(static_cast<int>(std::lround(m.headHeightMm * 10)));
    }
    HeadSizeLabel->setText(QStringLiteral("%1 mm").arg(m.headHeightMm, 0, 'f', 1));
}

void CounterWindow::showCheck() {
    showCheckRows(counter::checkRows({pixels_, framing_, !searching_}));
    refreshStatus();
    refreshWarnings();
    emit checked();
}

void CounterWindow::showCheckRows(const std::vector<counter::CheckRow>& rows) {
    // While the face is looked for, what fails may be only the start of the framing: no
    // advice until the search has come to an outcome.
    const bool settledFraming = framing_.finding() != counter::Finding::Waiting;
    if (CheckList->topLevelItemCount() != static_cast<int>(std::size(kGroups))) {
        CheckList->clear();
        for (const passport::CriterionGroup group : kGroups) {
            auto* heading = new QTreeWidgetItem(
                CheckList, {QString::fromStdString(passport::groupName(group))});
            QFont bold = CheckList->font();
            bold.setBold(true);
            heading->setFont(kCriterion, bold);
            heading->setFlags(Qt::ItemIsEnabled);
            heading->setFirstColumnSpanned(true);
        }
    }
    QStringList advice;
    for (std::size_t g = 0; g < std::size(kGroups); ++g) {
        QTreeWidgetItem* heading = CheckList->topLevelItem(static_cast<int>(g));
        std::vector<const counter::CheckRow*> members;
        for (const counter::CheckRow& row : rows) {
            if (row.group == kGroups[g]) members.push_back(&row);
        }
        while (heading->childCount() > static_cast<int>(members.size())) {
            delete heading->takeChild(heading->childCount() - 1);
        }
        while (heading->childCount() < static_cast<int>(members.size())) {
            heading->addChild(new QTreeWidgetItem);
        }
        heading->setHidden(members.empty());
        heading->setExpanded(true);
        for (std::size_t i = 0; i < members.size(); ++i) {
            QTreeWidgetItem* item = heading->child(static_cast<int>(i));
            const counter::CheckRow& row = *members[i];
            item->setText(kCriterion, QString::fromStdString(row.criterion));
            item->setText(kVerdict, QString::fromStdString(passport::verdictText(row.verdict)));
            item->setForeground(kVerdict, verdictColour(row.verdict));
            item->setText(kMeasured, QString::fromStdString(row.measured));
            item->setText(kLimit, QString::fromStdString(row.limit));
            const bool advise =
                settledFraming && row.verdict == counter::Verdict::Fail && !row.advice.empty();
            const QString rowAdvice = QString::fromStdString(row.advice);
            for (int column = 0; column < kColumnCount; ++column) {
                item->setToolTip(column, advise ? rowAdvice : item->text(column));
            }
            if (advise) advice << item->text(kCriterion) + QStringLiteral(": ") + rowAdvice;
        }
    }
    AdviceLabel->setText(advice.join(QLatin1Char('\n')));
    AdviceLabel->setVisible(!advice.isEmpty());
    fitCheckColumns();
    // The rows' heights follow their texts, wrapped in the columns' widths.
    CheckList->doItemsLayout();
}

bool CounterWindow::fitCheckColumns() {
    QHeaderView* header = CheckList->header();
    const QScrollBar* vertical = CheckList->verticalScrollBar();
    // Room for the vertical scroll bar is kept whether it shows or not, so that its coming and
    // going does not change the columns (and with them the rows' heights, and the bar).
    const int extent =
        CheckList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vertical);
    const int available =
        CheckList->viewport()->width() - (vertical->isVisibleTo(CheckList) ? 0 : extent);
    const int margin =
        CheckList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, CheckList) + 1;
    // Each column's text on one line: the widest one's width with the cell's margins (and in
    // the first column the rows' indentation), or the header's when that is wider.
    int whole[kColumnCount];
    int longestWord[kColumnCount] = {};
    for (int column = 0; column < kColumnCount; ++column) {
        whole[column] = header->sectionSizeHint(column);
    }
    const QFontMetrics metrics(CheckList->font());
    for (int g = 0; g < CheckList->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* heading = CheckList->topLevelItem(g);
        for (int i = 0; i < heading->childCount(); ++i) {
            for (int column = 0; column < kColumnCount; ++column) {
                const QString text = heading->child(i)->text(column);
                const int indent = column == kCriterion ? CheckList->indentation() : 0;
                whole[column] = std::max(whole[column],
                                         metrics.horizontalAdvance(text) + 2 * margin + indent + 1);
                for (const QString& word : text.split(QLatin1Char(' '))) {
                    longestWord[column] = std::max(
                        longestWord[column], metrics.horizontalAdvance(word) + 2 * margin + 1);
                }
            }
        }
    }
    int widths[kColumnCount] = {whole[kCriterion], whole[kVerdict], whole[kMeasured],
                                whole[kLimit]};
    const int rest = available - widths[kCriterion] - widths[kVerdict];
    if (whole[kMeasured] + whole[kLimit] > rest) {
        // Too narrow for both on one line: each gets half, or what it needs when that is
        // less, and wraps within it (never narrower than its longest word).
        const int half = rest / 2;
        if (whole[kMeasured] <= half) {
            widths[kLimit] = rest - whole[kMeasured];
        } else if (whole[kLimit] <= half) {
            widths[kMeasured] = rest - whole[kLimit];
        } else {
            widths[kMeasured] = half;
            widths[kLimit] = rest - half;
        }
        widths[kMeasured] = std::max(widths[kMeasured], longestWord[kMeasured]);
        widths[kLimit] = std::max(widths[kLimit], longestWord[kLimit]);
    } else {
        // The limit reaches the right edge.
        widths[kLimit] = rest - widths[kMeasured];
    }
    bool changed = false;
    for (int column = 0; column < kColumnCount; ++column) {
        if (header->sectionSize(column) == widths[column]) continue;
        header->resizeSection(column, widths[column]);
        changed = true;
    }
    return changed;
}

void CounterWindow::refreshStatus() {
    const bool busy = !levels_ || framing_.finding() == counter::Finding::Waiting;
    Busy->setVisible(busy);
    QString text;
    switch (framing_.finding()) {
        case counter::Finding::Waiting:
            text = searching_ ? QStringLiteral("Looking for the face...")
                              : QStringLiteral("Loading the face model...");
            break;
        case counter::Finding::OneFace:
            text = framing_.marks().crownSource == passport::CrownSource::Proportions
                       ? QStringLiteral(
                             "Face found. No clear edge above the head: the crown "
                             "was estimated from the face. Check the Crown line.")
                       : QStringLiteral(
                             "Face found and framed. Check that the Crown and Chin "
                             "lines lie on the top of the head and the chin.");
            break;
        case counter::Finding::NoFace:
            text = QStringLiteral("No face found in this photo. ") + kFrameByHand;
            break;
        case counter::Finding::SeveralFaces:
            text = QStringLiteral("%1 faces found: a passport photo shows one person only. ")
                       .arg(framing_.faceCount()) +
                   kFrameByHand;
            break;
        case counter::Finding::ModelMissing:
            text = faces_.problem() + QStringLiteral("\n") + kFrameByHand;
            break;
    }
    if (framing_.detectionOff() && framing_.finding() != counter::Finding::ModelMissing) {
        text = QStringLiteral("Detection off. ") + kFrameByHand;
    }
    const QString levelling = QString::fromStdString(framing_.levellingNote());
    if (framing_.finding() != counter::Finding::Waiting && !levelling.isEmpty()) {
        text += QStringLiteral("\n") + levelling;
    }
    if (!colourNote_.isEmpty()) text += QStringLiteral("\nColours: ") + colourNote_ + QLatin1Char('.');
    StatusLabel->setText(text);
}

void CounterWindow::refreshWarnings() {
    const passport::Crop& crop = framing_.crop();
    QStringList warnings;
    // The start of the framing is no outcome: nothing is said about it until the face is
    // framed (or known to be missing).
    if (framing_.finding() == counter::Finding::Waiting) {
        WarningLabel->clear();
        WarningLabel->hide();
        return;
    }
    if (passport::belowMinimumDpi(crop)) {
        warnings << QStringLiteral(
                        "Only %1 dpi: the counter asks for at least 400 dpi. Use a "
                        "photo with more pixels, or taken from nearer.")
                        .arg(std::lround(passport::sourceDpi(crop)));
    }
    if (passport::overhangOf(crop, framing_.photoWidth(), framing_.photoHeight()).any()) {
        warnings << QStringLiteral(
            "The frame reaches beyond the photo: white is filled in "
            "(hatched), and the photo is not whole.");
    }
    WarningLabel->setText(warnings.join(QLatin1Char('\n')));
    WarningLabel->setVisible(!warnings.isEmpty());
}
