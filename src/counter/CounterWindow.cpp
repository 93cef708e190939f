#include "counter/CounterWindow.h"

#include <cmath>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "counter/BusyBar.h"
#include "counter/CounterView.h"
#include "counter/FaceModelSource.h"
#include "counter/PreviewLevels.h"
#include "counter/Workers.h"

namespace {

// The head-size slider in tenths of a millimetre: from a head far too small to one far too
// large for either age group.
constexpr int kHeadSizeMin = 100;
constexpr int kHeadSizeMax = 400;

const QString kFrameByHand = QStringLiteral(
    "Frame the photo by hand: drag the photo, turn the wheel (or move the Head height "
    "slider) to size it, and drag the Crown and Chin lines onto the top of the head and the "
    "bottom of the chin; then Reframe.");

QString verdictText(counter::Verdict verdict) {
    switch (verdict) {
        case counter::Verdict::Pass:
            return QStringLiteral("pass");
        case counter::Verdict::Fail:
            return QStringLiteral("FAIL");
        case counter::Verdict::CannotTell:
            return QStringLiteral("cannot tell");
    }
    return {};
}

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

void CounterWindow::createControls() {
    View = new CounterView(framing_, this);
    connect(View, &CounterView::dragged, this, [this](double dx, double dy) {
        framing_.dragBy(dx, dy);
        refresh();
    });
    connect(View, &CounterView::wheeled, this, [this](double notches, double x, double y) {
        framing_.wheel(notches, {x, y});
        refresh();
    });
    connect(View, &CounterView::crownMoved, this, [this](double y) {
        framing_.moveCrown(y);
        refresh();
    });
    connect(View, &CounterView::chinMoved, this, [this](double y) {
        framing_.moveChin(y);
        refresh();
    });
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(View);

    auto* top = new QHBoxLayout;
    top->addWidget(frame, 0, Qt::AlignTop);
    top->addWidget(createOptions(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(createOutputs());
}

QWidget* CounterWindow::createOptions() {
    auto* panel = new QWidget(this);
    panel->setFixedWidth(410);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* age = new QGroupBox(QStringLiteral("Age group"), panel);
    auto* ageLayout = new QHBoxLayout(age);
    From11 = new QRadioButton(QStringLiteral("From 11 years"), age);
    UpTo10 = new QRadioButton(QStringLiteral("Up to 10 years"), age);
    ageLayout->addWidget(From11);
    ageLayout->addWidget(UpTo10);
    auto* ages = new QButtonGroup(age);
    ages->addButton(From11);
    ages->addButton(UpTo10);
    connect(From11, &QRadioButton::toggled, this, [this](bool on) {
        if (on) onAgeGroup();
    });
    connect(UpTo10, &QRadioButton::toggled, this, [this](bool on) {
        if (on) onAgeGroup();
    });
    layout->addWidget(age);

    DetectionOff =
        new QCheckBox(QStringLiteral("Detection off: I place the crown and chin"), panel);
    connect(DetectionOff, &QCheckBox::toggled, this, &CounterWindow::onDetectionOff);
    layout->addWidget(DetectionOff);

    auto* size = new QHBoxLayout;
    size->addWidget(new QLabel(QStringLiteral("Head height"), panel));
    HeadSize = new QSlider(Qt::Horizontal, panel);
    HeadSize->setRange(kHeadSizeMin, kHeadSizeMax);
    HeadSize->setAccessibleName(QStringLiteral("Head height"));
    connect(HeadSize, &QSlider::valueChanged, this, &CounterWindow::onHeadSize);
    size->addWidget(HeadSize, 1);
    HeadSizeLabel = new QLabel(QStringLiteral("00.0 mm"), panel);
    HeadSizeLabel->setMinimumWidth(HeadSizeLabel->sizeHint().width());
    size->addWidget(HeadSizeLabel);
    Reframe = new QPushButton(QStringLiteral("Reframe"), panel);
    Reframe->setToolTip(QStringLiteral(" Frame the photo anew by the crown and chin "));
    connect(Reframe, &QPushButton::clicked, this, [this] {
        framing_.reframe();
        refresh();
    });
    size->addWidget(Reframe);
    layout->addLayout(size);

    StatusLabel = new QLabel(panel);
    StatusLabel->setWordWrap(true);
    StatusLabel->setMinimumHeight(3 * StatusLabel->fontMetrics().lineSpacing());
    StatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(StatusLabel);
    Busy = new BusyBar(panel);
    layout->addWidget(Busy);

    CheckList = new QTreeWidget(panel);
    CheckList->setColumnCount(4);
    CheckList->setHeaderLabels({QStringLiteral("Criterion"), QStringLiteral("Measured"),
                                QStringLiteral("Limit"), QStringLiteral("Verdict")});
    CheckList->setRootIsDecorated(false);
    CheckList->setSelectionMode(QAbstractItemView::NoSelection);
    CheckList->setFocusPolicy(Qt::NoFocus);
    CheckList->header()->setStretchLastSection(false);
    CheckList->setAccessibleName(QStringLiteral("Checks"));
    layout->addWidget(CheckList, 1);

    WarningLabel = new QLabel(panel);
    WarningLabel->setWordWrap(true);
    WarningLabel->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0)"));
    layout->addWidget(WarningLabel);
    FinalWordLabel = new QLabel(
        QStringLiteral("The counter has the final word: these measures help you check the "
                       "photo, but the official at the counter decides whether it is accepted."),
        panel);
    FinalWordLabel->setWordWrap(true);
    layout->addWidget(FinalWordLabel);
    return panel;
}

QWidget* CounterWindow::createOutputs() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    SavePhoto = new QPushButton(QStringLiteral("Save Photo..."), bar);
    SavePhoto->setToolTip(QStringLiteral(" The photo as a 35 x 45 mm JPEG at 600 dpi "));
    SaveLabSheet = new QPushButton(QStringLiteral("Save Lab Sheet..."), bar);
    SaveLabSheet->setToolTip(
        QStringLiteral(" A 10 x 15 cm photo print with eight photos, for a photo lab "));
    connect(SavePhoto, &QPushButton::clicked, this, &CounterWindow::onSavePhoto);
    connect(SaveLabSheet, &QPushButton::clicked, this, &CounterWindow::onSaveLabSheet);
    layout->addWidget(SavePhoto);
    layout->addWidget(SaveLabSheet);

    auto* sheet = new QGroupBox(QStringLiteral("A4 sheet"), bar);
    auto* sheetLayout = new QHBoxLayout(sheet);
    sheetLayout->addWidget(new QLabel(QStringLiteral("Rows of 5"), sheet));
    SheetRows = new QSpinBox(sheet);
    SheetRows->setRange(1, 5);
    SheetRows->setAccessibleName(QStringLiteral("Rows of 5"));
    sheetLayout->addWidget(SheetRows);
    CutLines = new QCheckBox(QStringLiteral("Cut lines"), sheet);
    sheetLayout->addWidget(CutLines);
    sheetLayout->addStretch();
    PrintSheet = new QPushButton(QStringLiteral("Print Sheet"), sheet);
    SaveSheetPdf = new QPushButton(QStringLiteral("Save Sheet as PDF..."), sheet);
    connect(PrintSheet, &QPushButton::clicked, this, &CounterWindow::onPrintSheet);
    connect(SaveSheetPdf, &QPushButton::clicked, this, &CounterWindow::onSaveSheetPdf);
    sheetLayout->addWidget(PrintSheet);
    sheetLayout->addWidget(SaveSheetPdf);
    layout->addWidget(sheet, 1);

    CloseButton = new QPushButton(QStringLiteral("Close"), bar);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(CloseButton, 0, Qt::AlignBottom);
    return bar;
}

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
        item->setText(1, QString::fromStdString(row.measured));
        item->setText(2, QString::fromStdString(row.limit));
        item->setText(3, verdictText(row.verdict));
        item->setForeground(3, verdictColour(row.verdict));
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
