// Unit1Logic: the dialog's rules without widgets: text generation, size summaries, the
// settings file and the start-up modes. TForm1 copies its controls into these structs and back.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TJGdata;

inline constexpr int kPresetRows = 15;
inline constexpr int kHistoryMax = 50;

// One preset row as its controls hold it.
struct TPresetRow {
    bool checked = false;           // RBn
    std::u16string width = u"3";    // EditAn
    std::u16string height = u"3";   // EditBn
    std::u16string spacing = u"0";  // EditCn
    std::u16string colour = u"2";   // EditDn
    int font = -1;                  // selected entry of CBn, -1 for none
    std::u16string fontName;        // the text of that entry, empty for none
    bool italic = false;            // CCn
    bool bold = false;              // CDn
};

// Everything the text generation reads: the dialog's controls and the start-up fields.
struct TTextInput {
    std::u16string text;                    // ComboBox1, as typed
    int orientation = 0;                    // RadioGroup1 option, -1 for none
    std::u16string angle;                   // ComboBox2
    int basePoint = 2;                      // RadioGroup2 option, -1 for none
    bool offsetsOn = false;                 // CheckBox1
    std::array<std::u16string, 6> offsets;  // Edit1 .. Edit6
    bool hostType = true;                   // RadioButton1
    int textType = 0;                       // ComboBox3 entry, -1 for none
    std::u16string hostFont;                // selected entry of ComboBox4, empty for none
    bool italic = false;                    // CheckBox2
    bool bold = false;                      // CheckBox3
    std::array<TPresetRow, kPresetRows> rows;
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
// Computes the placement and sends the attribute commands and the one text command to jg.
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

// Letter case ignored, as the combo boxes' exact-match search does.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);
// Puts t first in the list, exactly once.
void UpdateHistory(std::vector<std::u16string>& list, const std::u16string& t);
// A pasted text stays one line: each CR and LF becomes a blank.
std::u16string SingleLine(std::u16string_view text);

// The dialog's persistent state, as the settings file holds it.
struct TDialogSettings {
    int left = 50, top = 50;
    std::u16string text;
    int orientation = 0;
    std::u16string angle = u"0";
    bool hostType = true;
    int textType = 0;
    int hostFont = -1;  // entry of ComboBox4
    bool italic = false, bold = false;
    int basePoint = 2;
    bool offsetsOn = false;
    std::array<std::u16string, 6> offsets{u"0", u"0", u"0", u"0", u"0", u"0"};
    std::array<TPresetRow, kPresetRows> rows;  // fontName is not stored
    std::vector<std::u16string> textHistory;
    std::vector<std::u16string> angleHistory{u"0", u"90", u"-90", u"180"};
};

// The number of entries of the lists whose indexes the file stores.
struct TListSizes {
    int orientations = 4;
    int textTypes = 11;
    int fonts = 0;
    int basePoints = 9;
};

// Start-up values; msGothic is the font-list entry of "ＭＳ ゴシック" or -1.
TDialogSettings DefaultSettings(int msGothic);
void ApplySettingsLines(const std::vector<std::u16string>& lines, const TListSizes& sizes,
                        TDialogSettings& s);
std::vector<std::u16string> SettingsLines(const TDialogSettings& s);
// False when there is no file or it cannot be read; s is then unchanged.
bool LoadSettingsFile(const std::u16string& path, const TListSizes& sizes, TDialogSettings& s);
// Writes UTF-8 with a byte-order mark and CR LF; the old file survives a failed save.
bool SaveSettingsFile(const std::u16string& path, const TDialogSettings& s);

// Where the mode argument puts the text, and the angle it writes into ComboBox2.
struct TStartupPlacement {
    double mx1 = 0.0, my1 = 0.0, mx2 = 0.0, my2 = 0.0;
    bool mjiku = true;
    bool mfit = false;
    std::optional<std::u16string> angle;  // empty: ComboBox2 keeps the saved angle
};
TStartupPlacement StartupPlacement(const std::optional<std::u16string>& mode, const TJGdata& jg);
