// Utf16: the rules for UTF-16 text that the reader, the writers, the settings file and the
// dialog share: surrogate pairs, a cut that keeps characters whole, one-line text and the
// key under which two texts are the same with letter case ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Utf16 {

constexpr char16_t kReplacement = 0xFFFD;

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

constexpr bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Whether text[i] and text[i + 1] are the two halves of one character.
constexpr bool IsPairAt(std::u16string_view text, size_t i) {
    return i + 1 < text.size() && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1]);
}

// The code point of the pair high, low.
constexpr char32_t PairCodePoint(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
           (static_cast<char32_t>(low) - 0xDC00);
}

// The first maxUnits units of text, one less where the cut would split a surrogate pair. A
// lone first half at the cut is no pair and stays.
constexpr std::u16string_view CutWhole(std::u16string_view text, size_t maxUnits) {
    if (text.size() <= maxUnits) {
        return text;
    }
    const bool splitsPair = maxUnits > 0 && IsPairAt(text, maxUnits - 1);
    return text.substr(0, splitsPair ? maxUnits - 1 : maxUnits);
}

// The text without halves of surrogate pairs that stand alone, as a length limit leaves them
// when it falls inside a pasted character.
std::u16string WholeCharacters(std::u16string_view text);

// A text that must stay one line (a command line, a line of the settings file, the dialog's
// text box) has each CR and LF as a blank, and each NUL, which would end the host's reading
// of the line or be taken for the end of the text.
constexpr char16_t OneLineUnit(char16_t c) {
    return (c == u'\r' || c == u'\n' || c == u'\0') ? u' ' : c;
}
void AppendOneLine(std::u16string& out, std::u16string_view text);
std::u16string OneLine(std::u16string_view text);

// The key under which texts are the same with letter case ignored: the locale's upper-case
// form, as the combo boxes match their entries.
std::u16string CaseKey(std::u16string_view text);
// Equal texts are the same without asking the locale.
bool SameIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace Utf16
