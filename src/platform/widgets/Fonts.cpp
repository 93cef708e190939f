#include "platform/widgets/Fonts.h"

#include <cmath>

QFont designFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}
