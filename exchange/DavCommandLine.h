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

template <class... V>
void AppendValues(std::u16string& line, V... values) {
    (AppendValue(line, values), ...);
}

// A command line under construction, started with its keyword. It borrows one buffer kept per
// thread, so that the line finally sent (Line) is a single allocation of its exact length.
// While it lives the buffer is its own: a line started meanwhile builds in a string of its
// own, so that neither overwrites the other.
class TLineBuffer {
public:
    explicit TLineBuffer(std::u16string_view key) : text_(Borrow(own_)) { text_.assign(key); }
    ~TLineBuffer() {
        if (&text_ != &own_) {
            Shared().busy = false;
        }
    }
    TLineBuffer(const TLineBuffer&) = delete;
    TLineBuffer& operator=(const TLineBuffer&) = delete;

    // The text so far, to append to.
    std::u16string& Text() { return text_; }
    // A copy of the finished line, of its exact length.
    std::u16string Line() const { return std::u16string(text_); }

private:
    struct TShared {
        std::u16string text;
        bool busy = false;
    };
    static TShared& Shared() {
        thread_local TShared shared;
        return shared;
    }
    static std::u16string& Borrow(std::u16string& own) {
        TShared& s = Shared();
        if (s.busy) {
            return own;
        }
        // A buffer that once held a very long text is not kept at that size.
        constexpr std::size_t kKeepCapacity = 4096;
        if (s.text.capacity() > kKeepCapacity) {
            std::u16string().swap(s.text);
        }
        s.busy = true;
        return s.text;
    }

    std::u16string own_;  // declared first: text_ may refer to it
    std::u16string& text_;
};

// A finished line of the keyword and the values.
template <class... V>
std::u16string MakeLine(std::u16string_view key, V... values) {
    TLineBuffer line(key);
    AppendValues(line.Text(), values...);
    return line.Line();
}

}  // namespace DavCommandLine
