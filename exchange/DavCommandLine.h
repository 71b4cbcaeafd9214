// DavCommandLine: building one command line of the exchange file in a single string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "util/MyFunc.h"

namespace DavCommandLine {

// Room for one value and its blank: the longest real FloatToText writes is 22 characters.
inline constexpr std::size_t kValueRoom = 24;

// Appends one value, after a blank unless the line is still empty (a plain line segment has
// no keyword). Integers go through IntToText's rules, reals through FloatToText's.
template <class V>
void AppendValue(std::u16string& line, V value) {
    static_assert(std::is_same_v<V, int> || std::is_same_v<V, double>);
    if (!line.empty()) {
        line.push_back(u' ');
    }
    if constexpr (std::is_same_v<V, int>) {
        AppendIntText(line, value);
    } else {
        AppendFloatText(line, value);
    }
}

// A line made of the keyword and the values, with room reserved for extra characters that
// the caller appends afterwards (a free text).
template <class... V>
std::u16string MakeLine(std::u16string_view key, std::size_t extra, V... values) {
    std::u16string line;
    line.reserve(key.size() + sizeof...(V) * kValueRoom + extra);
    line.append(key);
    (AppendValue(line, values), ...);
    return line;
}

}  // namespace DavCommandLine
