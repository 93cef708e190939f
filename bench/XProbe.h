#pragma once

#include <string>

// Asks an X server whether a window with a given title is on screen. Kept apart from Qt:
// Xlib's macros clash with Qt's names.
class XProbe {
public:
    explicit XProbe(const std::string& display);
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool connected() const { return display_ != nullptr; }
    // A top-level window with this title that the server shows.
    bool windowShown(const std::string& title) const;

private:
    void* display_;
};
