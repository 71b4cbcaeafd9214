// Unit1Logic: the dialog's rules without widgets: text generation, size summaries and the
// start-up modes (the settings file is Unit1Settings). TForm1 copies its controls into these
// structs and back.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Unit1Settings.h"

class TJGdata;

// Everything the text generation reads: the dialog's controls and the start-up fields.
struct TTextInput : TDialogChoices {
    std::u16string hostFont;  // selected entry of ComboBox4, empty for none
    double mx1 = 0.0, my1 = 0.0, mx2 = 0.0, my2 = 0.0;
    bool mjiku = true;
    bool mfit = false;
};

// What the text generation puts back into the dialog.
struct TTextResult {
    int row = 0;  // the preset row used, 1..15; 0 when the host's text type was used
    // Boxes of that row whose values were out of range, with the text they now show.
    std::optional<std::u16string> width, height, spacing, colour;
    bool selectFirstTextType = false;  // ComboBox3 had no selection; entry 0 is now chosen
};

int OrientationCode(int option);
int BasePointCode(int option);
double ParseAngleText(std::u16string_view t);
// Whether the text's place, direction and size are finite numbers. Points near the largest
// numbers with offsets, or a fit between such points, can leave the range of a number; OK
// is then refused, since the host could take nothing of such a text.
bool HasFinitePlacement(const TTextInput& in, const TJGdata& jg);
// Computes the placement and sends the attribute commands and the one text command to jg;
// nothing when the placement is not finite.
TTextResult MakeText(const TTextInput& in, TJGdata& jg);

// The angle text as OK leaves it: "0" for a blank text, a plain number in its shortest form,
// the degree-minute-second notation as typed.
std::u16string NormaliseAngle(std::u16string_view typed);

// The entries of ComboBox3: the host's current text type, then text types 1..10.
std::vector<std::u16string> TextTypeEntries(const TJGdata& jg);
// LabelB1 for the host's text type (entry of ComboBox3; empty when entry < 0) and for a row.
std::u16string HostTypeSummary(int entry, const TJGdata& jg);
std::u16string RowSummary(const TPresetRow& row);
// Whether a screen font name is offered in the font lists.
bool IsUsableFontName(std::u16string_view name);

// Where the mode argument puts the text, and the angle it writes into ComboBox2.
struct TStartupPlacement {
    double mx1 = 0.0, my1 = 0.0, mx2 = 0.0, my2 = 0.0;
    bool mjiku = true;
    bool mfit = false;
    std::optional<std::u16string> angle;  // empty: ComboBox2 keeps the saved angle
};
TStartupPlacement StartupPlacement(const std::optional<std::u16string>& mode, const TJGdata& jg);
