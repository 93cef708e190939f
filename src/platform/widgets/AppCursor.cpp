#include "platform/widgets/AppCursor.h"

#include <QApplication>
#include <QCursor>

namespace AppCursor {

namespace {
Shape shape = Shape::Arrow;
}

void setBusy() {
    if (shape == Shape::Busy) return;
    shape = Shape::Busy;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void setArrow() {
    if (shape == Shape::Arrow) return;
    shape = Shape::Arrow;
    QApplication::restoreOverrideCursor();
}

Shape current() { return shape; }

}  // namespace AppCursor
