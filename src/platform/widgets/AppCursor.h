#pragma once

// The application-wide mouse pointer: the hourglass while a long command runs, the arrow
// otherwise. Like the pointer of the whole program it is one setting, not a stack: the
// last call wins.
namespace AppCursor {

enum class Shape { Arrow, Busy };

void setBusy();
void setArrow();
Shape current();

// Shows the hourglass for the life of the object and the arrow afterwards, on every path
// out of the command, errors included.
class BusyScope {
public:
    BusyScope() { setBusy(); }
    ~BusyScope() { setArrow(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace AppCursor
