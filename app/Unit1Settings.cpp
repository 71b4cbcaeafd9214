// Unit1Settings: the settings file. Its layout is described once, by the tables below, which
// both the writer and the reader walk: the dialog's fields, then the preset rows, then the
// text and angle histories, each a count followed by its entries.
#include "Unit1Settings.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/TextFile.h"
#include "util/TextLines.h"
#include "util/Utf16.h"

namespace {

using S = TDialogSettings;

// Lines that hold a number, a Boolean or an index are read this far; the program writes
// at most 22 units into any of them.
constexpr size_t kNumberMaxLength = 256;

double WidthRule(double v) {
    return IsSize(v) ? v : kDefaultSize;
}
double SpacingRule(double v) {
    return IsSpacing(v) ? v : kDefaultSpacing;
}
int ColourRule(int c) {
    return IsColourNumber(c) ? c : kDefaultColour;
}

// An index read from the file counts only when it lies inside its list.
bool InList(int value, int count) {
    return value >= 0 && value < count;
}

std::u16string NumberText(std::u16string_view line) {
    return BoxNumberText(TextToFloat(line));
}

// One line of the dialog's fields: how it is written from the settings, how it is read back
// into them, and how much of it is read.
struct TFieldLine {
    std::u16string (*write)(const S&);
    void (*read)(S&, std::u16string_view, const TListSizes&);
    size_t maxUnits;
};

template <auto M>
constexpr TFieldLine IntLine() {
    return {[](const S& s) { return IntToText(s.*M); },
            [](S& s, std::u16string_view line, const TListSizes&) { s.*M = TextToInt(line); },
            kNumberMaxLength};
}

template <auto M>
constexpr TFieldLine BoolLine() {
    return {[](const S& s) { return BoolToText(s.*M); },
            [](S& s, std::u16string_view line, const TListSizes&) { s.*M = TextIsTrue(line); },
            kNumberMaxLength};
}

// The selected entry of a list; applied only when the list has that entry.
template <auto M, auto Count>
constexpr TFieldLine IndexLine() {
    return {[](const S& s) { return IntToText(s.*M); },
            [](S& s, std::u16string_view line, const TListSizes& sizes) {
                const int v = TextToInt(line);
                if (InList(v, sizes.*Count)) {
                    s.*M = v;
                }
            },
            kNumberMaxLength};
}

template <auto M, size_t MaxUnits>
constexpr TFieldLine TextLine() {
    return {[](const S& s) { return Utf16::OneLine(s.*M); },
            [](S& s, std::u16string_view line, const TListSizes&) { s.*M = line; }, MaxUnits};
}

// An offset box, written and read in its numeric form.
template <size_t I>
constexpr TFieldLine OffsetLine() {
    return {
        [](const S& s) { return NumberText(s.offsets[I]); },
        [](S& s, std::u16string_view line, const TListSizes&) { s.offsets[I] = NumberText(line); },
        kNumberMaxLength};
}

constexpr TFieldLine kFieldLines[] = {
    IntLine<&S::left>(),                                      // window's left edge
    IntLine<&S::top>(),                                       // window's top edge
    TextLine<&S::text, kTextMaxLength>(),                     // ComboBox1
    IndexLine<&S::orientation, &TListSizes::orientations>(),  // RadioGroup1
    TextLine<&S::angle, kAngleMaxLength>(),                   // ComboBox2
    BoolLine<&S::hostType>(),                                 // RadioButton1
    IndexLine<&S::textType, &TListSizes::textTypes>(),        // ComboBox3
    IndexLine<&S::hostFont, &TListSizes::fonts>(),            // ComboBox4
    BoolLine<&S::italic>(),                                   // CheckBox2
    BoolLine<&S::bold>(),                                     // CheckBox3
    IndexLine<&S::basePoint, &TListSizes::basePoints>(),      // RadioGroup2
    BoolLine<&S::offsetsOn>(),                                // CheckBox1
    OffsetLine<0>(),                                          // Edit1 .. Edit6
    OffsetLine<1>(),
    OffsetLine<2>(),
    OffsetLine<3>(),
    OffsetLine<4>(),
    OffsetLine<5>(),
};

// One line of a preset row. Values outside their ranges are replaced both ways.
struct TRowLine {
    std::u16string (*write)(const TPresetRow&);
    void (*read)(TPresetRow&, std::u16string_view, const TListSizes&);
};

template <bool TPresetRow::*M>
constexpr TRowLine RowBool() {
    return {[](const TPresetRow& r) { return BoolToText(r.*M); },
            [](TPresetRow& r, std::u16string_view line, const TListSizes&) {
                r.*M = TextIsTrue(line);
            }};
}

template <std::u16string TPresetRow::*M, double (*Rule)(double)>
constexpr TRowLine RowNumber() {
    return {[](const TPresetRow& r) { return BoxNumberText(Rule(TextToFloat(r.*M))); },
            [](TPresetRow& r, std::u16string_view line, const TListSizes&) {
                r.*M = BoxNumberText(Rule(TextToFloat(line)));
            }};
}

constexpr TRowLine kRowLines[] = {
    RowBool<&TPresetRow::checked>(),                                                  // RBn
    RowNumber<&TPresetRow::width, WidthRule>(),                                       // EditAn
    RowNumber<&TPresetRow::height, WidthRule>(),                                      // EditBn
    RowNumber<&TPresetRow::spacing, SpacingRule>(),                                   // EditCn
    {[](const TPresetRow& r) { return IntToText(ColourRule(TextToInt(r.colour))); },  // EditDn
     [](TPresetRow& r, std::u16string_view line, const TListSizes&) {
         r.colour = IntToText(ColourRule(TextToInt(line)));
     }},
    {[](const TPresetRow& r) { return IntToText(r.font); },  // CBn
     [](TPresetRow& r, std::u16string_view line, const TListSizes& sizes) {
         const int v = TextToInt(line);
         if (InList(v, sizes.fonts)) {
             r.font = v;
         }
     }},
    RowBool<&TPresetRow::italic>(),  // CCn
    RowBool<&TPresetRow::bold>(),    // CDn
};

// A history: a count line, then that many entries, top first.
struct THistory {
    std::vector<std::u16string> S::*list;
    size_t maxUnits;
};

constexpr THistory kHistories[] = {
    {&S::textHistory, kTextMaxLength},    // ComboBox1's list
    {&S::angleHistory, kAngleMaxLength},  // ComboBox2's list
};

constexpr size_t kFieldCount = std::size(kFieldLines);
constexpr size_t kRowLineCount = std::size(kRowLines);
constexpr size_t kFixedLines = kFieldCount + kRowLineCount * kPresetRows;

// Applies the file's lines in order. Before each line it tells how much of that line it will
// use, so that a long line need not be decoded beyond that.
class TSettingsReader {
public:
    TSettingsReader(const TListSizes& sizes, S& s) : sizes_(sizes), s_(s) { StartHistory(0); }

