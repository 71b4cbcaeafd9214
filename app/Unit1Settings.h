// Unit1Settings: the dialog's persistent state and the settings file beside the program that
// holds it between runs. TForm1 copies its controls into TDialogSettings and back.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kPresetRows = 15;
// The histories keep this many entries in the settings file.
inline constexpr int kHistoryMax = 50;
// What the text box and the angle box accept, in UTF-16 units (the angle box has Qt's
// default limit).
inline constexpr size_t kTextMaxLength = 255;
inline constexpr size_t kAngleMaxLength = 32767;

// A preset row's ranges, bounds included, and what stands in for a value outside them.
inline constexpr double kMinSize = 0.1;
inline constexpr double kMaxSize = 500.0;
inline constexpr double kMinSpacing = -100.0;
inline constexpr double kMaxSpacing = 500.0;
inline constexpr double kDefaultSize = 3.0;
inline constexpr double kDefaultSpacing = 0.0;
inline constexpr int kDefaultColour = 2;

bool IsSize(double v);
bool IsSpacing(double v);
// Colour numbers 1..9 and the SXF colours 101..356.
bool IsColourNumber(int c);

// A number as the dialog's boxes and its settings file hold it: with a full stop, whatever
// decimal separator the user's regional settings name, since TextToFloat reads a full stop
// only. With the user's comma the program would read its own "30,5" back as 0.
std::u16string BoxNumberText(double value);

// One preset row as its controls hold it; the defaults are a row's start-up values.
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

// What the user chooses in the dialog, as its controls hold it; both the text generation and
// the settings file take it. The defaults are the start-up values.
struct TDialogChoices {
    std::u16string text;          // ComboBox1
    int orientation = 0;          // RadioGroup1 option, -1 for none
    std::u16string angle = u"0";  // ComboBox2
    int basePoint = 2;            // RadioGroup2 option, -1 for none
    bool offsetsOn = false;       // CheckBox1
    std::array<std::u16string, 6> offsets{u"0", u"0", u"0", u"0", u"0", u"0"};  // Edit1..6
    bool hostType = true;                                                       // RadioButton1
    int textType = 0;     // ComboBox3 entry, -1 for none
    bool italic = false;  // CheckBox2
    bool bold = false;    // CheckBox3
    std::array<TPresetRow, kPresetRows> rows;
};

// The dialog's persistent state; the defaults are the start-up values.
struct TDialogSettings : TDialogChoices {
    int left = 50, top = 50;
    int hostFont = -1;  // entry of ComboBox4; the rows' font names are not stored
    std::vector<std::u16string> textHistory;
    std::vector<std::u16string> angleHistory{u"0", u"90", u"-90", u"180"};
    bool previewOpen = false;  // the preview panel beside the dialog; its line follows the histories
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

// The settings as lines of the file, in order.
std::vector<std::u16string> SettingsLines(const TDialogSettings& s);
// Applies lines of the file, from its first, to s. A line is read only as far as its box
// accepts; a history gives at most its first kHistoryMax entries.
void ApplySettingsLines(const std::vector<std::u16string>& lines, const TListSizes& sizes,
                        TDialogSettings& s);
// False when there is no file or it cannot be read; s is then unchanged. However large or
// damaged the file, only what the dialog can use of it is decoded.
bool LoadSettingsFile(const std::u16string& path, const TListSizes& sizes, TDialogSettings& s);
// Writes UTF-8 with a byte-order mark and CR LF; the old file survives a failed save.
bool SaveSettingsFile(const std::u16string& path, const TDialogSettings& s);

// Puts t first in the list, exactly once (letter case ignored).
void UpdateHistory(std::vector<std::u16string>& list, const std::u16string& t);
