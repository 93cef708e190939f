#include "workspace/Startup.h"

#include <QApplication>
#include <QStyleFactory>

#include "platform/widgets/Fonts.h"

void prepareApplication() {
    // One look on every desktop, so the fixed layout's colours and borders are the same.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The windows were laid out for an 8-point sans-serif.
    QApplication::setFont(designFont(QStringLiteral("Arial"), 8.25, false));
    QApplication::setApplicationName(QStringLiteral("Portrik"));
    QApplication::setApplicationVersion(QStringLiteral("2"));
}
