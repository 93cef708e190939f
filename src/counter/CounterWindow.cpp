#include "counter/CounterWindow.h"

#include <cmath>

#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include "counter/BusyBar.h"
#include "counter/CounterView.h"
#include "counter/FaceModelSource.h"
#include "counter/PreviewLevels.h"
#include "counter/Workers.h"

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

}  // namespace

CounterWindow::CounterWindow(CounterPhoto photo, passport::AgeGroup ageGroup, Dialogs& dialogs,
                             const PrinterChoice& printerChoice, FaceModelSource& faces,
                             QWidget* parent)
    : QDialog(parent),
      photo_(std::move(photo)),
      framing_(photo_.pixels.width, photo_.pixels.height, ageGroup),
      dialogs_(dialogs),
      printerChoice_(printerChoice),
      faces_(faces) {
    setWindowTitle(QStringLiteral(" Passport Photo 2020"));
    createControls();
    {
        // The start of the choice, not a change of it.
        const QSignalBlocker from11(From11), upTo10(UpTo10);
        From11->setChecked(ageGroup == passport::AgeGroup::From11);
        UpTo10->setChecked(ageGroup == passport::AgeGroup::UpTo10);
    }
    connect(&levelsWatcher_, &QFutureWatcherBase::finished, this, [this] {
        levels_ = levelsWatcher_.result();
        refresh();
    });
    connect(&searchWatcher_, &QFutureWatcherBase::finished, this, &CounterWindow::onSearchFinished);
    startPreview();
    if (faces_.state() == FaceModelSource::State::Ready) {
        startSearch();
    } else {
        connect(&faces_, &FaceModelSource::finished, this, &CounterWindow::onModelFinished);
        framing_.searchStarted();
        faces_.start();
    }
    refresh();
    setFixedSize(sizeHint());
}

CounterWindow::~CounterWindow() = default;

bool CounterWindow::settled() const {
    return levels_ && framing_.finding() != counter::Finding::Waiting;
}

void CounterWindow::startPreview() {
    // The halved copies are made on a worker; the screen shows the photo once they are there.
    if (photo_.isNull()) return;
    levelsWatcher_.setFuture(
        QtConcurrent::run(counterWorkers(), [pixels = photo_.pixels, keepAlive = photo_.keepAlive] {
            (void)keepAlive;
            return counter::PreviewLevels::build(pixels);
        }));
}

void CounterWindow::startSearch() {
    framing_.searchStarted();
    const std::shared_ptr<const passport::FaceModel> model = faces_.model();
    if (!model || photo_.isNull()) {
        framing_.takeSearch({});
        return;
    }
    searching_ = true;
    // The worker holds the model and the photo's pixels itself, for as long as it runs.
    searchWatcher_.setFuture(QtConcurrent::run(
        counterWorkers(), [model, pixels = photo_.pixels, keepAlive = photo_.keepAlive] {
            (void)keepAlive;
            return model->find(pixels);
        }));
}

void CounterWindow::onModelFinished() {
    disconnect(&faces_, &FaceModelSource::finished, this, &CounterWindow::onModelFinished);
    if (faces_.state() == FaceModelSource::State::Ready) {
        startSearch();
    } else {
        framing_.modelMissing();
    }
    refresh();
}

void CounterWindow::onSearchFinished() {
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
    refresh();
}

void CounterWindow::refresh() {
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
    showCheckRows(counter::checkRows({photo_.pixels, framing_}));
    refreshStatus();
    refreshWarnings();
    emit framingChanged();
}

void CounterWindow::showCheckRows(const std::vector<counter::CheckRow>& rows) {
    while (CheckList->topLevelItemCount() > static_cast<int>(rows.size())) {
        delete CheckList->takeTopLevelItem(CheckList->topLevelItemCount() - 1);
    }
    while (CheckList->topLevelItemCount() < static_cast<int>(rows.size())) {
        CheckList->addTopLevelItem(new QTreeWidgetItem);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = CheckList->topLevelItem(static_cast<int>(i));
        const counter::CheckRow& row = rows[i];
        item->setText(0, QString::fromStdString(row.criterion));
        item->setText(1, QString::fromStdString(passport::verdictText(row.verdict)));
        item->setForeground(1, verdictColour(row.verdict));
        item->setText(2, QString::fromStdString(row.measured));
        item->setText(3, QString::fromStdString(row.limit));
        for (int column = 0; column < 4; ++column) item->setToolTip(column, item->text(column));
    }
    for (int column = 0; column < 4; ++column) CheckList->resizeColumnToContents(column);
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
    StatusLabel->setText(text);
}

void CounterWindow::refreshWarnings() {
    const passport::Crop& crop = framing_.crop();
    QStringList warnings;
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
