#include "workspace/Algemeen.h"

#include <QLabel>

namespace Algemeen {

void ShowInfo(QLabel* infoLabel, const QString& text) {
    infoLabel->setText(text);
    infoLabel->adjustSize();
}

}  // namespace Algemeen
