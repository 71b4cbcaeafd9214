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

// Where the start-up mode puts the text: the picked points, whether the host's axis angle is
// added to the typed one, and whether the text is fitted between the two points.
struct TTextPlace {
    double mx1 = 0.0, my1 = 0.0, mx2 = 0.0, my2 = 0.0;
    bool mjiku = true;
    bool mfit = false;
};

// Everything the text generation reads: the dialog's controls and the start-up fields.
struct TTextInput : TDialogChoices, TTextPlace {
    std::u16string hostFont;  // selected entry of ComboBox4, empty for none
};

// The corrections the text generation makes to the dialog: OK puts them back into it.
struct TTextResult {
    int row = 0;  // the preset row used, 1..15; 0 when the host's text type was used
    // Boxes of that row whose values were out of range, with the text they now show.
    std::optional<std::u16string> width, height, spacing, colour;
    bool selectFirstTextType = false;  // ComboBox3 had no selection; entry 0 is now chosen
};

// Where and how the one text is placed: everything the text command and its attribute
// commands carry, and what a drawing of the text needs besides. The commands on OK and the
// preview both take it from PlaceText, so the preview shows what OK writes.
struct TTextPlacement {
    std::u16string text;       // as typed, blanks included
    int orientation = 0;       // OrientationCode: 0, 1, 8 or 9
    int basePoint = 0;         // BasePointCode: 3 x row (from the bottom) + column
    double angle = 0.0;        // the typed angle in degrees, before the axis angle
    double theta = 0.0;        // direction in radians, the axis angle included where it applies
    double baseX = 0.0, baseY = 0.0;  // the point before the offsets
    double lateral = 0.0, vertical = 0.0;  // the offsets that were applied
    double x = 0.0, y = 0.0;   // placement point, as sent
    double dx = 0.0, dy = 0.0; // direction vector of length 10, as sent
    int type = 0;              // 1..10 the host's text type, 0 a free size
    double w = 0.0, h = 0.0, d = 0.0;  // character width, height and spacing
    int colour = 0;
    std::u16string font;       // "<name>" with "/" for italic and "!" for bold
    std::u16string fontName;   // the name alone, empty for the host's current font
    bool italic = false, bold = false;
    int characters = 0;        // a surrogate pair counts as one character
    double length = 0.0;       // drawn length of the text at w and d (TextLength)
    bool fit = false;          // the size was scaled so that the text spans the two points
    double fitX1 = 0.0, fitY1 = 0.0, fitX2 = 0.0, fitY2 = 0.0;  // those points
};

// What the text generation makes of its inputs: the placement, and the corrections of
// out-of-range preset boxes that OK puts into the dialog (the preview leaves them).
struct TPlacedText {
    TTextPlacement placement;
    TTextResult corrections;
};

int OrientationCode(int option);
int BasePointCode(int option);
double ParseAngleText(std::u16string_view t);
// The placement that OK would send for these inputs, with its corrections. jg is only read.
TPlacedText PlaceText(const TTextInput& in, const TJGdata& jg);
// Whether the text's place, direction and size are finite numbers. Points near the largest
// numbers with offsets, or a fit between such points, can leave the range of a number; OK
// is then refused, since the host could take nothing of such a text.
bool IsFinitePlacement(const TTextPlacement& p);
bool HasFinitePlacement(const TTextInput& in, const TJGdata& jg);
// Sends the attribute commands and the one text command of a placement to jg.
void WriteText(const TTextPlacement& p, TJGdata& jg);
// Computes the placement and sends the attribute commands and the one text command to jg;
// nothing when the placement is not finite.
TTextResult MakeText(const TTextInput& in, TJGdata& jg);

// The dialog as OK reads it from its controls, once: what the settings file keeps, and what
// the text's placement reads besides.
struct TDialogState : TDialogSettings, TTextPlace {
    std::u16string hostFontName;  // text of ComboBox4's entry, empty for none
    int textTypes = 0;            // entries of ComboBox3
};
// What the text generation reads of a state.
TTextInput TextInputOf(const TDialogState& s);

// What OK makes of the dialog's state: the placement it sends (when finite), and the settings
// it leaves both in the dialog and in the settings file: the angle in its normal form, both
// histories with the text and the angle put first, out-of-range boxes of the preset row used
// replaced, and the first text type chosen where none was.
struct TOkResult {
    TTextPlacement placement;
    TDialogSettings settings;
};
TOkResult ConfirmText(const TDialogState& state, const TJGdata& jg);

// The angle text as OK leaves it: "0" for a blank text, a plain number in its shortest form,
// the degree-minute-second notation as typed.
std::u16string NormaliseAngle(std::u16string_view typed);

// The number boxes, each read on OK in its own way: the angle, the offsets, and a preset row's
// width or height, spacing and colour number.
enum class TNumberKind { Angle, Offset, Size, Spacing, Colour };
// For a box whose text does not read as a number (full-width digits, a stray letter or blank):
// the value that OK takes instead, as a box shows it. Nothing for a text that reads well and
// for a blank one, which OK takes as its default without surprise.
std::optional<std::u16string> UnreadNumberValue(TNumberKind kind, std::u16string_view text);

// The text box's text as the user sees it while an input method composes: the composition
// (preedit) shown at the cursor, which lies between 0 and the text's length.
std::u16string ComposedText(std::u16string_view text, int cursor, std::u16string_view preedit);

// The size a fitted text takes, for the status line while the dialog is open:
// "2点間に合わせた大きさ  W… H… D…" in millimetres to three places, as the preview shows it.
// Empty when the placement is not fitted, its text is blank or its numbers are not finite.
std::u16string FittedSizeText(const TTextPlacement& p);

// The entries of ComboBox3: the host's current text type, then text types 1..10.
std::vector<std::u16string> TextTypeEntries(const TJGdata& jg);
// LabelB1 for the host's text type (entry of ComboBox3; empty when entry < 0) and for a row.
std::u16string HostTypeSummary(int entry, const TJGdata& jg);
std::u16string RowSummary(const TPresetRow& row);
// Whether a screen font name is offered in the font lists.
bool IsUsableFontName(std::u16string_view name);

// Where the mode argument puts the text, and the angle it writes into ComboBox2.
struct TStartupPlacement : TTextPlace {
    std::optional<std::u16string> angle;  // empty: ComboBox2 keeps the saved angle
};
TStartupPlacement StartupPlacement(const std::optional<std::u16string>& mode, const TJGdata& jg);
