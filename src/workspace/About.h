#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the program's pictures, one sentence on what it is for, and "Ok". It is
// shown modally and exists only while it is open.
class About : public QDialog {
    Q_OBJECT
  public:
    explicit About(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;  // a miniature passport photo
    QLabel* Image2 = nullptr;  // the banner with the program's name
    QLabel* Label4 = nullptr;  // what the program is for
    QLabel* Label1 = nullptr;  // thin frame around OkKnop
    QPushButton* OkKnop = nullptr;
};
