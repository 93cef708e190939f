// File / "Save Photo".
#include "Main.h"

void Main::onFileSaveAs(int) {}
