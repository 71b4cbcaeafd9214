// LineBreaks: where lines end. A line ends at CR LF, a lone LF or a lone CR; a line break at
// the very end of a text adds no empty line.
//
// The rule runs over UTF-16 units and over the bytes of UTF-8 or the legacy code page alike:
// in both a CR or LF byte is never part of a longer character, so a text's bytes can be cut
// into lines before any of it is decoded.
#pragma once

#include <cstddef>
#include <string_view>

#include "WordScan.h"

namespace LineBreaks {

template <class Unit>
constexpr bool IsLineBreak(Unit c) {
    return c == Unit('\r') || c == Unit('\n');
}

// Index of the first CR or LF of text[i, n), else n.
template <class Unit>
size_t FindLineBreak(const Unit* text, size_t i, size_t n) {
    // CR and LF are below U+000E; so are only a few other control characters.
    return WordScan::FindFirst(text, i, n, IsLineBreak<Unit>, [](uint64_t word) {
        return WordScan::MarksBelow<Unit>(word, 0x0E);
    });
}

// A text that may come in parts (blocks of a file, buffers of a reader) cut into lines. A CR
// that ends one part and a LF that begins the next are one line break.
template <class Unit>
class TLineSplitter {
public:
    using TView = std::basic_string_view<Unit>;

    // Starts on the next part of the text.
    void Feed(TView part) {
        part_ = part;
        pos_ = 0;
        if (afterCr_ && !part_.empty()) {
            afterCr_ = false;
            if (part_[0] == Unit('\n')) {
                pos_ = 1;
            }
        }
    }

    // The next line of the part, without its line break; ended is false for a line that the
    // part's end cuts off, which goes on in the next part or is the text's last line. False
    // when the part is used up.
    bool Next(TView& line, bool& ended) { return Take(line, ended, false); }
    // The same with the line's break, as far as it lies in this part.
    bool NextWithBreak(TView& line, bool& ended) { return Take(line, ended, true); }

    // The rest of the part's whole lines, with their line breaks, as one run: those that end
    // within its first about units, or all of them where none does. False when no line of
    // the rest ends within the part.
    bool NextLines(TView& lines, size_t about) {
        const TView rest = part_.substr(pos_);
        size_t last = TView::npos;
        if (rest.size() > about) {
            last = rest.find_last_of(kBreaks, about - 1);
        }
        if (last == TView::npos) {
            last = rest.find_last_of(kBreaks);
        }
        if (last == TView::npos) {
            return false;
        }
        const size_t end = After(pos_ + last);
        lines = part_.substr(pos_, end - pos_);
        pos_ = end;
        return true;
    }

private:
    bool Take(TView& line, bool& ended, bool withBreak) {
        if (pos_ >= part_.size()) {
            return false;
        }
        const size_t at = FindLineBreak(part_.data(), pos_, part_.size());
        ended = at < part_.size();
        const size_t next = ended ? After(at) : at;
        line = part_.substr(pos_, (withBreak ? next : at) - pos_);
        pos_ = next;
        return true;
    }

    static constexpr Unit kBreaks[] = {Unit('\r'), Unit('\n'), Unit(0)};

    // The index after the line break at part_[at]; a CR at the part's end may have its LF in
    // the next part.
    size_t After(size_t at) {
        if (part_[at] == Unit('\r')) {
            if (at + 1 == part_.size()) {
                afterCr_ = true;
            } else if (part_[at + 1] == Unit('\n')) {
                return at + 2;
            }
        }
        return at + 1;
    }

    TView part_;
    size_t pos_ = 0;
    bool afterCr_ = false;
};

// Calls f(line) for every line of text.
template <class Unit, class F>
void ForEachLineOf(std::basic_string_view<Unit> text, F&& f) {
    TLineSplitter<Unit> lines;
    lines.Feed(text);
    std::basic_string_view<Unit> line;
    bool ended = false;
    while (lines.Next(line, ended)) {
        f(line);
    }
}

template <class F>
void ForEachLine(std::u16string_view text, F&& f) {
    ForEachLineOf(text, f);
}

template <class F>
void ForEachLine(std::string_view bytes, F&& f) {
    ForEachLineOf(bytes, f);
}

}  // namespace LineBreaks
