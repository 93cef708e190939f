#include "counter/BusyBar.h"

#include <QPainter>

namespace {
constexpr int kSteps = 50;  // a block's journey across and back, in frames
constexpr int kFrameMs = 40;
}  // namespace

BusyBar::BusyBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(sizeHint().height());
    setAccessibleName(QStringLiteral("Busy"));
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % (2 * kSteps);
        update();
    });
}

void BusyBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(224, 224, 224));
    const int block = width() / 4;
    const int travel = width() - block;
    const int at = step_ < kSteps ? step_ : 2 * kSteps - step_;
    painter.fillRect(QRect(travel * at / kSteps, 0, block, height()), QColor(64, 96, 192));
}

void BusyBar::showEvent(QShowEvent*) {
    timer_.start();
}

void BusyBar::hideEvent(QHideEvent*) {
    timer_.stop();
}
