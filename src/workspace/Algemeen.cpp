#include "workspace/Algemeen.h"

#include <QLabel>
#include <QPointer>

#include "platform/widgets/EventPump.h"

namespace Algemeen {

namespace {
QPointer<QLabel> infoLabel;
}

void attachInfoLabel(QLabel* label) { infoLabel = label; }

void ShowInfo(const QString& text) {
    if (!infoLabel) return;
    infoLabel->setText(text);
    infoLabel->adjustSize();
}

void PauseSeconds(float seconds) { pauseSeconds(seconds); }

}  // namespace Algemeen
