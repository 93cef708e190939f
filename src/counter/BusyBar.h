#pragma once

#include <QTimer>
#include <QWidget>

// A thin bar with a block going to and fro while the window waits for its workers; running
// only while shown. Painted with plain rectangles: the progress bar's striped busy look is
// drawn as many lines, which Qt's painter hands to its global thread pool and waits for, so
// on a busy processor every frame of it could hold up the window.
class BusyBar : public QWidget {
    Q_OBJECT
  public:
    explicit BusyBar(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {200, 8}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QTimer timer_;
    int step_ = 0;
};
