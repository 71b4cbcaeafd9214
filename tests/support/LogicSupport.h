// LogicSupport: helpers the tests of the dialog's rules share.
#pragma once

#include "app/Unit1Settings.h"

namespace TestSupport {

// A preset row's four size boxes as typed (width, height, spacing and colour) and its font
// entry; the rest as a row starts.
inline TPresetRow Boxes(const char16_t* w, const char16_t* h, const char16_t* d, const char16_t* c,
                        int font = TPresetRow{}.font) {
    TPresetRow row;
    row.width = w;
    row.height = h;
    row.spacing = d;
    row.colour = c;
    row.font = font;
    return row;
}

}  // namespace TestSupport
