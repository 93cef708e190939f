#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A picture used as a button: it shows the picture at its own size and nothing else (no
// face, no frame), and a click on it raises clicked(). A missing picture shows nothing, and
// the button still answers clicks.
class PictureButton : public QAbstractButton {
    Q_OBJECT
  public:
    PictureButton(const QString& picture, QSize size, QWidget* parent = nullptr);

    QSize sizeHint() const override { return size(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};
