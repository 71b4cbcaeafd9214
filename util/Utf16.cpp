// Utf16: the text rules that need more than a header.
#include "Utf16.h"

#include "Platform.h"

namespace Utf16 {

std::u16string WholeCharacters(std::u16string_view text) {
    std::u16string whole;
    whole.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsPairAt(text, i)) {
            whole += text[i];
            whole += text[++i];
        } else if (!IsSurrogate(text[i])) {
            whole += text[i];
        }
    }
    return whole;
}

void AppendOneLine(std::u16string& out, std::u16string_view text) {
    const size_t start = out.size();
    out.append(text);
    for (size_t i = start; i < out.size(); ++i) {
        out[i] = OneLineUnit(out[i]);
    }
}

std::u16string OneLine(std::u16string_view text) {
    std::u16string out;
    AppendOneLine(out, text);
    return out;
}

std::u16string CaseKey(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    return Platform::UpperCaseLocale(text);
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a == b || CaseKey(a) == CaseKey(b);
}

}  // namespace Utf16
