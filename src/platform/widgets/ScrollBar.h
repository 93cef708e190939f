#pragma once

#include <QWidget>

class QScrollBar;

// A scroll bar whose maximum may lie below its minimum, as the viewport's ranges need
// (a photo 500 pixels wide scrolls from 0 down to -30): the thumb then runs from the
// minimum at the left or top to the maximum at the right or bottom, and an arrow click
// moves one step towards the arrow. `changed` is raised whenever the value changes: at once
// for arrow and track clicks and for programmatic changes, and only on release for a
// dragged thumb.
class ScrollBar : public QWidget {
    Q_OBJECT
public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }

    // Each may move the value into the new range (and so raise `changed`).
    void setMin(int min);
    void setMax(int max);
    void setValue(int value);

    // The widget the user operates; tests drive it like a user would.
    QScrollBar* bar() const { return bar_; }

signals:
    void changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void apply(int min, int max, int value);
    void onBarValue(int barValue);

    QScrollBar* bar_;
    int min_ = 0;
    int max_ = 0;
    int value_ = 0;
    // -1 while the range runs backwards: the bar then shows the negated values.
    int sign_ = 1;
};
