// File / "Print Photo".
#include "printing/Afdrukken.h"
#include "workspace/Main.h"

void Main::onFilePrint() {
    // The window starts afresh on every opening and goes when it closes. exec() returns only
    // once none of its handlers runs any more, so it is safe to destroy it then.
    Afdrukken window(passportPhoto(), dialogs(), services_.printer, this);
    window.exec();
}
