// Edit and Flip: the filters, the flips and the border.
#include <QPainter>

#include "platform/widgets/AppCursor.h"
#include "platform/widgets/EventPump.h"
#include "filters/Filters.h"
#include "workspace/Main.h"
#include "platform/files/PhotoBitmap.h"
#include "platform/widgets/PictureSurface.h"

namespace {

struct FilterCommand {
    int code;  // 0: the item runs no filter
    int parameter;
};

// What each EditConvert item runs; "Contrast" (5) and "Swap colors" (8) only open submenus.
constexpr FilterCommand kConvertCommands[16] = {
    {Filters::Code::Grayscale, 0},              // 0 "Grayscale"
    {Filters::Code::Negative, 0},               // 1 "Negative"
    {Filters::Code::Brightness, 4},             // 2 "Light"
    {Filters::Code::Brightness, -4},            // 3 "Dark"
    {Filters::Code::Sharpen, 10},               // 4 "Sharpen"
    {0, 0},                                     // 5 "Contrast"
    {Filters::Code::Pixelize, 3},               // 6 "Pixelize"
    {Filters::Code::Relief, 0},                 // 7 "Reliëf"
    {0, 0},                                     // 8 "Swap colors"
    {Filters::Code::Scattered, 15},             // 9 "Scattered"
    {Filters::Code::Blur, 0},                   // 10 "Blur"
    {Filters::Code::Aquarel, 0},                // 11 "Aquarel"
    {Filters::Code::Diffuse, 6},                // 12 "Defuse"
    {Filters::Code::AddNoise, 50},              // 13 "Add noise"
    {Filters::Code::Edge, 1},                   // 14 "Edge"
    {Filters::Code::Contour, Filters::kWhite},  // 15 "Contour"
};

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
    if (index >= 0 && index < 16 && kConvertCommands[index].code != 0) {
        runOnPhoto(passportPhoto(), kConvertCommands[index].code,
                   kConvertCommands[index].parameter);
    }
    Orgineel->refresh();
}

void Main::onEditContrastConvert(int index) {
    if (index == 1 || index == 2) {
        runOnPhoto(passportPhoto(), Filters::Code::Contrast, index == 1 ? 10 : -10);
    }
    Orgineel->refresh();
}

void Main::onEditSwap(int index) {
    if (index >= 1 && index <= 5) runOnPhoto(passportPhoto(), Filters::Code::SwapColours, index);
    Orgineel->refresh();
}

void Main::onFlipConvert(int index) {
    PhotoBitmap bitmap(passportPhoto());
    if (index == 0) Filters::FlipHorizontal(bitmap);
    if (index == 1) Filters::FlipVertical(bitmap);
    Orgineel->refresh();
}

void Main::onEditBorder() {
    // The outermost row and column on each side turn black; the inside stays.
    QImage& photo = passportPhoto();
    const QRgb black = qRgb(0, 0, 0);
    const int right = photo.width() - 1;
    const int bottom = photo.height() - 1;
    for (int x = 0; x <= right; ++x) {
        photo.setPixel(x, 0, black);
        photo.setPixel(x, bottom, black);
    }
    for (int y = 0; y <= bottom; ++y) {
        photo.setPixel(0, y, black);
        photo.setPixel(right, y, black);
    }
    Orgineel->refresh();
}
