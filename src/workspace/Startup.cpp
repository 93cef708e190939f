#include "workspace/Startup.h"

#include <QApplication>
#include <QStyleFactory>

#include "platform/widgets/Fonts.h"

// The name of the installed menu entry; the build sets it.
#ifndef PORTRIK_APP_ID
#define PORTRIK_APP_ID "nl.portrik.Portrik"
#endif

void prepareApplication() {
    // One look on every desktop, so the fixed layout's colours and borders are the same.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The windows were laid out for an 8-point sans-serif.
    QApplication::setFont(designFont(QStringLiteral("Arial"), 8.25, false));
    QApplication::setApplicationName(QStringLiteral("Portrik"));
    QApplication::setApplicationVersion(QStringLiteral("2"));
    // Desktops find the window's menu entry and icon through it.
    QApplication::setDesktopFileName(QStringLiteral(PORTRIK_APP_ID));
}
