#pragma once

#include <QString>

class QLabel;

// General routines of the main window. (The pause the print window's animations wait with,
// while still handling window events, is pauseSeconds in platform/widgets/EventPump.h: the
// print window lies below this module.)
namespace Algemeen {

// Puts `text` into the status line `infoLabel` (the main window's InfoLabel), sized to it.
void ShowInfo(QLabel* infoLabel, const QString& text);

}  // namespace Algemeen
