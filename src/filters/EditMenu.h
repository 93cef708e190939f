#pragma once

// The Edit menu as one table: every item that chooses a filter, with its caption, the filter
// code and parameter it hands to RunFilter, and the submenu it sits in or opens. The main window
// builds its menu from this table and runs what it says; the tests, the benchmarks and the fuzz
// target take their commands from it. ("Border", after the separator, is no filter: see
// Border() in Filters.h.)

#include "filters/Filters.h"

namespace Filters {

enum class EditSubmenu {
    None,      // the Edit menu itself: EditConvert [0..15]
    Contrast,  // EditContrastConvert [1, 2], opened by "Contrast"
    Swap,      // EditSwap [1..5], opened by "Swap colors"
};

struct EditItem {
    EditSubmenu in;       // the (sub)menu the item sits in
    int index;            // its index there
    const char* caption;  // UTF-8, exactly as shown
    int code;             // the FilterCode it runs; 0: none (it opens a submenu)
    int parameter;        // the FilterParameter passed with the code
    EditSubmenu opens;    // the submenu the item opens, None for a plain item
};

// In menu order; a submenu's items follow the item that opens it.
inline constexpr EditItem kEditMenu[] = {
    {EditSubmenu::None, 0, "Grayscale", Code::Grayscale, 0, EditSubmenu::None},
    {EditSubmenu::None, 1, "Negative", Code::Negative, 0, EditSubmenu::None},
    {EditSubmenu::None, 2, "Light", Code::Brightness, 4, EditSubmenu::None},
    {EditSubmenu::None, 3, "Dark", Code::Brightness, -4, EditSubmenu::None},
    {EditSubmenu::None, 4, "Sharpen", Code::Sharpen, 10, EditSubmenu::None},
    {EditSubmenu::None, 5, "Contrast", 0, 0, EditSubmenu::Contrast},
    {EditSubmenu::Contrast, 1, "Positive", Code::Contrast, 10, EditSubmenu::None},
    {EditSubmenu::Contrast, 2, "Negative", Code::Contrast, -10, EditSubmenu::None},
    {EditSubmenu::None, 6, "Pixelize", Code::Pixelize, 3, EditSubmenu::None},
    {EditSubmenu::None, 7,
     "Reli\xC3\xAB"
     "f",
     Code::Relief, 0, EditSubmenu::None},
    {EditSubmenu::None, 8, "Swap colors", 0, 0, EditSubmenu::Swap},
    {EditSubmenu::Swap, 1, "RGB --> BRG", Code::SwapColours, 1, EditSubmenu::None},
    {EditSubmenu::Swap, 2, "RGB --> GBR", Code::SwapColours, 2, EditSubmenu::None},
    {EditSubmenu::Swap, 3, "RGB --> RBG", Code::SwapColours, 3, EditSubmenu::None},
    {EditSubmenu::Swap, 4, "RGB --> BGR", Code::SwapColours, 4, EditSubmenu::None},
    {EditSubmenu::Swap, 5, "RGB --> GRB", Code::SwapColours, 5, EditSubmenu::None},
    {EditSubmenu::None, 9, "Scattered", Code::Scattered, 15, EditSubmenu::None},
    {EditSubmenu::None, 10, "Blur", Code::Blur, 0, EditSubmenu::None},
    {EditSubmenu::None, 11, "Aquarel", Code::Aquarel, 0, EditSubmenu::None},
    {EditSubmenu::None, 12, "Defuse", Code::Diffuse, 6, EditSubmenu::None},
    {EditSubmenu::None, 13, "Add noise", Code::AddNoise, 50, EditSubmenu::None},
    {EditSubmenu::None, 14, "Edge", Code::Edge, 1, EditSubmenu::None},
    {EditSubmenu::None, 15, "Contour", Code::Contour, kWhite, EditSubmenu::None},
};

// The item with `index` in the (sub)menu `in`, or null when there is none.
constexpr const EditItem* findEditItem(EditSubmenu in, int index) {
    for (const EditItem& item : kEditMenu) {
        if (item.in == in && item.index == index) return &item;
    }
    return nullptr;
}

}  // namespace Filters