    // How many UTF-16 units of the next line are used; 0 when it is skipped.
    size_t NextMaxUnits() const {
        if (line_ < kFixedLines) {
            return line_ < kFieldCount ? kFieldLines[line_].maxUnits : kNumberMaxLength;
        }
        if (Done()) {
            return 0;
        }
        if (HistoriesDone()) {
            return kNumberMaxLength;
        }
        if (!counted_) {
            return kNumberMaxLength;
        }
        return taken_ < kHistoryMax ? kHistories[history_].maxUnits : 0;
    }

    // After the histories comes one line: whether the preview panel was open. A file
    // without it reads as closed; lines after it are ignored.
    bool Done() const { return HistoriesDone() && trailerRead_; }

    void Apply(std::u16string_view line) {
        line = Utf16::CutWhole(line, NextMaxUnits());
        const size_t k = line_++;
        if (k < kFieldCount) {
            kFieldLines[k].read(s_, line, sizes_);
        } else if (k < kFixedLines) {
            const size_t i = k - kFieldCount;
            kRowLines[i % kRowLineCount].read(s_.rows[i / kRowLineCount], line, sizes_);
        } else if (!HistoriesDone()) {
            ApplyHistoryLine(line);
        } else if (!trailerRead_) {
            trailerRead_ = true;
            s_.previewOpen = TextIsTrue(line);
        }
    }

private:
    bool HistoriesDone() const { return history_ >= std::size(kHistories); }

    void StartHistory(size_t h) {
        history_ = h;
        counted_ = false;
        remaining_ = 0;
        taken_ = 0;
        seen_.clear();
        if (!HistoriesDone()) {
            for (const std::u16string& e : s_.*kHistories[h].list) {
                seen_.insert(Utf16::CaseKey(e));
            }
        }
    }

