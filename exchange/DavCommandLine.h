// DavCommandLine: building one command line of the exchange file in a single string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "util/MyFunc.h"

namespace DavCommandLine {

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

// The line under construction, cleared and started with the keyword. One buffer serves every
// line, so that the line finally sent is a single allocation of its exact length. The
// reference is valid until the next call.
inline std::u16string& LineBuffer(std::u16string_view key) {
    // A buffer that once held a very long text is not kept at that size.
    constexpr std::size_t kKeepCapacity = 4096;
    thread_local std::u16string buffer;
    if (buffer.capacity() > kKeepCapacity) {
        std::u16string().swap(buffer);
    }
    buffer.assign(key);
    return buffer;
}

// The keyword and the values in the line buffer; the caller may append a free text.
template <class... V>
std::u16string& StartLine(std::u16string_view key, V... values) {
    std::u16string& line = LineBuffer(key);
    (AppendValue(line, values), ...);
    return line;
}

// A finished line of the keyword and the values.
template <class... V>
std::u16string MakeLine(std::u16string_view key, V... values) {
    return std::u16string(StartLine(key, values...));
}

}  // namespace DavCommandLine
