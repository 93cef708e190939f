// File / "Print Photo".
#include "Main.h"

void Main::onFilePrint() {}
