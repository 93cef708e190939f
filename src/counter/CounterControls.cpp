// The counter-photo window's controls and their layout.
#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "counter/BusyBar.h"
#include "counter/CounterView.h"
#include "counter/CounterWindow.h"

namespace {

// The head-size slider in tenths of a millimetre: from a head far too small to one far too
// large for either age group.
constexpr int kHeadSizeMin = 100;
constexpr int kHeadSizeMax = 400;

constexpr int kOptionsMinWidth = 400;

// A tree view asks its items for their size without the column's width, so text it wraps
// would be cut to one line: this delegate answers with the height the text takes, wrapped in
// its column as the view draws it.
class WrappedInColumn : public QStyledItemDelegate {
  public:
    explicit WrappedInColumn(QTreeView* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem inColumn(option);
        int width = view_->columnWidth(index.column());
        // The rows under a heading stand indented in the first column.
        if (index.column() == 0 && index.parent().isValid()) width -= view_->indentation();
        inColumn.rect = QRect(0, 0, std::max(width, 1), 1);
        return QStyledItemDelegate::sizeHint(inColumn, index);
    }

  private:
    QTreeView* view_;
};

}  // namespace

void CounterWindow::createControls() {
    checkSoon_ = new QTimer(this);
    checkSoon_->setSingleShot(true);
    checkSoon_->setInterval(0);
    connect(checkSoon_, &QTimer::timeout, this, &CounterWindow::showCheck);
    View = new CounterView(framing_, this);
    connect(View, &CounterView::dragged, this, [this](double dx, double dy) {
        framing_.dragBy(dx, dy);
        follow();
    });
    connect(View, &CounterView::wheeled, this, [this](double notches, double x, double y) {
        framing_.wheel(notches, {x, y});
        follow();
    });
    connect(View, &CounterView::crownMoved, this, [this](double y) {
        framing_.moveCrown(y);
        follow();
    });
    connect(View, &CounterView::chinMoved, this, [this](double y) {
        framing_.moveChin(y);
        follow();
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
    layout->addLayout(top, 1);
    layout->addWidget(createOutputs());
}

QWidget* CounterWindow::createOptions() {
    auto* panel = new QWidget(this);
    // Room for the options in one line each; the check list takes whatever the window adds.
    panel->setMinimumWidth(kOptionsMinWidth);
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

    auto* framingChoices = new QHBoxLayout;
    DetectionOff =
        new QCheckBox(QStringLiteral("Detection off: I place the crown and chin"), panel);
    connect(DetectionOff, &QCheckBox::toggled, this, &CounterWindow::onDetectionOff);
    framingChoices->addWidget(DetectionOff);
    LevelEyes = new QCheckBox(QStringLiteral("Level the eyes"), panel);
    LevelEyes->setToolTip(
        QStringLiteral(" Turn the frame so that the eyes lie level (tilts up to 10 degrees) "));
    LevelEyes->setChecked(framing_.levelling() == passport::Levelling::On);
    connect(LevelEyes, &QCheckBox::toggled, this, &CounterWindow::onLevelEyes);
    framingChoices->addWidget(LevelEyes);
    framingChoices->addStretch();
    layout->addLayout(framingChoices);

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
    // The verdict stands next to the criterion so that it is seen without scrolling sideways;
    // measured value and limit follow.
    CheckList->setHeaderLabels({QStringLiteral("Criterion"), QStringLiteral("Verdict"),
                                QStringLiteral("Measured"), QStringLiteral("Limit")});
    // The criteria under their groups' headings, always open: there is nothing to hide.
    CheckList->setRootIsDecorated(false);
    CheckList->setItemsExpandable(false);
    CheckList->setIndentation(CheckList->fontMetrics().averageCharWidth() * 2);
    CheckList->setSelectionMode(QAbstractItemView::NoSelection);
    CheckList->setFocusPolicy(Qt::NoFocus);
    // Measured values and limits too long for their column wrap onto more lines rather than
    // hide behind a sideways scroll bar; the columns follow the list's width.
    CheckList->setWordWrap(true);
    CheckList->setUniformRowHeights(false);
    CheckList->setItemDelegate(new WrappedInColumn(CheckList));
    CheckList->header()->setStretchLastSection(false);
    CheckList->viewport()->installEventFilter(this);
    CheckList->setAccessibleName(QStringLiteral("Checks"));
    layout->addWidget(CheckList, 1);

    AdviceLabel = new QLabel(panel);
    AdviceLabel->setWordWrap(true);
    AdviceLabel->setAccessibleName(QStringLiteral("Advice"));
    AdviceLabel->hide();
    layout->addWidget(AdviceLabel);

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
    OpenPhoto = new QPushButton(QStringLiteral("Open Photo..."), bar);
    OpenPhoto->setToolTip(
        QStringLiteral(" A photo from a phone or camera: JPEG, HEIC, PNG, WebP, TIFF, BMP or GIF "));
    connect(OpenPhoto, &QPushButton::clicked, this, &CounterWindow::onOpenPhoto);
    layout->addWidget(OpenPhoto);
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