    void ApplyHistoryLine(std::u16string_view line) {
        if (!counted_) {
            // A count that is not a number or negative holds no entries.
            counted_ = true;
            remaining_ = std::max(0, TextToInt(line));
        } else {
            --remaining_;
            if (taken_ < kHistoryMax) {
                ++taken_;
                AddEntry(line);
            }
        }
        if (counted_ && remaining_ == 0) {
            StartHistory(history_ + 1);
        }
    }

    // A blank entry or one the list holds already, letter case ignored, is left out.
    void AddEntry(std::u16string_view entry) {
        if (StripBlanks(entry).empty() || !seen_.insert(Utf16::CaseKey(entry)).second) {
            return;
        }
        (s_.*kHistories[history_].list).emplace_back(entry);
    }

    const TListSizes& sizes_;
    S& s_;
    size_t line_ = 0;
    size_t history_ = 0;
    bool counted_ = false;
    bool trailerRead_ = false;
    int64_t remaining_ = 0;
    int taken_ = 0;
    // The upper-case forms of the current list's entries.
    std::unordered_set<std::u16string> seen_;
};

void AppendHistory(std::vector<std::u16string>& lines, const std::vector<std::u16string>& list) {
    const size_t n = std::min(list.size(), static_cast<size_t>(kHistoryMax));
    lines.push_back(IntToText(static_cast<int>(n)));
    for (size_t i = 0; i < n; ++i) {
        lines.push_back(Utf16::OneLine(list[i]));
    }
}

}  // namespace

bool IsSize(double v) {
    return v >= kMinSize && v <= kMaxSize;
}

bool IsSpacing(double v) {
    return v >= kMinSpacing && v <= kMaxSpacing;
}

bool IsColourNumber(int c) {
    return (c >= 1 && c <= 9) || (c >= 101 && c <= 356);
}

std::u16string BoxNumberText(double value) {
    std::u16string text = FloatToText(value);
    const char16_t separator = Platform::DecimalSeparator();
    if (separator != u'.') {
        std::replace(text.begin(), text.end(), separator, u'.');
    }
    return text;
}

TDialogSettings DefaultSettings(int msGothic) {
    TDialogSettings s;
    s.hostFont = msGothic;
    for (TPresetRow& row : s.rows) {
        row.font = msGothic;
    }
    return s;
}

std::vector<std::u16string> SettingsLines(const TDialogSettings& s) {
    std::vector<std::u16string> lines;
    lines.reserve(kFixedLines + std::size(kHistories) * (1 + kHistoryMax) + 1);
    for (const TFieldLine& field : kFieldLines) {
        lines.push_back(field.write(s));
    }
    for (const TPresetRow& row : s.rows) {
        for (const TRowLine& field : kRowLines) {
            lines.push_back(field.write(row));
        }
    }
    for (const THistory& history : kHistories) {
        AppendHistory(lines, s.*history.list);
    }
    // Only an open panel adds its line, so that with the panel closed the file is the same
    // as one written before the panel existed.
    if (s.previewOpen) {
        lines.push_back(BoolToText(true));
    }
    return lines;
}

void ApplySettingsLines(const std::vector<std::u16string>& lines, const TListSizes& sizes,
                        TDialogSettings& s) {
    TSettingsReader reader(sizes, s);
    for (const std::u16string& line : lines) {
        if (reader.Done()) {
            break;
        }
        reader.Apply(line);
    }
}

bool LoadSettingsFile(const std::u16string& path, const TListSizes& sizes, TDialogSettings& s) {
    TTextLineReader file(path);
    if (!file.Ok()) {
        return false;
    }
    TSettingsReader reader(sizes, s);
    std::u16string line;
    while (!reader.Done() && file.Next(reader.NextMaxUnits(), line)) {
        reader.Apply(line);
    }
    return true;
}

bool SaveSettingsFile(const std::u16string& path, const TDialogSettings& s) {
    std::string bytes = "\xEF\xBB\xBF";
    for (const std::u16string& line : SettingsLines(s)) {
        AppendUtf8(bytes, line);
        bytes += "\r\n";
    }
    // The old file is replaced only once the new one is complete; a failed save leaves it.
    return WriteFileReplacing(path, bytes);
}

void UpdateHistory(std::vector<std::u16string>& list, const std::u16string& t) {
    const std::u16string key = Utf16::CaseKey(t);
    std::erase_if(
        list, [&t, &key](const std::u16string& e) { return e == t || Utf16::CaseKey(e) == key; });
    list.insert(list.begin(), t);
}
