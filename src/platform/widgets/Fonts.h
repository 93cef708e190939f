#pragma once

#include <QFont>
#include <QString>

// A font of `points` size as the windows were designed: 15 twips per pixel (96 pixels per
// inch), whatever the screen reports, so texts land exactly where they were placed.
// "Comic Sans MS" and "Arial" fall back to similar free fonts (Comic Neue, Liberation Sans)
// through fontconfig.
QFont designFont(const QString& family, double points, bool bold);
