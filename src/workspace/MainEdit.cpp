// Edit and Flip: the filters, the flips and the border.
#include "filters/EditMenu.h"
#include "filters/Filters.h"
#include "platform/files/PhotoBitmap.h"
#include "platform/widgets/AppCursor.h"
#include "platform/widgets/EventPump.h"
#include "platform/widgets/PictureSurface.h"
#include "workspace/Main.h"

namespace {

// After each row the window handles its events, so menus, repaints and other commands stay
// alive. Once the user chose Exit the filter stops there and leaves the photo alone.
bool letWindowRun() {
    if (quitRequested()) return false;
    processPendingEvents();
    return !quitRequested();
}

// A second filter command given meanwhile finds the module busy and changes nothing.
void runOnPhoto(QImage& photo, int code, int parameter) {
    PhotoBitmap bitmap(photo);
    Filters::RunHooks hooks;
    hooks.processEvents = letWindowRun;
    Filters::RunFilter(code, bitmap, parameter, hooks);
}

}  // namespace

void Main::onEditConvert(int index) {
    AppCursor::BusyScope busy;
    runEditItem(Filters::EditSubmenu::None, index);
}

void Main::onEditContrastConvert(int index) {
    runEditItem(Filters::EditSubmenu::Contrast, index);
}

void Main::onEditSwap(int index) {
    runEditItem(Filters::EditSubmenu::Swap, index);
}

void Main::runEditItem(Filters::EditSubmenu submenu, int index) {
    // Items that open a submenu, and indices the menu does not have, run no filter; the photo
    // is repainted all the same.
    const Filters::EditItem* item = Filters::findEditItem(submenu, index);
    if (item && item->code != 0) runOnPhoto(passportPhoto(), item->code, item->parameter);
    Orgineel->refresh();
}

void Main::onFlipConvert(int index) {
    PhotoBitmap bitmap(passportPhoto());
    if (index == 0) Filters::FlipHorizontal(bitmap);
    if (index == 1) Filters::FlipVertical(bitmap);
    Orgineel->refresh();
}

void Main::onEditBorder() {
    PhotoBitmap bitmap(passportPhoto());
    Filters::Border(bitmap);
    Orgineel->refresh();
}
