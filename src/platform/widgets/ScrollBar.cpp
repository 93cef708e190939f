#include "platform/widgets/ScrollBar.h"

#include <algorithm>

#include <QScrollBar>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), bar_(new QScrollBar(orientation, this)) {
    bar_->setTracking(false);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    bar_->setRange(0, 0);
    connect(bar_, &QScrollBar::valueChanged, this, &ScrollBar::onBarValue);
}

void ScrollBar::setMin(int min) { apply(min, max_, value_); }
void ScrollBar::setMax(int max) { apply(min_, max, value_); }
void ScrollBar::setValue(int value) { apply(min_, max_, value); }

void ScrollBar::apply(int min, int max, int value) {
    const int lo = std::min(min, max);
    const int hi = std::max(min, max);
    const int newValue = std::clamp(value, lo, hi);
    const bool valueChanged = newValue != value_;
    min_ = min;
    max_ = max;
    value_ = newValue;
    sign_ = max < min ? -1 : 1;
    {
        const QSignalBlocker blocker(bar_);
        bar_->setRange(std::min(sign_ * min, sign_ * max), std::max(sign_ * min, sign_ * max));
        bar_->setValue(sign_ * value_);
        bar_->setSliderPosition(sign_ * value_);
    }
    if (valueChanged) emit changed();
}

void ScrollBar::onBarValue(int barValue) {
    const int value = sign_ * barValue;
    if (value == value_) return;
    value_ = value;
    emit changed();
}

void ScrollBar::resizeEvent(QResizeEvent*) { bar_->setGeometry(rect()); }
