#include "XProbe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

XProbe::XProbe(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

XProbe::~XProbe() {
    if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool XProbe::windowShown(const std::string& title) const {
    auto* display = static_cast<Display*>(display_);
    if (!display) return false;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && XFetchName(display, children[i], &name) &&
            name) {
            found = title == name;
        }
        if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
}
