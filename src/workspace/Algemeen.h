#pragma once

#include <QString>

class QLabel;

// General routines shared by the windows.
namespace Algemeen {

// Puts `text` into the main window's status line.
void ShowInfo(const QString& text);

// Waits `seconds` while still handling window events (the print window's animations).
void PauseSeconds(float seconds);

// The status line ShowInfo writes to; the main window registers it at start-up.
void attachInfoLabel(QLabel* label);

}  // namespace Algemeen
